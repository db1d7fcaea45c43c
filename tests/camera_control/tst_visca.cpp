#include "camera_control/viscacommandfactory.h"
#include "camera_control/viscasocket.h"
#include "support/loopbackcamera.h"

#include <QtTest>

#include <chrono>
#include <thread>

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Who a scripted reply seems to come from: the camera asked, another camera, or the camera
// answering the exchange before this one (the sequence number before); or a datagram without
// the reply framing.
enum class From { Camera, OtherCamera, EarlierExchange, Unframed };
// An inquiry, or a command awaiting both replies, one of them, or none.
enum Exchange { PanTilt, Value, Both, AckOnly, CompletionOnly, NoWait };

// One datagram the test camera sends back: the VISCA message (bytes 8 on), after delayMs.
struct Step
{
    QByteArray message;
    int delayMs = 0;
    From from = From::Camera;
};
using Steps = QVector<Step>;
Q_DECLARE_METATYPE(Steps)

namespace {

const char *const otherCamera = "127.0.1.250";

Step at(const char *hex, int delayMs = 0, From from = From::Camera)
{
    return {QByteArray::fromHex(hex), delayMs, from};
}

std::vector<uint8_t> encode(int type, int p1, int p2, int p3, uint32_t sequence)
{
    return VISCACommandFactory::instance().encode(type, p1, p2, p3, sequence);
}

QByteArray toHex(const std::vector<uint8_t> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size())).toHex();
}

} // namespace

// The exchange rules against a scripted camera. Every test talks to a camera address of its
// own, so late datagrams of an earlier test come from a foreign sender and are dropped.
class TestVISCASocket : public QObject
{
    Q_OBJECT

    std::unique_ptr<LoopbackCamera> camera;
    int nextHost = 10;

    // Sends the datagram of type (sequence 1000) to the camera, which answers as steps say.
    std::vector<uint8_t> script(const Steps &steps, int type, int p1 = 0, int p2 = 0)
    {
        const uint32_t sequence = 1000;
        std::vector<LoopbackCamera::Reply> replies;
        for (const Step &step : steps) {
            std::vector<uint8_t> bytes(step.message.begin(), step.message.end());
            if (step.from != From::Unframed)
                bytes = LoopbackCamera::frame(
                    step.from == From::EarlierExchange ? sequence - 1 : sequence, bytes);
            replies.push_back({bytes, milliseconds(step.delayMs),
                               step.from == From::OtherCamera ? otherCamera : std::string()});
        }
        camera->script(replies);
        return encode(type, p1, p2, 0, sequence);
    }

private slots:
    void init()
    {
        camera = std::make_unique<LoopbackCamera>("127.0.1." + std::to_string(nextHost++));
        QVERIFY(camera->isListening());
    }
    void cleanup() { camera.reset(); }

    void datagramOnTheWire_data()
    {
        QTest::addColumn<QList<qint64>>("command"); // type, parameters 1 to 3, sequence number
        QTest::addColumn<QByteArray>("expected");

        using T = VISCACommandType::Id;
        auto row = [](const QList<qint64> &command, const char *hex) {
            QTest::newRow(hex) << command << QByteArray::fromHex(hex);
        };
        row({T::BlockInquiry, 5, 6, 7, 1}, "0110 0006 00000001 8109 7e7eee ff");
        row({T::Zoom, 0x123, 0, 0, 0x12345678}, "0100 0006 12345678 8101 0407 23 ff");
        row({T::PanTilt, 0x21, 0x10B, 0x205, 0}, "0100 0009 00000000 8101 0601 0b05 0201 ff");
        row({T::Focus, 0x37, 0, 0, 0x00008000}, "0100 0006 00008000 8101 0408 37 ff");
        row({T::FocusMode, 0x03, 0, 0, 0x80FF7F01}, "0100 0006 80ff7f01 8101 0438 03 ff");
        row({T::PanTiltAbsCmd, 0x1203, 0xFC18, 0x8000, 7},
            "0100 000f 00000007 8101 0602 1203 0f0c0108 08000000 ff");
        row({T::PanTiltInq, 0, 0, 0, 0}, "0110 0005 00000000 8109 0612 ff");
        row({T::FocusInq, 1, 2, 3, 0x80000000}, "0110 0005 80000000 8109 0448 ff");
        row({T::ZoomInq, 0, 0, 0, 0x000000FF}, "0110 0005 000000ff 8109 0447 ff");
        row({T::FocusDirectCmd, 0, 0xFFFF, 0, 0x00800000},
            "0100 0009 00800000 8101 0448 0f0f0f0f ff");
        row({T::ZoomDirectCmd, 0x55, 0x1A2B, 0x66, 0}, "0100 0009 00000000 8101 0447 010a020b ff");
        // The parameters are ignored.
        row({T::PanTiltStop, 0x21, 11, 5, 3}, "0100 0009 00000003 8101 0601 0000 0303 ff");
    }
    // Checked as the camera receives it, so a fault in encoding or in the way the socket puts
    // the bytes on the wire shows up the same way.
    void datagramOnTheWire()
    {
        QFETCH(QList<qint64>, command);
        QFETCH(QByteArray, expected);
        const std::vector<uint8_t> datagram =
            encode(int(command[0]), int(command[1]), int(command[2]), int(command[3]),
                   uint32_t(command[4]));
        uint32_t length = uint32_t(datagram.size());
        const bool noWait = false;
        QVERIFY(VISCASocket::sendCommand(&VISCASocket::instance(), datagram.data(), &length,
                                         camera->address(), &noWait, &noWait));
        QVERIFY(camera->waitForDatagrams(1, std::chrono::seconds(2)));
        QCOMPARE(toHex(camera->received().front().bytes), expected.toHex());
    }

    void exchange_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<Steps>("replies");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::addColumn<int>("sends");
        QTest::addColumn<uint>("lastSize");        // length on return: the last datagram taken
        QTest::addColumn<QList<qint64>>("values"); // an inquiry's answer; none: none taken

        auto row = [](const char *tag, Exchange exchange, const Steps &steps, int minMs, int maxMs,
                      int sends, uint lastSize, const QList<qint64> &values = {}) {
            QTest::newRow(tag) << int(exchange) << steps << minMs << maxMs << sends << lastSize
                               << values;
        };
        // Ending early shows the exchange took the reply; waiting its limit out shows it did
        // not. The bounds leave room for a loaded machine.
        const int quick = 150;
        const int window = VISCASocket::CommandWindowMs - 10;
        const int late = 700;
        // Dropped, and the right answer 10 ms later taken.
        auto position = [&](const char *tag, const Step &first) {
            row(tag, PanTilt, {first, at("9050 0f0c0108 00000005 ff", 10)}, 0, quick, 1, 19,
                {0xFC18, 5});
        };
        auto value = [&](const char *tag, const Step &first) {
            row(tag, Value, {first, at("9050 010a020b ff", 10)}, 0, quick, 1, 15, {0x1A2B});
        };
        auto completes = [&](const char *tag, Exchange exchange, const Steps &steps) {
            row(tag, exchange, steps, 0, quick, 1, 11);
        };
        auto waitsOut = [&](const char *tag, Exchange exchange, const Steps &steps, int sends) {
            row(tag, exchange, steps, window, late, sends, 0);
        };
        const Step ack = at("9041ff");
        const Step done = at("9051ff", 5);

        position("pan-tilt: acknowledge", ack);
        position("pan-tilt: last byte not FF", at("9050 01020304 01020304 fe"));
        position("pan-tilt: 18 bytes", at("9050 01020304 010203 ff"));
        position("pan-tilt: 20 bytes", at("9050 01020304 01020304 00ff"));
        position("pan-tilt: other address byte", at("a050 01020304 01020304 ff"));
        position("pan-tilt: stray header-only datagram", at("0111000000000000", 0, From::Unframed));
        position("pan-tilt: another camera", at("9050 01020304 01020304 ff", 0, From::OtherCamera));
        position("pan-tilt: the earlier exchange's answer",
                 at("9050 01020304 01020304 ff", 0, From::EarlierExchange));
        row("pan-tilt: answer after 100 ms", PanTilt, {at("9050 0f0c0108 00000005 ff", 180)}, 95,
            250, 1, 0);
        row("pan-tilt: silent", PanTilt, {}, 95, 250, 1, 0);
        value("value: pan-tilt sized answer", at("9050 01020304 01020304 ff"));
        value("value: wrong kind byte", at("9060 01020304 ff"));
        // Longer than a pan-tilt inquiry would wait, inside the value inquiry's limit.
        row("value: answer after 300 ms", Value, {at("9050 010a020b ff", 300)}, 290, 300 + quick, 1,
            15, {0x1A2B});
        row("value: silent", Value, {}, 495, 650, 1, 0);

        completes("acknowledge then completion", Both, {ack, done});
        row("completion 150 ms after acknowledge", Both, {ack, at("9051ff", 150)}, 140, 150 + quick,
            1, 11);
        completes("completion first is dropped", Both, {at("9051ff"), ack, done});
        completes("acknowledge from another camera is dropped", Both,
                  {at("9041ff", 0, From::OtherCamera), at("9041ff", 5), at("9051ff", 10)});
        completes("acknowledge of the earlier exchange is dropped", Both,
                  {at("9041ff", 0, From::EarlierExchange), at("9041ff", 5), at("9051ff", 10)});
        waitsOut("completion from another camera is dropped", Both,
                 {ack, at("9051ff", 5, From::OtherCamera)}, 1);
        waitsOut("acknowledge without completion", Both, {ack}, 1);
        waitsOut("error reply", Both, {at("906002ff")}, 2);
        waitsOut("acknowledge without terminator", Both, {at("904100"), done}, 2);
        waitsOut("acknowledge of socket 2", Both, {at("9042ff"), done}, 2);
        row("command: silent", Both, {}, window, 200 + quick, 2, 0);
        completes("only acknowledge awaited", AckOnly, {ack});
        completes("only completion awaited", CompletionOnly, {at("9051ff")});
        waitsOut("only completion awaited, acknowledge comes", CompletionOnly, {ack}, 2);
        // Nothing received, nothing waited for: the length is left as it was.
        row("nothing awaited", NoWait, {}, 0, quick, 1, 23);
    }
    void exchange()
    {
        QFETCH(int, exchange);
        QFETCH(Steps, replies);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        QFETCH(int, sends);
        QFETCH(uint, lastSize);
        QFETCH(QList<qint64>, values);

        const int type = exchange == PanTilt ? VISCACommandType::PanTiltInq
                         : exchange == Value ? VISCACommandType::ZoomInq
                                             : VISCACommandType::PanTiltAbsCmd;
        const std::vector<uint8_t> datagram = script(replies, type, 9 * 257, 0x1234);
        uint32_t length = uint32_t(datagram.size());
        int64_t a = -1;
        int64_t b = -1;
        const bool ack = exchange == Both || exchange == AckOnly;
        const bool completion = exchange == Both || exchange == CompletionOnly;
        VISCASocket *socket = &VISCASocket::instance();
        const std::string &address = camera->address();
        const Clock::time_point start = Clock::now();
        bool result = false;
        if (exchange == PanTilt)
            result = VISCASocket::inquirePanTilt(socket, datagram.data(), &length, address, &a, &b);
        else if (exchange == Value)
            result = VISCASocket::inquireValue(socket, datagram.data(), &length, address, &a);
        else
            result = VISCASocket::sendCommand(socket, datagram.data(), &length, address, &ack,
                                              &completion);
        const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
        QVERIFY2(elapsed >= minMs && elapsed <= maxMs, qPrintable(QString::number(elapsed)));

        // Commands report success whatever the camera did; inquiries report whether it answered.
        QCOMPARE(result, type == VISCACommandType::PanTiltAbsCmd || !values.isEmpty());
        QCOMPARE(QList<qint64>({a, b}), (values + QList<qint64>{-1, -1}).mid(0, 2));
        QCOMPARE(length, lastSize);
        std::this_thread::sleep_for(milliseconds(20)); // let a late resend reach the camera
        const std::vector<LoopbackCamera::Datagram> received = camera->received();
        QCOMPARE(int(received.size()), sends);
        for (const LoopbackCamera::Datagram &sent : received)
            QCOMPARE(toHex(sent.bytes), toHex(datagram));
    }
};

QTEST_GUILESS_MAIN(TestVISCASocket)
#include "tst_visca.moc"
