#include "ndi/ndilib.h"
#include "ndi/videowidget.h"
#include "position_editing/cameraposctrls.h"
#include "position_editing/joypad.h"
#include "store/cameradatastore.h"
#include "support/loopbackcamera.h"
#include "support/loopbackhttpserver.h"
#include "support/testndiruntime.h"
#include "widgetprobe.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using Messages = std::vector<Bytes>;
Q_DECLARE_METATYPE(Messages)

namespace {
const char *const CameraAddress = "127.0.3.1";
const char *const CameraBAddress = "127.0.3.2"; // no web interface there
const QString CameraA = QStringLiteral("CAM-A(PTZ 1)");
const QString CameraB = QStringLiteral("CAM-B(PTZ 2)");
constexpr uint16_t CameraPan = 1658;
constexpr uint16_t CameraTilt = 374;
constexpr uint16_t CameraValue = 0x1A2B;
const Bytes PanTilt{0x81, 0x01, 0x06, 0x01};
const Bytes PanTiltStop{0x81, 0x01, 0x06, 0x01, 0, 0, 3, 3, 0xFF};

// The VISCA commands (from byte 8) the camera received, one per exchange (a silent camera gets
// each datagram twice); with a prefix, only the commands that start with it.
Messages commands(const LoopbackCamera &camera, const Bytes &prefix = {})
{
    Messages result;
    std::vector<uint32_t> sequences;
    for (const LoopbackCamera::Datagram &d : camera.received()) {
        const Bytes message(d.bytes.begin() + std::min<size_t>(8, d.bytes.size()), d.bytes.end());
        if (d.bytes.size() < 10 || d.bytes[0] != 0x01 || d.bytes[1] != 0x00 ||
            message.size() < prefix.size() ||
            !std::equal(prefix.begin(), prefix.end(), message.begin()) ||
            std::count(sequences.begin(), sequences.end(), d.sequence()))
            continue;
        sequences.push_back(d.sequence());
        result.push_back(message);
    }
    return result;
}

// Feeds small frames to every receiver while alive, so a video thread's capture returns at
// once and its stop does not wait out the capture time-out.
class FramePump
{
public:
    explicit FramePump(TestNdiRuntime &runtime)
        : thread([this, &runtime] {
            while (!stopping) {
                runtime.pushVideoFrame({}, 16, 9, 64,
                                       TestNdiRuntime::bgrxFrame(16, 9, 64, 0, 0, 0));
                std::this_thread::sleep_for(5ms);
            }
        })
    {
    }
    ~FramePump()
    {
        stopping = true;
        thread.join();
    }

private:
    std::atomic<bool> stopping{false};
    std::thread thread;
};
} // namespace

class TestCameraPosCtrls : public QObject
{
    Q_OBJECT

    TestNdiRuntime runtime;
    std::unique_ptr<LoopbackCamera> camera;
    std::unique_ptr<LoopbackCamera> cameraB;
    std::unique_ptr<LoopbackHttpServer> web;
    std::unique_ptr<CameraPosCtrls> panel;

    template<typename T = QAbstractButton>
    T *child(const char *name)
    {
        return panel->findChild<T *>(QLatin1String(name));
    }
    void click(const char *name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    CameraDataStore::WayPointMap filed(const QString &name)
    {
        CameraDataStore::WayPointMap wayPoints;
        CameraDataStore::instance().getCameraWayPoints(name.toStdString(), wayPoints);
        return wayPoints;
    }
    // Selects camera A and waits out its delayed position read, for a quiet camera log.
    void selectCamera()
    {
        panel->SelectSource(CameraA);
        QTRY_VERIFY(camera->receivedCount() >= 3);
        QTest::qWait(50);
        camera->clearReceived();
    }

private slots:
    void initTestCase()
    {
        TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
        QVERIFY(NDIlib_initialize());
        camera = std::make_unique<LoopbackCamera>(CameraAddress);
        cameraB = std::make_unique<LoopbackCamera>(CameraBAddress);
        web = std::make_unique<LoopbackHttpServer>(CameraAddress);
        QVERIFY(camera->isListening() && cameraB->isListening() && web->isListening());
    }
    void cleanupTestCase() { NDIlib_destroy(); }

    void init()
    {
        runtime.reset();
        CameraDataStore::instance().resetForTests();
        CameraDataStore::instance().publishSources(
            {NDISourceInfo{"CAM-A", "PTZ 1", CameraAddress, 5961},
             NDISourceInfo{"CAM-B", "PTZ 2", CameraBAddress, 5961}});
        camera->setResponder(LoopbackCamera::promptResponder(CameraPan, CameraTilt, CameraValue));
        camera->clearReceived();
        cameraB->setResponder({}); // silent
        cameraB->clearReceived();
        web->setResponse("/version", {"Korvane PTZ-100 fw 1.2"});
        web->setResponse("/encodesetup", {R"({"VideoFormat":"1080p60"})"});
        panel = std::make_unique<CameraPosCtrls>(false);
        panel->AddSources({CameraA, CameraB});
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }
    void cleanup()
    {
        const FramePump pump(runtime);
        panel.reset();
    }

    // The joystick's deflection at a jog speed, or clicks of zoom or focus buttons at a slider
    // speed, as the bytes that reach the camera. The idle joystick axis still creeps at speed 1;
    // zoom halves its speed; focus goes manual once, before the first drive.
    void controlsSendCommands_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QPointF>("joystick");
        QTest::addColumn<int>("speed");
        QTest::addColumn<Messages>("sent");
        auto drive = [](uint8_t type, uint8_t value) {
            return Bytes{0x81, 0x01, 0x04, type, value, 0xFF};
        };
        QTest::newRow("joystick right and up")
            << "joyPad" << QPointF(0.5, -1) << 50 << Messages{{0x81, 1, 6, 1, 6, 9, 2, 1, 0xFF}};
        QTest::newRow("joystick left only")
            << "joyPad" << QPointF(-1, 0) << 100 << Messages{{0x81, 1, 6, 1, 21, 1, 1, 2, 0xFF}};
        QTest::newRow("joystick slow speed truncates")
            << "joyPad" << QPointF(0, 0.5) << 6 << Messages{{0x81, 1, 6, 1, 1, 1, 2, 2, 0xFF}};
        QTest::newRow("tele at 14") << "btnCameraZoomTele" << QPointF() << 14
                                    << Messages{drive(0x07, 0x27), drive(0x07, 0)};
        QTest::newRow("wide at 1 halves to 0")
            << "btnCameraZoomWide" << QPointF() << 1 << Messages{drive(0x07, 0x30), drive(0x07, 0)};
        QTest::newRow("focus far then near at 5")
            << "btnCameraFocusDecrease btnCameraFocusIncrease" << QPointF() << 5
            << Messages{drive(0x38, 0x03), drive(0x08, 0x25), drive(0x08, 0), drive(0x08, 0x35),
                        drive(0x08, 0)};
    }
    void controlsSendCommands()
    {
        QFETCH(QString, control);
        QFETCH(QPointF, joystick);
        QFETCH(int, speed);
        QFETCH(Messages, sent);
        selectCamera();
        panel->jogSpeed = speed;
        child<QSlider>(control.contains("Zoom") ? "zoomSpeedSlider" : "focusSpeedSlider")
            ->setValue(speed);
        if (control == "joyPad")
            emit child<JoyPad>("joyPad")->emitValue(float(joystick.x()), float(joystick.y()));
        else
            for (const QString &name : control.split(' '))
                click(name.toLatin1().constData());
        QTRY_COMPARE(commands(*camera), sent);
    }

    // Every exchange with a silent camera (100 to 500 ms each) or a slow web interface runs off
    // the GUI thread: the clicks return at once, the event loop keeps its pace and closing does
    // not wait; the bounds leave room for a loaded machine.
    void silentCameraCostsTheWindowNothing()
    {
        web->setResponse("/encodesetup", {R"({"VideoFormat":"1080p60"})", 250ms});
        web->setResponse("/version", {"Korvane PTZ-100 fw 1.2", 250ms});
        camera->setResponder({});
        QElapsedTimer clock;
        clock.start();
        panel->SelectSource(CameraA);
        for (const char *name : {"posRefreshButton", "btnCameraZoomTele", "btnCameraFocusIncrease",
                                 "presetStoreButton"})
            click(name);
        emit child<JoyPad>("joyPad")->emitValue(1.0f, 1.0f);
        emit child<JoyPad>("joyPad")->emitValue(0.0f, 0.0f);
        QVERIFY2(clock.elapsed() < 250, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(child<QLabel>("versionValueLabel")->text(), QStringLiteral("PTZ-100 fw 1.2"));
        clock.restart();
        QTest::qWait(600); // the camera's exchanges are still waiting out their limits
        QVERIFY2(clock.elapsed() < 800, qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        {
            const FramePump pump(runtime);
            panel.reset();
        }
        QVERIFY2(clock.elapsed() < 250, qPrintable(QString::number(clock.elapsed())));
    }

    // A click on the knob is one stop. Behind a silent camera the latest move replaces the
    // waiting one, and the stop goes out last.
    void joystickSendsOneStopAndNoBacklog()
    {
        selectCamera();
        auto *pad = child<JoyPad>("joyPad");
        const QPointF centre = QRectF(pad->rect()).center();
        WidgetProbe::sendMouse(pad, QEvent::MouseButtonPress, centre);
        WidgetProbe::sendMouse(pad, QEvent::MouseButtonRelease, centre, Qt::NoButton);
        QTest::qWait(700); // past the knob's glide
        QCOMPARE(commands(*camera, PanTilt), Messages{PanTiltStop});

        camera->clearReceived();
        camera->setResponder({});
        for (int i = 1; i <= 10; ++i)
            emit pad->emitValue(0.1f * float(i), 0.0f);
        emit pad->emitValue(0.0f, 0.0f);
        QTRY_VERIFY(!commands(*camera, PanTilt).empty() &&
                    commands(*camera, PanTilt).back() == PanTiltStop);
        QTest::qWait(300);
        const Messages sent = commands(*camera, PanTilt);
        QVERIFY2(sent.size() <= 2, qPrintable(QString::number(sent.size())));
        QCOMPARE(sent.back(), PanTiltStop);
    }

    // A switch forgets the old camera: its position, late answers, its focus mode. STORE waits
    // for the new camera, says why it stores nothing while that one is silent, and files what
    // it answers under the number the box showed at the click, even outside the box's range.
    void storeWaitsForTheNewCamera()
    {
        selectCamera();
        camera->setResponder([](const LoopbackCamera::Datagram &d) {
            std::vector<LoopbackCamera::Reply> replies =
                LoopbackCamera::promptResponder(CameraPan, CameraTilt, CameraValue)(d);
            for (LoopbackCamera::Reply &reply : replies)
                reply.delay = 100ms;
            return replies;
        });
        click("posRefreshButton");
        panel->SelectSource(CameraB);
        click("presetStoreButton");
        auto *notice = child<QLabel>("noticeLabel");
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 3000);
        QVERIFY(notice->text().contains(CameraB));
        QVERIFY(filed(CameraB).empty());
        QVERIFY(child<QLabel>("panValueLabel")->text().isEmpty()); // A's late answer dropped

        cameraB->setResponder(LoopbackCamera::promptResponder(0xF986, 0xFE8A, 0x0123));
        click("btnCameraFocusDecrease");
        QTRY_VERIFY(!commands(*cameraB).empty());
        QCOMPARE(commands(*cameraB).front(), Bytes({0x81, 0x01, 0x04, 0x38, 0x03, 0xFF}));
        panel->SetWayPointRange(15, 1, 12);
        click("presetStoreButton");
        child<QSpinBox>("wayPointSpinBox")->stepDown();
        QTRY_COMPARE(filed(CameraB).size(), size_t(1));
        const auto [number, wayPoint] = *filed(CameraB).begin();
        QCOMPARE(number, 15);
        QCOMPARE(QList<int>({wayPoint.pan, wayPoint.tilt, wayPoint.focus, wayPoint.zoom}),
                 QList<int>({0xF986, 0xFE8A, 0x0123, 0x0123}));
        QVERIFY(!notice->isVisible());
    }

    // The preview runs from the source's receiver to the panel's player. A switch stops and
    // joins the video thread before its receiver goes; so does closing, and the form, which
    // deletes the panel when it hears of the close, takes the frames still queued with it
    // (LeakSanitizer reports any left behind).
    void switchAndCloseStopThePreview()
    {
        panel->SelectSource(CameraA);
        auto *video = panel->findChild<VideoWidget *>();
        runtime.pushVideoFrame("CAM-A (PTZ 1)", 64, 36, 256,
                               TestNdiRuntime::bgrxFrame(64, 36, 256, 0x00, 0x00, 0xFF));
        QTRY_COMPARE(video->grab().toImage().pixelColor(video->rect().center()), QColor(Qt::red));
        const FramePump pump(runtime);
        panel->SelectSource(CameraB);
        QCOMPARE(runtime.count(TestNdiReceiversDestroyed), 1);

        connect(panel.get(), &CameraPosCtrls::sourceClosed, this, [this] { panel.reset(); });
        QTest::qSleep(100); // frames queue up for the panel without an event loop
        click("closeToolButton");
        QTRY_VERIFY(!panel);
        QCOMPARE(runtime.count(TestNdiReceiversDestroyed), 2);
        QCOMPARE(runtime.count(TestNdiMisuses), 0);
    }
};

int runCameraPosCtrlsTests(int argc, char **argv)
{
    TestCameraPosCtrls test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cameraposctrls.moc"
