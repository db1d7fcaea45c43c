#include "camera_control/viscasocket.h"
#include "support/loopbackcamera.h"
#include "visca_test_support.h"

#include <QtTest>

#include <climits>
#include <typeinfo>

// Every command is checked as the camera receives it, so a fault in encoding or in the
// way the socket puts the bytes on the wire shows up the same way.
class TestVISCACommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void datagramOnTheWire_data();
    void datagramOnTheWire();
    void factoryCreatesTheClassOfEachId_data();
    void factoryCreatesTheClassOfEachId();
    void factoryRejectsUnknownIds_data();
    void factoryRejectsUnknownIds();
    void baseClassWritesOnlyTheSharedHeader();

private:
    std::unique_ptr<LoopbackCamera> camera;
};

void TestVISCACommand::initTestCase()
{
    camera = std::make_unique<LoopbackCamera>("127.0.1.1");
    QVERIFY(camera->isListening());
}

void TestVISCACommand::datagramOnTheWire_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("p1");
    QTest::addColumn<int>("p2");
    QTest::addColumn<int>("p3");
    QTest::addColumn<uint>("counter");
    QTest::addColumn<QByteArray>("expected");

    using T = VISCACommandType::Id;
    auto row = [](const char *name, int type, int p1, int p2, int p3, uint counter,
                  const char *hex) {
        QTest::newRow(name) << type << p1 << p2 << p3 << counter << QByteArray::fromHex(hex);
    };
    row("BlockInquiry", T::BlockInquiry, 5, 6, 7, 1, "0110 0006 00000001 8109 7e7eee ff");
    row("Preset A7", T::Preset, 0xA7, 0, 0, 2, "0100 0007 00000002 8101 043f 0a07 ff");
    row("Zoom tele 3", T::Zoom, 0x23, 0, 0, 0x12345678, "0100 0006 12345678 8101 0407 23 ff");
    row("Zoom low byte", T::Zoom, 0x135, 0, 0, 0, "0100 0006 00000000 8101 0407 35 ff");
    row("PanTilt right up", T::PanTilt, 0x21, 11, 5, 0,
        "0100 0009 00000000 8101 0601 0b05 0201 ff");
    row("PanTilt stop low bytes", T::PanTilt, 0x33, 0x118, 0x207, 0,
        "0100 0009 00000000 8101 0601 1807 0303 ff");
    row("Focus near 7", T::Focus, 0x37, 0, 0, 0x00008000, "0100 0006 00008000 8101 0408 37 ff");
    row("FocusMode manual", T::FocusMode, 0x03, 0, 0, 0x80FF7F01,
        "0100 0006 80ff7f01 8101 0438 03 ff");
    row("PanTiltAbsCmd speed 9", T::PanTiltAbsCmd, 9 * 257, 0xFC18, 0, 0,
        "0100 000f 00000000 8101 0602 0909 0f0c0108 00000000 ff");
    row("PanTiltAbsCmd pan and tilt speed apart", T::PanTiltAbsCmd, 0x1203, 0xFFFF, 0x8000, 7,
        "0100 000f 00000007 8101 0602 1203 0f0f0f0f 08000000 ff");
    row("PanTiltRelCmd", T::PanTiltRelCmd, 0x0305, 0, 0xFFFF, 0xFFFFFFFF,
        "0100 000f ffffffff 8101 0603 0305 00000000 0f0f0f0f ff");
    row("PanTiltInq", T::PanTiltInq, 0, 0, 0, 0, "0110 0005 00000000 8109 0612 ff");
    row("FocusInq", T::FocusInq, 1, 2, 3, 0x80000000, "0110 0005 80000000 8109 0448 ff");
    row("ZoomInq", T::ZoomInq, 0, 0, 0, 0x000000FF, "0110 0005 000000ff 8109 0447 ff");
    row("FocusDirectCmd 0xFFFF", T::FocusDirectCmd, 0, 0xFFFF, 0, 0x00800000,
        "0100 0009 00800000 8101 0448 0f0f0f0f ff");
    row("ZoomDirectCmd 0x1A2B", T::ZoomDirectCmd, 0, 0x1A2B, 0, 0,
        "0100 0009 00000000 8101 0447 010a020b ff");
    row("ZoomDirectCmd zero", T::ZoomDirectCmd, 0x55, 0, 0x66, 0,
        "0100 0009 00000000 8101 0447 00000000 ff");
    row("PanTiltStop ignores parameters", T::PanTiltStop, 0x21, 11, 5, 3,
        "0100 0009 00000003 8101 0601 0000 0303 ff");
}

void TestVISCACommand::datagramOnTheWire()
{
    QFETCH(int, type);
    QFETCH(int, p1);
    QFETCH(int, p2);
    QFETCH(int, p3);
    QFETCH(uint, counter);
    QFETCH(QByteArray, expected);

    const std::vector<uint8_t> datagram = encodeCommand(type, p1, p2, p3, counter);
    QCOMPARE(toBytes(datagram).toHex(), expected.toHex());

    camera->clearReceived();
    uint32_t length = uint32_t(datagram.size());
    const bool noWait = false;
    QVERIFY(VISCASocket::sendCommand(&VISCASocket::instance(), datagram.data(), &length,
                                     camera->address(), &noWait, &noWait));
    QVERIFY(camera->waitForDatagrams(1, std::chrono::seconds(2)));
    QCOMPARE(toBytes(camera->received().front().bytes).toHex(), expected.toHex());
}

void TestVISCACommand::factoryCreatesTheClassOfEachId_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<bool>("isInquiry");

    auto row = [](int type, const std::type_info &info, bool inquiry) {
        QTest::addRow("%d", type) << type << QByteArray(info.name()) << inquiry;
    };
    row(0, typeid(BlockInquiry), true);
    row(1, typeid(Preset), false);
    row(2, typeid(Zoom), false);
    row(3, typeid(PanTilt), false);
    row(4, typeid(Focus), false);
    row(5, typeid(FocusMode), false);
    row(6, typeid(PanTiltAbsCmd), false);
    row(7, typeid(PanTiltRelCmd), false);
    row(8, typeid(PanTiltInq), true);
    row(9, typeid(FocusInq), true);
    row(10, typeid(ZoomInq), true);
    row(11, typeid(FocusDirectCmd), false);
    row(12, typeid(ZoomDirectCmd), false);
    row(13, typeid(PanTiltStop), false);
}

void TestVISCACommand::factoryCreatesTheClassOfEachId()
{
    QFETCH(int, type);
    QFETCH(QByteArray, className);
    QFETCH(bool, isInquiry);

    const VISCACommandFactory::Result created = VISCACommandFactory::instance().create(type);
    QCOMPARE(created.type, type);
    QVERIFY(created.command);
    const VISCACommand &command = *created.command;
    QCOMPARE(QByteArray(typeid(command).name()), className);
    QCOMPARE(created.command->isInquiry, isInquiry);
}

void TestVISCACommand::factoryRejectsUnknownIds_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("-1") << -1;
    QTest::newRow("14") << 14;
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MAX") << INT_MAX;
}

void TestVISCACommand::factoryRejectsUnknownIds()
{
    QFETCH(int, type);
    const VISCACommandFactory::Result created = VISCACommandFactory::instance().create(type);
    QCOMPARE(created.type, type);
    QVERIFY(!created.command);
}

void TestVISCACommand::baseClassWritesOnlyTheSharedHeader()
{
    VISCACommand command;
    command.isInquiry = true;
    uint8_t buffer[VISCACommand::MaxDatagramSize];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    uint32_t length = 99;
    const uint32_t counter = 0x01020304;
    QVERIFY(command.encode(buffer, &length, &counter));
    QCOMPARE(length, 99u);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer), 11).toHex(),
             QByteArray("0110aaaa010203048109aa"));
}

QTEST_GUILESS_MAIN(TestVISCACommand)
#include "tst_viscacommand.moc"
