// The simulated cameras on 127.0.7.100 and up as the program meets them: its own encoders,
// web queries and NDI loader (pointed at the simulator's runtime), and a bare controller socket
// that sees every reply.
#include "camera_control/httphandler.h"
#include "camera_control/viscacommandfactory.h"
#include "camera_control/viscasocket.h"
#include "ndi/ndilib.h"
#include "ndi/previewreceiver.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/loopbacksocket.h"

#include <QtTest>

#include <poll.h>

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
using Clock = SimCamera::Clock;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(CameraMotion::Units)

namespace {

const std::string Base = "127.0.7.100";

Bytes encode(int type, int p1 = 0, int p2 = 0, int p3 = 0, uint32_t sequence = 0x0A0B0C0D)
{
    return VISCACommandFactory::instance().encode(type, p1, p2, p3, sequence);
}

int64_t ms(Clock::duration d)
{
    return duration_cast<milliseconds>(d).count();
}

struct Reply
{
    QByteArray header; // type, length and sequence number
    QByteArray message;
    Clock::time_point arrival;
};

// The controller's end of the wire, without the program's socket dropping what it does not
// expect.
struct Controller
{
    explicit Controller(const std::string &address)
    {
        LoopbackSocket::endpoint(address, VISCASocket::Port, camera);
    }
    ~Controller() { LoopbackSocket::close(fd); }
    Clock::time_point send(const Bytes &bytes)
    {
        LoopbackSocket::sendTo(fd, bytes, camera);
        return Clock::now();
    }
    std::vector<Reply> receive(milliseconds within)
    {
        std::vector<Reply> replies;
        const Clock::time_point deadline = Clock::now() + within;
        Bytes bytes;
        sockaddr_in from{};
        for (pollfd waiting{fd, POLLIN, 0};
             poll(&waiting, 1, int(std::max<int64_t>(0, ms(deadline - Clock::now())))) > 0 &&
             LoopbackSocket::receive(fd, bytes, from);) {
            const QByteArray all(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
            replies.push_back({all.left(8).toHex(), all.mid(8).toHex(), Clock::now()});
        }
        return replies;
    }
    int fd = LoopbackSocket::open(LoopbackSocket::Type::Udp, "127.0.0.1", 0);
    sockaddr_in camera{};
};

// The next picture's pixels, B, G, R, X; empty when none came.
std::vector<uint8_t> capture(NdiReceiverHandle receiver, NdiVideoFrame &video)
{
    if (NDIlib_recv_capture_v2(receiver, &video, nullptr, nullptr, 2000) != NdiFrameTypeVideo)
        return {};
    Bytes pixels(video.data, video.data + size_t(video.lineStrideBytes) * video.height);
    NDIlib_recv_free_video_v2(receiver, &video);
    return pixels;
}

} // namespace

class TestCamSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void finderSeesTheSimulatorWhenItStarts();
    void datagramsAreAnsweredAsACameraAnswers_data();
    void datagramsAreAnsweredAsACameraAnswers();
    void movesCompleteOnArrival_data();
    void movesCompleteOnArrival();
    void faultsAsControllersMeetThem_data();
    void faultsAsControllersMeetThem();
    void webInterface();
    void framesCarryTheCamerasFormat();
    void thePictureFollowsTheCamera();

private:
    std::unique_ptr<CameraSimulator> simulator;
};

void TestCamSim::initTestCase()
{
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    qputenv(CamSim::BaseAddressVariable, QByteArray::fromStdString(Base));
    QVERIFY(NDIlib_initialize());
    CameraSimulator::Config config;
    config.baseAddress = Base;
    config.cameraCount = 3;
    config.speedScale = 4; // keeps every move short
    simulator = std::make_unique<CameraSimulator>(config);
    // Nothing leaves the loopback network.
    QVERIFY(CamSim::addressAt("192.0.2.10", 0).empty() &&
            CamSim::addressAt("127.0.0.250", 6).empty());
    QCOMPARE(LoopbackSocket::open(LoopbackSocket::Type::Udp, "192.0.2.10", 0), -1);
}

void TestCamSim::cleanupTestCase()
{
    simulator.reset();
    NDIlib_destroy();
}

void TestCamSim::init()
{
    for (int i = 0; i < simulator->cameraCount(); ++i) {
        simulator->camera(i).setFaults({});
        simulator->camera(i).placeAt({}); // focus at its near end, 0x1000
    }
}

void TestCamSim::finderSeesTheSimulatorWhenItStarts()
{
    const NdiFindCreateSettings settings{true, nullptr, nullptr};
    NdiFinderHandle finder = NDIlib_find_create_v2(&settings);
    QVERIFY(finder);
    QVERIFY(!NDIlib_find_wait_for_sources(finder, 300));

    std::string error;
    QVERIFY2(simulator->start(error), error.c_str());
    QVERIFY(NDIlib_find_wait_for_sources(finder, 2000));
    uint32_t count = 0;
    const NdiSource *sources = NDIlib_find_get_current_sources(finder, &count);
    QCOMPARE(count, 3u);
    QCOMPARE(QString(sources[0].ndiName), QString("CAMSIM (PTZ Camera 1)"));
    QCOMPARE(QString(sources[0].urlAddress), QString("127.0.7.100:5961"));
    QCOMPARE(QString(sources[2].ndiName), QString("CAMSIM (PTZ Camera 3)"));
    QCOMPARE(QString(sources[2].urlAddress), QString("127.0.7.102:5961"));
    QVERIFY(!NDIlib_find_wait_for_sources(finder, 400)); // nothing changed since
    NDIlib_find_destroy(finder);

    // A second simulator on the same addresses is refused, and the first one goes on.
    CameraSimulator second({Base, 3, 1.0, {}});
    QVERIFY(!second.start(error));
    QVERIFY2(error.find(Base) != std::string::npos, error.c_str());
}

void TestCamSim::datagramsAreAnsweredAsACameraAnswers_data()
{
    QTest::addColumn<Bytes>("datagram");
    QTest::addColumn<QByteArray>("replies"); // the message of each, at rest

    const QByteArray done = "9041ff 9051ff";
    const QByteArray syntaxError = "906002ff";
    // Every command of the program, each in place.
    QTest::newRow("BlockInquiry") << encode(0)
                                  << QByteArray("905000000000000000000100000000000000ff");
    QTest::newRow("Preset set") << encode(1, 0x12) << done;
    QTest::newRow("Zoom stop") << encode(2) << done;
    QTest::newRow("PanTilt stop") << encode(3, 0x33) << done;
    QTest::newRow("Focus stop") << encode(4) << done;
    QTest::newRow("FocusMode manual") << encode(5, 3) << done;
    QTest::newRow("PanTiltAbsCmd") << encode(6, 9 * 257) << done;
    QTest::newRow("PanTiltRelCmd") << encode(7, 9 * 257) << done;
    QTest::newRow("PanTiltInq") << encode(8) << QByteArray("90500000000000000000ff");
    QTest::newRow("FocusInq") << encode(9) << QByteArray("905001000000ff");
    QTest::newRow("ZoomInq") << encode(10) << QByteArray("905000000000ff");
    QTest::newRow("FocusDirectCmd") << encode(11, 0, 0x1000) << done;
    QTest::newRow("ZoomDirectCmd") << encode(12) << done;
    QTest::newRow("PanTiltStop") << encode(13) << done;
    QTest::newRow("sequence reset")
        << Bytes{0x02, 0x00, 0x00, 0x01, 0x0A, 0x0B, 0x0C, 0x0D, 0x01} << QByteArray("01");
    // What a camera does not understand.
    const auto changed = [](Bytes bytes, size_t at, uint8_t byte) {
        bytes[at] = byte;
        return bytes;
    };
    QTest::newRow("garbage") << Bytes{'h', 'e', 'l', 'l', 'o'} << syntaxError;
    QTest::newRow("wrong payload length") << changed(encode(8), 3, 9) << syntaxError;
    QTest::newRow("camera 2") << changed(encode(8), 8, 0x82) << syntaxError;
    QTest::newRow("position byte above 0F")
        << changed(encode(12, 0, 0x1234), 12, 0x1F) << syntaxError;
    QTest::newRow("unknown command") << changed(encode(2), 11, 0x99) << syntaxError;
    QTest::newRow("no terminator") << changed(encode(8), 12, 0x00) << syntaxError;
}

void TestCamSim::datagramsAreAnsweredAsACameraAnswers()
{
    QFETCH(Bytes, datagram);
    QFETCH(QByteArray, replies);

    Controller controller(Base);
    controller.send(datagram);
    const QByteArray sent =
        QByteArray(reinterpret_cast<const char *>(datagram.data()), int(datagram.size())).toHex();
    const QByteArray sequence = datagram.size() < 8 ? "00000000" : sent.mid(8, 8);
    QByteArrayList messages;
    for (const Reply &reply : controller.receive(milliseconds(300))) {
        messages << reply.message;
        // Type, the message's length, and the sequence number of the datagram answered.
        const QByteArray length = QByteArray::number(reply.message.size() / 2, 16);
        QCOMPARE(reply.header, (sent.startsWith("02") ? "0201" : "0111") +
                                   length.rightJustified(4, '0') + sequence);
    }
    QCOMPARE(messages.join(' '), replies);
}

void TestCamSim::movesCompleteOnArrival_data()
{
    QTest::addColumn<Bytes>("command");
    QTest::addColumn<int>("travelMs"); // at the simulator's speed scale of 4
    QTest::addColumn<CameraMotion::Units>("target");
    // Pan 8192 units left at 40°/s: pan takes longer than tilt. Half the speed, half the way.
    QTest::newRow("pan-tilt, top speed") << encode(6, 18 * 257, 0xE000, 0x0100) << 480
                                         << CameraMotion::Units{0xE000, 0x0100, 0, 0x1000};
    QTest::newRow("pan-tilt, half speed") << encode(6, 9 * 257, 0xF000, 0x0100) << 480
                                          << CameraMotion::Units{0xF000, 0x0100, 0, 0x1000};
    // Half the zoom travel at full speed: 3 s / 2 / 4.
    QTest::newRow("direct zoom") << encode(12, 0, 0x2000) << 375
                                 << CameraMotion::Units{0, 0, 0x2000, 0x1000};
}

void TestCamSim::movesCompleteOnArrival()
{
    QFETCH(Bytes, command);
    QFETCH(int, travelMs);
    QFETCH(CameraMotion::Units, target);

    Controller controller(Base);
    const Clock::time_point sent = controller.send(command);
    const auto got = controller.receive(milliseconds(travelMs + 300));
    QCOMPARE(got.size(), size_t(2));
    QVERIFY(ms(got[0].arrival - sent) < 50);
    QCOMPARE(got[1].message, QByteArray("9051ff"));
    QVERIFY2(qAbs(ms(got[1].arrival - sent) - travelMs) < 60,
             qPrintable(QString("completion after %1 ms").arg(ms(got[1].arrival - sent))));
    const CameraMotion::Units at = simulator->camera(0).position(Clock::now());
    QVERIFY(at.pan == target.pan && at.tilt == target.tilt && at.zoom == target.zoom);
}

void TestCamSim::faultsAsControllersMeetThem_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("within100ms"); // the messages of the replies to a stop
    QTest::addColumn<int>("later");              // replies in the 200 ms after those
    QTest::newRow("silent") << "3:silent" << QByteArray() << 0;
    QTest::newRow("drops every datagram") << "3:drop=1" << QByteArray() << 0;
    QTest::newRow("late") << "3:late=150" << QByteArray() << 2;
    QTest::newRow("no completion") << "3:no-completion" << QByteArray("9041ff") << 0;
    // Another camera's acknowledge comes first.
    QTest::newRow("stray replies") << "3:stray" << QByteArray("a041ff 9041ff 9051ff") << 0;
}

void TestCamSim::faultsAsControllersMeetThem()
{
    QFETCH(QString, fault);
    QFETCH(QByteArray, within100ms);
    QFETCH(int, later);
    SimCamera &camera = simulator->camera(2);
    CameraFaults faults;
    int index = 0;
    std::string error;
    QVERIFY2(CameraSimulator::parseFault(fault.toStdString(), index, faults, error), error.c_str());
    QCOMPARE(index, 2);
    camera.setFaults(faults);

    Controller controller(camera.address());
    controller.send(encode(3, 0x33));
    QByteArrayList messages;
    for (const Reply &reply : controller.receive(milliseconds(100)))
        messages << reply.message;
    QCOMPARE(messages.join(' '), within100ms);
    QCOMPARE(int(controller.receive(milliseconds(200)).size()), later);
}

void TestCamSim::webInterface()
{
    QString version;
    QString format;
    QVERIFY(HttpHandler::instance().getVersion("127.0.7.100", version));
    QVERIFY(HttpHandler::instance().getVideoFormat("127.0.7.101", format));
    QCOMPARE(version + " " + format, QString("R520 v2.4.1 1080p50"));
    simulator->camera(1).setFaults({false, 0, 400}); // late past the program's 300 ms
    QVERIFY(!HttpHandler::instance().getVersion("127.0.7.101", version));
}

// Each camera's own frame rate; a receiver finds its source by name alone, and by URL address
// when it has no name. The program's own "MACHINE(STREAM)" reaches the camera too; handed to
// the runtime as it is, a name no source has finds nothing, wherever its URL address points.
void TestCamSim::framesCarryTheCamerasFormat()
{
    for (const auto &[name, url, rate] :
         {std::tuple("CAMSIM (PTZ Camera 1)", "127.0.7.100:5961", 60000 / 1001.0), // 1080p59.94
          std::tuple("", "127.0.7.101:5961", 50.0),                                // 1080p50
          std::tuple("CAMSIM(PTZ Camera 3)", static_cast<const char *>(nullptr), 30000 / 1001.0)}) {
        NdiReceiverHandle receiver = openPreviewReceiver(name, url);
        QVERIFY2(receiver, name);
        NdiVideoFrame f{};
        QVERIFY(!capture(receiver, f).empty());
        QVERIFY(f.width == 640 && f.height == 360 && f.lineStrideBytes == 640 * 4);
        QVERIFY(f.fourCC == NdiFourCCBgrx && f.frameFormat == NdiFrameFormatProgressive);
        QCOMPARE(double(f.frameRateN) / f.frameRateD, rate);
        NDIlib_recv_destroy(receiver);
    }
    QVERIFY(!openPreviewReceiver("CAMSIM (PTZ Camera 9)", nullptr));
    NdiRecvCreateSettings byDisplayName{};
    byDisplayName.source = {"CAMSIM(PTZ Camera 1)", "127.0.7.100:5961"};
    QVERIFY(!NDIlib_recv_create_v3(&byDisplayName));
}

// The picture is drawn from where the camera looks: it changes while the camera is driven and
// comes back with the camera. A stopped drive stays where it stopped.
void TestCamSim::thePictureFollowsTheCamera()
{
    SimCamera &camera = simulator->camera(0);
    const CameraMotion::Units home{0, uint16_t(-120), 0x0800, 0x1000}; // the home straight
    camera.placeAt(home);
    NdiReceiverHandle receiver = openPreviewReceiver("CAMSIM (PTZ Camera 1)", nullptr);
    NdiVideoFrame video{};
    const Bytes before = capture(receiver, video);
    Controller controller(Base);
    controller.send(encode(3, 0x21, 2, 2)); // right and up
    QTest::qWait(300);
    controller.send(encode(13));
    QCOMPARE(controller.receive(milliseconds(50)).size(), size_t(4));
    const CameraMotion::Units stopped = camera.position(Clock::now());
    QVERIFY(CameraMotion::signedUnits(stopped.pan) > 0 && stopped.tilt != home.tilt);
    capture(receiver, video);
    QVERIFY(capture(receiver, video) != before); // drawn after the stop
    QCOMPARE(camera.position(Clock::now()).pan, stopped.pan);
    camera.placeAt(home);
    capture(receiver, video);
    QVERIFY(capture(receiver, video) == before);
    NDIlib_recv_destroy(receiver);
}

QTEST_GUILESS_MAIN(TestCamSim)
#include "tst_camsim.moc"
