#include "automation/engine/racelog.h"
#include "framepump.h"
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
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {
const char *const CameraAddress = "127.0.3.1";
const char *const CameraBAddress = "127.0.3.2"; // no web interface there
const QString CameraA = QStringLiteral("CAM-A(PTZ 1)");
const QString CameraANetworkName = QStringLiteral("CAM-A (PTZ 1)"); // what a receiver is given
const QString CameraB = QStringLiteral("CAM-B(PTZ 2)");
const QString Undiscovered = QStringLiteral("GHOST(X)");
constexpr uint16_t CameraPan = 1658; // 175° Right
constexpr uint16_t CameraTilt = 374; // 30° Up
constexpr uint16_t CameraValue = 0x1A2B;
const Bytes PanTiltStop{0x81, 0x01, 0x06, 0x01, 0, 0, 3, 3, 0xFF};

// The VISCA messages (from byte 8) of the command datagrams the camera received.
std::vector<Bytes> commands(const LoopbackCamera &camera)
{
    std::vector<Bytes> result;
    for (const LoopbackCamera::Datagram &d : camera.received()) {
        if (d.bytes.size() > 10 && d.bytes[0] == 0x01 && d.bytes[1] == 0x00)
            result.emplace_back(d.bytes.begin() + 8, d.bytes.end());
    }
    return result;
}

// The pan-tilt drives among them, one per exchange: a silent camera gets each datagram twice.
std::vector<Bytes> panTiltExchanges(const LoopbackCamera &camera)
{
    std::vector<Bytes> result;
    std::vector<uint32_t> sequences;
    for (const LoopbackCamera::Datagram &d : camera.received()) {
        const bool panTilt = d.bytes.size() > 11 && d.bytes[0] == 0x01 && d.bytes[1] == 0x00 &&
                             d.bytes[10] == 0x06 && d.bytes[11] == 0x01;
        if (!panTilt || std::count(sequences.begin(), sequences.end(), d.sequence()))
            continue;
        sequences.push_back(d.sequence());
        result.emplace_back(d.bytes.begin() + 8, d.bytes.end());
    }
    return result;
}

// Inquiries the camera was asked since the given time, one per exchange (a silent camera gets
// each datagram twice); with a type (06 12 pan-tilt, 04 47 zoom) only those.
size_t inquiries(const LoopbackCamera &camera, LoopbackCamera::Clock::time_point since,
                 uint8_t category = 0, uint8_t type = 0)
{
    std::vector<uint32_t> sequences;
    for (const LoopbackCamera::Datagram &d : camera.received()) {
        const bool inquiry = d.bytes.size() > 12 && d.bytes[0] == 0x01 && d.bytes[1] == 0x10;
        if (!inquiry || d.arrival < since ||
            (category && (d.bytes[10] != category || d.bytes[11] != type)) ||
            std::count(sequences.begin(), sequences.end(), d.sequence()))
            continue;
        sequences.push_back(d.sequence());
    }
    return sequences.size();
}

// The longest time the GUI thread went without running its timers.
class LoopWatch
{
public:
    LoopWatch()
    {
        clock.start();
        QObject::connect(&ticker, &QTimer::timeout,
                         [this] { longest = std::max(longest, clock.restart()); });
        ticker.start(5);
    }
    qint64 longestGap() const { return std::max(longest, clock.elapsed()); }

private:
    QElapsedTimer clock;
    QTimer ticker;
    qint64 longest = 0;
};

// Receives the dropped URL of the camera link instead of a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};
} // namespace

class TestCameraPosCtrls : public QObject
{
    Q_OBJECT

private:
    TestNdiRuntime runtime;
    std::unique_ptr<LoopbackCamera> camera;
    std::unique_ptr<LoopbackCamera> cameraB;
    std::unique_ptr<LoopbackHttpServer> web;
    std::unique_ptr<CameraPosCtrls> panel;
    QTemporaryDir stateHome; // the race-day log of this run only

    template<typename T>
    T *child(const char *name)
    {
        T *found = panel->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }
    QString labelText(const char *name) { return child<QLabel>(name)->text(); }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    CameraDataStore &store() { return CameraDataStore::instance(); }
    CameraDataStore::WayPointMap filed(const QString &name)
    {
        CameraDataStore::WayPointMap wayPoints;
        store().getCameraWayPoints(name.toStdString(), wayPoints);
        return wayPoints;
    }
    // STORE answers once the camera has: wait for the filing.
    void storeAt(int16_t number)
    {
        panel->SetWayPointRange(number, 1, 12);
        click("presetStoreButton");
        QTRY_VERIFY(filed(CameraA).count(number));
    }
    std::vector<int> tableNumbers()
    {
        auto *table = child<QTableWidget>("wayPointTableWidget");
        std::vector<int> numbers;
        for (int row = 0; row < table->rowCount(); ++row)
            numbers.push_back(table->item(row, 0)->text().toInt());
        return numbers;
    }

    // Selects the camera and waits out its delayed position read, so tests start with a quiet
    // camera log.
    void selectCamera()
    {
        panel->SelectSource(CameraA);
        QTRY_VERIFY(camera->receivedCount() >= 3);
        QTest::qWait(50);
        camera->clearReceived();
    }
    void pushFrame(const QString &name, uint8_t b, uint8_t g, uint8_t r)
    {
        runtime.pushVideoFrame(name.toStdString(), 64, 36, 64 * 4,
                               TestNdiRuntime::bgrxFrame(64, 36, 64 * 4, b, g, r));
    }
    QColor previewCentre()
    {
        auto *video = panel->findChild<VideoWidget *>();
        return video->grab().toImage().pixelColor(video->rect().center());
    }

private slots:
    void initTestCase()
    {
        TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
        QVERIFY(runtime.isLoaded());
        QVERIFY(NDIlib_initialize());
        camera = std::make_unique<LoopbackCamera>(CameraAddress);
        cameraB = std::make_unique<LoopbackCamera>(CameraBAddress);
        web = std::make_unique<LoopbackHttpServer>(CameraAddress);
        QVERIFY(camera->isListening());
        QVERIFY(cameraB->isListening());
        QVERIFY(web->isListening());
        qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
    }
    void cleanupTestCase()
    {
        panel.reset();
        NDIlib_destroy();
    }

    void init()
    {
        runtime.reset();
        store().resetForTests();
        store().publishSources({NDISourceInfo{"CAM-A", "PTZ 1", CameraAddress, 5961},
                                NDISourceInfo{"CAM-B", "PTZ 2", CameraBAddress, 5961}});
        camera->setResponder(LoopbackCamera::promptResponder(CameraPan, CameraTilt, CameraValue));
        camera->clearReceived();
        cameraB->setResponder({}); // silent
        cameraB->clearReceived();
        web->setResponse("/version", {"Korvane PTZ-100 fw 1.2"});
        web->setResponse("/encodesetup", {R"({"VideoFormat":"1080p60"})"});
        panel = std::make_unique<CameraPosCtrls>(false);
        panel->AddSources({CameraA, Undiscovered, CameraB});
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }
    void cleanup()
    {
        const FramePump pump(runtime);
        panel.reset();
    }

    void joystickDrivesPanTilt_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("jogSpeed");
        QTest::addColumn<Bytes>("message");
        QTest::newRow("right and up")
            << 0.5f << -1.0f << 50 << Bytes{0x81, 0x01, 0x06, 0x01, 6, 9, 2, 1, 0xFF};
        QTest::newRow("stop") << 0.0f << 0.0f << 50
                              << Bytes{0x81, 0x01, 0x06, 0x01, 0, 0, 3, 3, 0xFF};
        QTest::newRow("left only still creeps down")
            << -1.0f << 0.0f << 100 << Bytes{0x81, 0x01, 0x06, 0x01, 21, 1, 1, 2, 0xFF};
        QTest::newRow("slow speed truncates")
            << 0.0f << 0.5f << 6 << Bytes{0x81, 0x01, 0x06, 0x01, 1, 1, 2, 2, 0xFF};
    }
    void joystickDrivesPanTilt()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, jogSpeed);
        QFETCH(Bytes, message);
        selectCamera();
        panel->jogSpeed = jogSpeed;
        emit child<JoyPad>("joyPad")->emitValue(x, y);
        QTRY_COMPARE(commands(*camera), std::vector<Bytes>{message});
    }

    void zoomButtons_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("drive");
        QTest::newRow("tele at 0 is a stop") << 0 << "btnCameraZoomTele" << 0x00;
        QTest::newRow("tele at 14") << 14 << "btnCameraZoomTele" << 0x27;
        QTest::newRow("wide at 14") << 14 << "btnCameraZoomWide" << 0x37;
        QTest::newRow("wide at 1 halves to 0") << 1 << "btnCameraZoomWide" << 0x30;
    }
    void zoomButtons()
    {
        QFETCH(int, speed);
        QFETCH(QString, button);
        QFETCH(int, drive);
        selectCamera();
        child<QSlider>("zoomSpeedSlider")->setValue(speed);
        auto *zoomButton = child<QPushButton>(button.toLatin1().constData());
        QTest::mousePress(zoomButton, Qt::LeftButton);
        QTRY_COMPARE(commands(*camera),
                     std::vector<Bytes>{Bytes({0x81, 0x01, 0x04, 0x07, uint8_t(drive), 0xFF})});

        // Release: the stop at once, the zoom read 300 ms later.
        camera->clearReceived();
        QTest::mouseRelease(zoomButton, Qt::LeftButton);
        QTRY_COMPARE(commands(*camera),
                     std::vector<Bytes>{Bytes({0x81, 0x01, 0x04, 0x07, 0x00, 0xFF})});
        QTRY_COMPARE(labelText("zoomValueLabel"), QStringLiteral("0x1A2B"));
    }

    void manualFocusOnlyBeforeTheFirstDrive()
    {
        selectCamera();
        child<QSlider>("focusSpeedSlider")->setValue(5);
        auto *farButton = child<QPushButton>("btnCameraFocusDecrease");
        auto *nearButton = child<QPushButton>("btnCameraFocusIncrease");
        QTest::mouseClick(farButton, Qt::LeftButton);
        QTest::mouseClick(nearButton, Qt::LeftButton);
        const std::vector<Bytes> expected{
            {0x81, 0x01, 0x04, 0x38, 0x03, 0xFF}, // manual focus, once
            {0x81, 0x01, 0x04, 0x08, 0x25, 0xFF}, // far at 5
            {0x81, 0x01, 0x04, 0x08, 0x00, 0xFF}, // stop
            {0x81, 0x01, 0x04, 0x08, 0x35, 0xFF}, // near at 5
            {0x81, 0x01, 0x04, 0x08, 0x00, 0xFF},
        };
        QTRY_COMPARE(commands(*camera), expected);
    }

    void readsShowPositions()
    {
        selectCamera();
        QTRY_COMPARE(labelText("panValueLabel"), QStringLiteral("175° Right"));
        QTRY_COMPARE(labelText("tiltValueLabel"), QStringLiteral("30° Up"));
        QTRY_COMPARE(labelText("zoomValueLabel"), QStringLiteral("0x1A2B"));
        QTRY_COMPARE(labelText("videoResValueLabel"), QStringLiteral("1080p60"));
        QTRY_COMPARE(labelText("versionValueLabel"), QStringLiteral("PTZ-100 fw 1.2"));
    }

    void storeFilesUnderWayPointNumber_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("stepsUp");
        QTest::addColumn<int>("filedAs");
        QTest::newRow("setup waypoint") << 3 << 12 << 0 << 3;
        QTest::newRow("outside the box's range, unclamped") << 15 << 12 << 0 << 15;
        QTest::newRow("stepped by the operator") << 3 << 12 << 2 << 5;
    }
    void storeFilesUnderWayPointNumber()
    {
        QFETCH(int, value);
        QFETCH(int, maximum);
        QFETCH(int, stepsUp);
        QFETCH(int, filedAs);
        selectCamera();
        panel->SetWayPointRange(int16_t(value), 1, int16_t(maximum));
        auto *box = child<QSpinBox>("wayPointSpinBox");
        for (int i = 0; i < stepsUp; ++i)
            box->stepUp();
        click("presetStoreButton");
        box->stepUp(); // the number of the click counts, not the one when the camera answers

        QTRY_COMPARE(filed(CameraA).size(), size_t(1));
        const WayPoint wayPoint = filed(CameraA).begin()->second;
        QCOMPARE(filed(CameraA).begin()->first, filedAs);
        QCOMPARE(wayPoint.pan, int(CameraPan));
        QCOMPARE(wayPoint.tilt, int(CameraTilt));
        QCOMPARE(wayPoint.focus, int(CameraValue));
        QCOMPARE(wayPoint.zoom, int(CameraValue));
        QCOMPARE(wayPoint.delta, 1.0f);
    }

    void storeFillsTableInOrder()
    {
        selectCamera();
        QSignalSpy newSource(panel.get(), &CameraPosCtrls::newsrcWayPtAdded);
        for (int16_t number : {3, 1, 2})
            storeAt(number);
        QCOMPARE(newSource.count(), 1); // only the camera's first position is news to the form

        auto *table = child<QTableWidget>("wayPointTableWidget");
        QCOMPARE(table->rowCount(), 3);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(table->item(row, 0)->text(), QString::number(row + 1));
            QCOMPARE(table->item(row, 1)->text(), QStringLiteral("175° Right"));
            QCOMPARE(table->item(row, 2)->text(), QStringLiteral("30° Up"));
            QCOMPARE(table->item(row, 3)->text(), QStringLiteral("0x1A2B"));
            QCOMPARE(table->item(row, 0)->textAlignment(), int(Qt::AlignCenter));
        }
    }

    // RESET works on the waypoint STORE would file under, the box's and not the form's Setup
    // Waypoint, and the camera then plays exactly where its table says.
    void resetLeavesNoHiddenPlay()
    {
        selectCamera();
        for (int16_t number : {1, 2, 3})
            storeAt(number);
        bool added = false;
        store().storeWayPoint("OTHER(1)", WayPoint{}, 2, added);
        store().setCurrentSetupWayPoint(3);
        panel->SetWayPointRange(2, 1, 12);
        click("presetResetButton");

        QCOMPARE(tableNumbers(), std::vector<int>({1, 3}));
        std::vector<int> played;
        for (const WayPointEntry &entry : store().buildPlayList(1, 12)) {
            for (const WayPointNode &node : entry.node) {
                if (node.src_name == CameraA.toStdString())
                    played.push_back(entry.preset);
            }
        }
        QCOMPARE(played, tableNumbers());
        QVERIFY(store().hasWayPoint(2)); // the other camera stays there
    }

    void sourceSwitchOpensReceiverAndShowsFrames()
    {
        panel->SelectSource(CameraA);
        TestNdiReceiverSettings settings{};
        QVERIFY(runtime.lastReceiverSettings(settings));
        QCOMPARE(QString::fromUtf8(settings.ndiName), CameraANetworkName);
        QCOMPARE(QString::fromUtf8(settings.urlAddress), QStringLiteral("127.0.3.1:5961"));
        QCOMPARE(QString::fromUtf8(settings.receiverName), QStringLiteral("NDI_RECEIVER_TESTAPP"));
        QCOMPARE(settings.colorFormat, int32_t(NdiColorFormatBgrxBgra));
        QCOMPARE(settings.bandwidth, int32_t(NdiBandwidthLowest));
        QVERIFY(settings.allowVideoFields);
        QVERIFY(child<QPushButton>("presetStoreButton")->isEnabled());
        QVERIFY(child<QSpinBox>("wayPointSpinBox")->isEnabled());

        pushFrame(CameraANetworkName, 0x00, 0x00, 0xFF);
        QTRY_COMPARE(previewCentre(), QColor(Qt::red));
        pushFrame(CameraANetworkName, 0xFF, 0x00, 0x00);
        QTRY_COMPARE(previewCentre(), QColor(Qt::blue));
    }

    void undiscoveredSourceHasNoAddress()
    {
        const size_t requests = web->requestedPaths().size();
        panel->SelectSource(Undiscovered);
        TestNdiReceiverSettings settings{};
        QVERIFY(runtime.lastReceiverSettings(settings));
        QCOMPARE(QString::fromUtf8(settings.ndiName), QStringLiteral("GHOST (X)"));
        QCOMPARE(QString::fromUtf8(settings.urlAddress), QString());
        QVERIFY(child<QPushButton>("presetStoreButton")->isEnabled());
        QTest::qWait(400); // past the delayed position read
        QCOMPARE(camera->receivedCount(), size_t(0));
        QCOMPARE(web->requestedPaths().size(), requests);
        QVERIFY(labelText("versionValueLabel").isEmpty());
    }

    void addSourcesKeepsSelection()
    {
        selectCamera();
        const int created = runtime.count(TestNdiReceiversCreated);
        panel->AddSources({QStringLiteral("NEW(1)"), CameraA, QStringLiteral("cam-a(ptz 1)")});
        auto *selector = child<QComboBox>("srcSelectComboBox");
        QCOMPARE(selector->count(), 7);
        QCOMPARE(selector->currentIndex(), 1); // the first exact match
        QCOMPARE(runtime.count(TestNdiReceiversCreated), created);

        panel->SelectSource(QStringLiteral("NO SUCH(CAMERA)"));
        QCOMPARE(selector->currentIndex(), 1);
    }

    void noneDisablesEverything()
    {
        selectCamera();
        storeAt(2);
        camera->clearReceived();

        {
            const FramePump pump(runtime);
            panel->SelectSource(QStringLiteral("None"));
        }
        QCOMPARE(runtime.count(TestNdiReceiversDestroyed), 1);
        // Every camera control, the joystick included; only the source choice and close stay.
        int controls = 0;
        for (QWidget *w : panel->findChildren<QWidget *>()) {
            const QString name = w->objectName();
            const bool control = qobject_cast<QAbstractButton *>(w) ||
                                 qobject_cast<QAbstractSlider *>(w) ||
                                 qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<JoyPad *>(w);
            if (!control || name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
                name == QLatin1String("closeToolButton"))
                continue;
            ++controls;
            QVERIFY2(!w->isEnabled(), qPrintable(name));
        }
        QVERIFY(controls >= 12);
        for (const char *name : {"panValueLabel", "tiltValueLabel", "zoomValueLabel",
                                 "videoResValueLabel", "versionValueLabel"})
            QVERIFY2(labelText(name).isEmpty(), name);
        QCOMPARE(child<QTableWidget>("wayPointTableWidget")->rowCount(), 0);
        QTest::qWait(400);
        QCOMPARE(camera->receivedCount(), size_t(0));
    }

    void reselectingTouchesNothing()
    {
        selectCamera();
        storeAt(4);
        const int created = runtime.count(TestNdiReceiversCreated);
        const size_t requests = web->requestedPaths().size();
        camera->clearReceived();

        panel->UpdateSrcSelect();
        panel->SelectSource(CameraA);
        QCOMPARE(runtime.count(TestNdiReceiversCreated), created);
        QCOMPARE(runtime.count(TestNdiReceiversDestroyed), 0);
        QCOMPARE(web->requestedPaths().size(), requests);
        QCOMPARE(child<QTableWidget>("wayPointTableWidget")->rowCount(), 1);
        QTest::qWait(400);
        QCOMPARE(camera->receivedCount(), size_t(0));
    }

    void cameraTextsStayPlain()
    {
        web->setResponse("/version", {"Korvane <b>R530</b><img src=\"x.png\">"});
        web->setResponse("/encodesetup", {R"({"VideoFormat":"<a href='x'>1080p</a>"})"});
        selectCamera();
        auto *version = child<QLabel>("versionValueLabel");
        auto *format = child<QLabel>("videoResValueLabel");
        QCOMPARE(version->textFormat(), Qt::PlainText);
        QCOMPARE(format->textFormat(), Qt::PlainText);
        QTRY_COMPARE(version->text(), QStringLiteral("<b>R530</b><img src=\"x.png\">"));
        // The R530 in the version text switches the pan scale, whichever answer came first.
        QTRY_COMPARE(labelText("panValueLabel"), QStringLiteral("15° Right"));
    }

    void cameraLinkOpensAddress()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        selectCamera();
        QTest::mouseClick(child<QToolButton>("linkToolButton"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("http://127.0.3.1"))});
    }

    // Every exchange with a silent camera or a slow web interface runs off the GUI thread:
    // the clicks return at once, the timers keep their pace and closing does not wait.
    void silentCameraCostsTheWindowNothing()
    {
        web->setResponse("/encodesetup", {R"({"VideoFormat":"1080p60"})", 250ms});
        web->setResponse("/version", {"Korvane PTZ-100 fw 1.2", 250ms});
        camera->setResponder({});
        const LoopWatch watch;
        QElapsedTimer clock;
        clock.start();
        panel->SelectSource(CameraA);
        for (const char *name : {"posRefreshButton", "btnCameraZoomTele", "btnCameraFocusIncrease",
                                 "presetStoreButton"})
            click(name);
        emit child<JoyPad>("joyPad")->emitValue(1.0f, 1.0f);
        emit child<JoyPad>("joyPad")->emitValue(0.0f, 0.0f);
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));

        QTRY_COMPARE(labelText("versionValueLabel"), QStringLiteral("PTZ-100 fw 1.2"));
        QTest::qWait(600); // the camera's exchanges are still waiting out their limits
        QVERIFY2(watch.longestGap() < 100, qPrintable(QString::number(watch.longestGap())));

        clock.restart();
        {
            const FramePump pump(runtime);
            panel.reset();
        }
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
    }

    // Behind a silent camera the latest move replaces the waiting one, and the stop goes out.
    void joystickMovesDoNotPileUp()
    {
        selectCamera();
        camera->setResponder({});
        auto *pad = child<JoyPad>("joyPad");
        for (int i = 1; i <= 10; ++i)
            emit pad->emitValue(0.1f * float(i), 0.0f);
        emit pad->emitValue(0.0f, 0.0f);
        QTRY_VERIFY(!panTiltExchanges(*camera).empty() &&
                    panTiltExchanges(*camera).back() == PanTiltStop);
        QTest::qWait(300);
        const std::vector<Bytes> sent = panTiltExchanges(*camera);
        QVERIFY2(sent.size() <= 2, qPrintable(QString::number(sent.size())));
        QCOMPARE(sent.back(), PanTiltStop);
    }

    void joystickClickSendsOneStop()
    {
        selectCamera();
        auto *pad = child<JoyPad>("joyPad");
        const QPointF centre = QRectF(pad->rect()).center();
        WidgetProbe::sendMouse(pad, QEvent::MouseButtonPress, centre);
        WidgetProbe::sendMouse(pad, QEvent::MouseButtonRelease, centre, Qt::NoButton);
        QTest::qWait(700); // past the knob's glide
        QCOMPARE(panTiltExchanges(*camera), std::vector<Bytes>{PanTiltStop});
    }

    // A switch forgets the old camera: its texts, its position, late answers, its focus mode.
    // STORE waits for the new camera and says why it stores nothing while that one is silent.
    void switchForgetsTheOldCamera()
    {
        selectCamera();
        QTRY_COMPARE(labelText("versionValueLabel"), QStringLiteral("PTZ-100 fw 1.2"));
        camera->setResponder([](const LoopbackCamera::Datagram &d) {
            std::vector<LoopbackCamera::Reply> replies =
                LoopbackCamera::promptResponder(CameraPan, CameraTilt, CameraValue)(d);
            for (LoopbackCamera::Reply &reply : replies)
                reply.delay = 100ms;
            return replies;
        });
        click("posRefreshButton");
        panel->SelectSource(CameraB);
        for (const char *name : {"panValueLabel", "tiltValueLabel", "zoomValueLabel",
                                 "videoResValueLabel", "versionValueLabel"})
            QVERIFY2(labelText(name).isEmpty(), name);

        click("presetStoreButton");
        auto *notice = child<QLabel>("noticeLabel");
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 3000);
        QVERIFY(notice->text().contains(CameraB));
        QVERIFY(filed(CameraB).empty());
        QVERIFY(labelText("panValueLabel").isEmpty()); // camera A's late answer was dropped

        cameraB->setResponder(LoopbackCamera::promptResponder(0xF986, 0xFE8A, 0x0123));
        click("btnCameraFocusDecrease");
        QTRY_VERIFY(!commands(*cameraB).empty());
        QCOMPARE(commands(*cameraB).front(), Bytes({0x81, 0x01, 0x04, 0x38, 0x03, 0xFF}));
        click("presetStoreButton");
        QTRY_COMPARE(filed(CameraB).size(), size_t(1));
        QCOMPARE(filed(CameraB).begin()->second.pan, 0xF986);
        QVERIFY(!notice->isVisible());
        QCOMPARE(labelText("panValueLabel"), QStringLiteral("175° Left"));
    }

    // The form deletes a panel as soon as it hears sourceClosed; that must not happen while
    // the panel's own source switch waits for the camera's web interface.
    void closeDeletesPanelSafely_data()
    {
        QTest::addColumn<bool>("duringWebQuery");
        QTest::newRow("idle") << false;
        QTest::newRow("during the web query") << true;
    }
    void closeDeletesPanelSafely()
    {
        QFETCH(bool, duringWebQuery);
        web->setResponse("/encodesetup", {R"({"VideoFormat":"1080p60"})", 250ms});
        CameraPosCtrls *raw = panel.get();
        QSignalSpy closedSpy(raw, &CameraPosCtrls::sourceClosed);
        connect(raw, &CameraPosCtrls::sourceClosed, this, [this] { panel.reset(); });
        auto clickClose = [raw] {
            QTest::mouseClick(raw->findChild<QToolButton *>(QStringLiteral("closeToolButton")),
                              Qt::LeftButton);
        };
        const FramePump pump(runtime);
        if (duringWebQuery) {
            QTimer::singleShot(100, raw, clickClose);
            raw->SelectSource(CameraA);
            QVERIFY(panel); // still alive when its switch returns
        } else {
            raw->SelectSource(CameraA);
            clickClose();
        }
        QTRY_VERIFY(!panel);
        QCOMPARE(closedSpy.count(), 1);
        QCOMPARE(runtime.count(TestNdiReceiversDestroyed), runtime.count(TestNdiReceiversCreated));
    }

    // An idle camera is asked once every 2 s; silent, its badge counts the seconds; back, its
    // preview, version and positions are taken up again; during a run the engine's states show
    // and the panel asks nothing.
    void healthBadgeFollowsTheCamera()
    {
        auto *badge = child<QLabel>("healthBadge");
        QVERIFY(!badge->isVisible());
        const qint64 logStart = QFileInfo(RaceLog::filePath()).size();
        selectCamera();
        QVERIFY(badge->isVisible());
        QTRY_COMPARE(badge->text(), QStringLiteral("Answering"));
        const int created = runtime.count(TestNdiReceiversCreated);
        const auto versionAsked = [this] {
            const std::vector<std::string> paths = web->requestedPaths();
            return std::count(paths.begin(), paths.end(), "/version");
        };
        const auto versions = versionAsked();

        const LoopbackCamera::Clock::time_point silence = LoopbackCamera::Clock::now();
        QElapsedTimer clock;
        clock.start();
        camera->setResponder({});
        QTRY_VERIFY_WITH_TIMEOUT(badge->text().startsWith(QLatin1String("No answer")), 10000);
        const size_t asked = inquiries(*camera, silence);
        QVERIFY2(asked >= 2 && asked <= size_t(clock.elapsed() / 2000 + 1),
                 qPrintable(QStringLiteral("%1 in %2 ms").arg(asked).arg(clock.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(badge->text() != QLatin1String("No answer 0 s"), 3000);

        const LoopbackCamera::Clock::time_point back = LoopbackCamera::Clock::now();
        camera->setResponder(LoopbackCamera::promptResponder(CameraPan, CameraTilt, CameraValue));
        QTRY_COMPARE_WITH_TIMEOUT(badge->text(), QStringLiteral("Answering"), 5000);
        QTRY_COMPARE(runtime.count(TestNdiReceiversCreated), created + 1);
        QTRY_COMPARE(versionAsked(), versions + 1);
        QTRY_COMPARE(inquiries(*camera, back, 0x04, 0x47), size_t(1)); // zoom: not the idle one
        QFile log(RaceLog::filePath());
        QVERIFY(log.open(QIODevice::ReadOnly) && log.seek(logStart));
        const QByteArray logged = log.readAll();
        QCOMPARE(logged.count("CAM-A(PTZ 1) at 127.0.3.1 not answering\n"), 1);
        QCOMPARE(logged.count("CAM-A(PTZ 1) at 127.0.3.1 answering again\n"), 1);

        panel->SetRunActive(true);
        panel->ShowRunState(3, 0);
        QCOMPARE(badge->text(), QStringLiteral("Moving · WP 3"));
        const LoopbackCamera::Clock::time_point run = LoopbackCamera::Clock::now();
        QTest::qWait(2600);
        QCOMPARE(inquiries(*camera, run), size_t(0));
        panel->ShowRunState(3, 2);
        QCOMPARE(badge->text(), QStringLiteral("Given up · WP 3"));
        panel->SetRunActive(false);
        QCOMPARE(badge->text(), QStringLiteral("Answering"));
    }

    void framesInFlightAreFreedOnClose()
    {
        panel->SelectSource(CameraA);
        for (int i = 0; i < 5; ++i) {
            pushFrame(QString(), uint8_t(i), 0, 0);
            QTest::qSleep(15); // frames queue up for the panel without an event loop
        }
        {
            const FramePump pump(runtime);
            panel.reset(); // LeakSanitizer reports any buffer left in the queue
        }
        QCOMPARE(runtime.count(TestNdiFramesFreed), runtime.count(TestNdiFramesCaptured));
    }
};

int runCameraPosCtrlsTests(int argc, char **argv)
{
    TestCameraPosCtrls test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cameraposctrls.moc"
