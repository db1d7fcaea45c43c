// The simulated cameras as the program meets them: its own encoders, socket and web queries
// against cameras on 127.0.7.100 and up.
#include "camera_control/httphandler.h"
#include "camera_control/viscasocket.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/common/camsimprotocol.h"
#include "viscaclient.h"

#include <QtTest>

using namespace std::chrono;
using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

const std::string Base = "127.0.7.100";
constexpr double SpeedScale = 4; // keeps every move of these tests short

CameraSimulator::Config config()
{
    CameraSimulator::Config c;
    c.baseAddress = Base;
    c.cameraCount = 3;
    c.speedScale = SpeedScale;
    return c;
}

int64_t ms(ViscaClient::Clock::duration d)
{
    return duration_cast<milliseconds>(d).count();
}

// The program's own inquiries: pan-tilt, and zoom (type 10) or focus (type 9).
bool readPanTilt(const std::string &address, int64_t &pan, int64_t &tilt)
{
    const Bytes inquiry = ViscaClient::encode(8);
    uint32_t length = uint32_t(inquiry.size());
    return VISCASocket::inquirePanTilt(&VISCASocket::instance(), inquiry.data(), &length, address,
                                       &pan, &tilt);
}

bool readValue(const std::string &address, int type, int64_t &value)
{
    const Bytes inquiry = ViscaClient::encode(type);
    uint32_t length = uint32_t(inquiry.size());
    return VISCASocket::inquireValue(&VISCASocket::instance(), inquiry.data(), &length, address,
                                     &value);
}

} // namespace

class TestCamSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void everyCommandOfTheProgramIsAnswered_data();
    void everyCommandOfTheProgramIsAnswered();
    void datagramsNotUnderstoodGetASyntaxError_data();
    void datagramsNotUnderstoodGetASyntaxError();
    void absoluteMoveCompletesOnArrival();
    void drivesRunUntilStoppedOrEndOfTravel();
    void directZoomCompletesWhenDone();
    void speedAndSpeedFactorSetTravelTime_data();
    void speedAndSpeedFactorSetTravelTime();
    void faultsAsTheProgramMeetsThem_data();
    void faultsAsTheProgramMeetsThem();
    void webInterface();
    void faultSpecsAndAddresses();
    void takenAddressesRefuseASecondSimulator();

private:
    std::unique_ptr<CameraSimulator> simulator;
    uint32_t counter = 100;
};

void TestCamSim::initTestCase()
{
    simulator = std::make_unique<CameraSimulator>(config());
    std::string error;
    QVERIFY2(simulator->start(error), error.c_str());
}

void TestCamSim::init()
{
    for (int i = 0; i < simulator->cameraCount(); ++i) {
        simulator->camera(i).setFaults({});
        simulator->camera(i).placeAt({});
    }
}

void TestCamSim::everyCommandOfTheProgramIsAnswered_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("p1");
    QTest::addColumn<int>("p2");
    QTest::addColumn<Bytes>("first"); // the message of the first reply
    QTest::addColumn<int>("replies"); // within 300 ms, at rest

    const Bytes ack{0x90, 0x41, 0xFF};
    const Bytes position{0x90, 0x50};
    QTest::newRow("BlockInquiry") << 0 << 0 << 0 << position << 1;
    QTest::newRow("Preset set") << 1 << 0x12 << 0 << ack << 2;
    QTest::newRow("Zoom stop") << 2 << 0 << 0 << ack << 2;
    QTest::newRow("PanTilt stop") << 3 << 0x33 << 0 << ack << 2;
    QTest::newRow("Focus stop") << 4 << 0 << 0 << ack << 2;
    QTest::newRow("FocusMode manual") << 5 << 3 << 0 << ack << 2;
    QTest::newRow("PanTiltAbsCmd in place") << 6 << 9 * 257 << 0 << ack << 2;
    QTest::newRow("PanTiltRelCmd none") << 7 << 9 * 257 << 0 << ack << 2;
    QTest::newRow("PanTiltInq") << 8 << 0 << 0 << position << 1;
    QTest::newRow("FocusInq") << 9 << 0 << 0 << position << 1;
    QTest::newRow("ZoomInq") << 10 << 0 << 0 << position << 1;
    QTest::newRow("FocusDirectCmd in place") << 11 << 0 << 0x1000 << ack << 2;
    QTest::newRow("ZoomDirectCmd in place") << 12 << 0 << 0 << ack << 2;
    QTest::newRow("PanTiltStop") << 13 << 0 << 0 << ack << 2;
}

void TestCamSim::everyCommandOfTheProgramIsAnswered()
{
    QFETCH(int, type);
    QFETCH(int, p1);
    QFETCH(int, p2);
    QFETCH(Bytes, first);
    QFETCH(int, replies);

    ViscaClient client(Base);
    const uint32_t sequence = ++counter;
    client.send(ViscaClient::encode(type, p1, p2, 0, sequence));
    const auto got = client.receive(milliseconds(300));
    QCOMPARE(int(got.size()), replies);
    const Bytes message = got[0].message();
    QCOMPARE(Bytes(message.begin(), message.begin() + long(first.size())), first);
    for (const auto &reply : got)
        QCOMPARE(qFromBigEndian<quint32>(reply.bytes.data() + 4), sequence);
    if (replies == 2)
        QCOMPARE(got[1].message(), Bytes({0x90, 0x51, 0xFF}));
}

void TestCamSim::datagramsNotUnderstoodGetASyntaxError_data()
{
    QTest::addColumn<Bytes>("datagram");
    const Bytes inquiry = ViscaClient::encode(8, 0, 0, 0, 0x0A0B0C0D);
    Bytes wrongLength = inquiry;
    wrongLength[3] = 9;
    Bytes otherCamera = inquiry;
    otherCamera[8] = 0x82;
    Bytes notNibble = ViscaClient::encode(12, 0, 0x1234, 0, 0x0A0B0C0D);
    notNibble[12] = 0x1F;
    QTest::newRow("garbage") << Bytes{'h', 'e', 'l', 'l', 'o'};
    QTest::newRow("wrong payload length") << wrongLength;
    QTest::newRow("camera 2") << otherCamera;
    QTest::newRow("position byte above 0F") << notNibble;
    QTest::newRow("unknown command")
        << Bytes{0x01, 0x00, 0x00, 0x05, 0x0A, 0x0B, 0x0C, 0x0D, 0x81, 0x01, 0x04, 0x99, 0xFF};
    QTest::newRow("no terminator") << Bytes(inquiry.begin(), inquiry.end() - 1);
}

void TestCamSim::datagramsNotUnderstoodGetASyntaxError()
{
    QFETCH(Bytes, datagram);
    ViscaClient client(Base);
    client.send(datagram);
    const auto got = client.receive(milliseconds(200));
    QCOMPARE(got.size(), size_t(1));
    QCOMPARE(got[0].message(), Bytes({0x90, 0x60, 0x02, 0xFF}));
    if (datagram.size() >= 8)
        QCOMPARE(Bytes(got[0].bytes.begin() + 4, got[0].bytes.begin() + 8),
                 Bytes(datagram.begin() + 4, datagram.begin() + 8));
}

void TestCamSim::absoluteMoveCompletesOnArrival()
{
    SimCamera &camera = simulator->camera(0);
    const CameraMotion::Units target{0xC000, 0x0100, 0, 0x1000}; // pan negative
    const int64_t travel = ms(camera.panTiltTravelTime({}, target, 18));
    QVERIFY(travel > 300);

    ViscaClient client(Base);
    const auto sent = client.send(ViscaClient::encode(6, 18 * 257, 0xC000, 0x0100, 7));
    const auto got = client.receive(milliseconds(travel + 300));
    QCOMPARE(got.size(), size_t(2));
    QVERIFY(ms(got[0].arrival - sent) < 50);
    QCOMPARE(got[1].message(), Bytes({0x90, 0x51, 0xFF}));
    QVERIFY2(qAbs(ms(got[1].arrival - sent) - travel) < 60,
             qPrintable(QString("completion after %1 ms, travel %2 ms")
                            .arg(ms(got[1].arrival - sent))
                            .arg(travel)));

    int64_t pan = -1;
    int64_t tilt = -1;
    QVERIFY(readPanTilt(Base, pan, tilt));
    QCOMPARE(pan, int64_t(0xC000));
    QCOMPARE(tilt, int64_t(0x0100));
    QCOMPARE(camera.panTiltMoves().back().panSpeed, 18);
}

void TestCamSim::drivesRunUntilStoppedOrEndOfTravel()
{
    SimCamera &camera = simulator->camera(0);
    ViscaClient client(Base);
    // Right and up: code 0x21. Acknowledge and completion come at once.
    client.send(ViscaClient::encode(3, 0x21, 10, 10));
    const auto drive = client.receive(milliseconds(100));
    QCOMPARE(drive.size(), size_t(2));
    QTest::qWait(150);
    const CameraMotion::Units moving = camera.position(SimCamera::Clock::now());
    QVERIFY(CameraMotion::signedUnits(moving.pan) > 0);
    QVERIFY(CameraMotion::signedUnits(moving.tilt) > 0);
    client.send(ViscaClient::encode(13));
    client.receive(milliseconds(50));
    const CameraMotion::Units stopped = camera.position(SimCamera::Clock::now());
    QTest::qWait(100);
    QCOMPARE(camera.position(SimCamera::Clock::now()).pan, stopped.pan);

    // Zoom tele at full speed runs into the end of travel and stays there.
    // The motion model is exact in time, so a later moment can be asked now.
    const auto later = [] { return SimCamera::Clock::now() + seconds(5); };
    client.send(ViscaClient::encode(2, 0x27));
    QCOMPARE(client.receive(milliseconds(100)).size(), size_t(2));
    QCOMPARE(int(camera.position(later()).zoom), CameraMotion::ZoomMaximum);
    // Focus far runs the other way, to the low end.
    camera.placeAt({0, 0, 0, 0x8000});
    client.send(ViscaClient::encode(4, 0x27));
    client.receive(milliseconds(100));
    QCOMPARE(int(camera.position(later()).focus), CameraMotion::FocusMinimum);
}

void TestCamSim::directZoomCompletesWhenDone()
{
    ViscaClient client(Base);
    const auto sent = client.send(ViscaClient::encode(12, 0, 0x2000, 0, 31));
    const auto got = client.receive(milliseconds(1000));
    QCOMPARE(got.size(), size_t(2));
    // Half the travel at full speed, sped up by the scale: 3 s / 2 / 4.
    QVERIFY(ms(got[1].arrival - sent) > 300);
    QVERIFY(ms(got[1].arrival - sent) < 480);

    int64_t zoom = -1;
    QVERIFY(readValue(Base, 10, zoom));
    QCOMPARE(zoom, int64_t(0x2000));
}

void TestCamSim::speedAndSpeedFactorSetTravelTime_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("relative"); // time against speed 18 at factor 1
    QTest::newRow("top speed") << 18 << 1.0 << 1.0;
    QTest::newRow("half speed") << 9 << 1.0 << 2.0;
    QTest::newRow("slowest") << 1 << 1.0 << 18.0;
    QTest::newRow("above the top is the top") << 24 << 1.0 << 1.0;
    QTest::newRow("halved speed 1 moves at 1") << 0 << 1.0 << 18.0;
    QTest::newRow("slower head") << 18 << 0.5 << 2.0;
    QTest::newRow("slower head, half speed") << 9 << 0.8 << 2.5;
}

void TestCamSim::speedAndSpeedFactorSetTravelTime()
{
    QFETCH(int, speed);
    QFETCH(double, factor);
    QFETCH(double, relative);
    const CameraMotion reference(CameraModel::r520(), 1.0);
    const CameraMotion measured(CameraModel::r520(), factor);
    const CameraMotion::Units to{0x2000, 0x0200, 0, 0};
    const double base = duration<double>(reference.panTiltTravelTime({}, to, 18)).count();
    const double time = duration<double>(measured.panTiltTravelTime({}, to, speed)).count();
    QVERIFY2(qAbs(time / base - relative) < 0.01, qPrintable(QString::number(time / base)));
}

void TestCamSim::faultsAsTheProgramMeetsThem_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("panTiltRead"); // within the 100 ms of a pan-tilt inquiry
    QTest::addColumn<bool>("valueRead");   // within the 500 ms of a zoom inquiry
    QTest::addColumn<int>("driveReplies"); // seen by a controller within 100 ms
    QTest::newRow("none") << "" << true << true << 2;
    QTest::newRow("silent") << "3:silent" << false << false << 0;
    QTest::newRow("drops every datagram") << "3:drop=1" << false << false << 0;
    QTest::newRow("late") << "3:late=150" << false << true << 0;
    QTest::newRow("no completion") << "3:no-completion" << true << true << 1;
    QTest::newRow("stray replies") << "3:stray" << true << true << 3;
}

void TestCamSim::faultsAsTheProgramMeetsThem()
{
    QFETCH(QString, fault);
    QFETCH(bool, panTiltRead);
    QFETCH(bool, valueRead);
    QFETCH(int, driveReplies);
    SimCamera &camera = simulator->camera(2);
    camera.placeAt({0x0123, 0x0045, 0x0678, 0x1000});
    CameraFaults faults;
    int index = 2;
    std::string error;
    if (!fault.isEmpty())
        QVERIFY2(CameraSimulator::parseFault(fault.toStdString(), index, faults, error),
                 error.c_str());
    camera.setFaults(faults);
    const std::string address = camera.address();

    int64_t pan = -1;
    int64_t tilt = -1;
    QCOMPARE(readPanTilt(address, pan, tilt), panTiltRead);
    if (panTiltRead)
        QCOMPARE(pan, int64_t(0x0123));
    QTest::qWait(200); // a late answer must not meet the next exchange

    int64_t zoom = -1;
    QCOMPARE(readValue(address, 10, zoom), valueRead);
    if (valueRead)
        QCOMPARE(zoom, int64_t(0x0678));

    ViscaClient client(address);
    client.send(ViscaClient::encode(3, 0x33));
    QCOMPARE(int(client.receive(milliseconds(100)).size()), driveReplies);
    client.receive(milliseconds(200));
}

void TestCamSim::webInterface()
{
    const QString first = QString::fromStdString(simulator->camera(0).address());
    const QString second = QString::fromStdString(simulator->camera(1).address());
    QString text;
    QVERIFY(HttpHandler::instance().getVersion(first, text));
    QCOMPARE(text, QString("R520 v2.4.1"));
    QVERIFY(HttpHandler::instance().getVersion(second, text));
    QVERIFY(!text.contains("R520") && !text.contains("R530"));
    QVERIFY(HttpHandler::instance().getVideoFormat(first, text));
    QCOMPARE(text, QString("1080p59.94"));
    QVERIFY(HttpHandler::instance().getVideoFormat(second, text));
    QCOMPARE(text, QString("1080p50"));

    CameraFaults faults;
    faults.lateMs = 400; // past the program's 300 ms
    simulator->camera(1).setFaults(faults);
    text.clear();
    QVERIFY(!HttpHandler::instance().getVersion(second, text));
    faults = {};
    faults.silent = true;
    simulator->camera(1).setFaults(faults);
    QVERIFY(!HttpHandler::instance().getVideoFormat(second, text));
    QVERIFY(text.isEmpty());
}

// The command line's fault specs, and addresses that never leave the loopback network.
void TestCamSim::faultSpecsAndAddresses()
{
    CameraFaults faults;
    int index = -1;
    std::string error;
    for (const auto &[spec, camera] :
         {std::pair("2:silent", 1), std::pair("1:drop=0.25", 0), std::pair("4:late=300", 3),
          std::pair("3:no-completion", 2), std::pair("1:stray", 0)}) {
        QVERIFY2(CameraSimulator::parseFault(spec, index, faults, error), spec);
        QCOMPARE(index, camera);
    }
    // Faults add up over several specs.
    QVERIFY(faults.silent && faults.noCompletion && faults.strayReplies);
    QCOMPARE(faults.dropShare, 0.25);
    QCOMPARE(faults.lateMs, 300);
    for (const char *spec :
         {"0:silent", "silent", "1:drop=1.5", "1:late", "1:late=-5", "1:explode"}) {
        error.clear();
        QVERIFY2(!CameraSimulator::parseFault(spec, index, faults, error), spec);
        QVERIFY2(!error.empty(), spec);
    }

    QCOMPARE(CamSim::addressAt("127.0.0.10", 3), std::string("127.0.0.13"));
    QCOMPARE(CamSim::addressAt("127.0.7.250", 4), std::string("127.0.7.254"));
    QVERIFY(CamSim::addressAt("127.0.7.250", 5).empty());
    QVERIFY(CamSim::addressAt("192.0.2.10", 0).empty());
    QVERIFY(CamSim::addressAt("camera.local", 0).empty());
    int32_t n = 0;
    int32_t d = 0;
    QVERIFY(!CamSim::frameRateOfFormat("1080", n, d));
    CamSim::ViewState view;
    QVERIFY(!CamSim::decodeView("VIEW 1 2 0 30 1", view)); // no field of view
    QCOMPARE(CamSim::decodeSources("A (B)\t127.0.0.1:5961\nno tab\n\tx\n").size(), size_t(1));
}

void TestCamSim::takenAddressesRefuseASecondSimulator()
{
    CameraSimulator second(config());
    std::string error;
    QVERIFY(!second.start(error));
    QVERIFY2(error.find("127.0.7.100") != std::string::npos, error.c_str());
    // The first one still answers.
    ViscaClient client(Base);
    client.send(ViscaClient::encode(8));
    QCOMPARE(client.receive(milliseconds(100)).size(), size_t(1));
}

QTEST_GUILESS_MAIN(TestCamSim)
#include "tst_camsim.moc"
