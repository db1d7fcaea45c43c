#include "ndi/ndisourcename.h"
#include "stdstringtesting.h"

#include <QtTest>

class TestSourceNames : public QObject
{
    Q_OBJECT

private slots:
    void splitSourceName_data();
    void splitSourceName();
    void splitUrlAddress_data();
    void splitUrlAddress();
    void nullTextsReadAsEmpty();
};

void TestSourceNames::splitSourceName_data()
{
    QTest::addColumn<std::string>("ndiName");
    QTest::addColumn<std::string>("machine");
    QTest::addColumn<std::string>("stream");

    QTest::newRow("usual") << std::string("STUDIO-PC (PTZ Camera 1)") << std::string("STUDIO-PC")
                           << std::string("PTZ Camera 1");
    QTest::newRow("nested") << std::string("A (B (C))") << std::string("A") << std::string("B (C)");
    QTest::newRow("first open, last close")
        << std::string("HOST (A) (B)") << std::string("HOST") << std::string("A) (B");
    QTest::newRow("no parentheses") << std::string("LONE") << std::string("LONE") << std::string();
    QTest::newRow("open only") << std::string("HOST (cam") << std::string("HOST (cam")
                               << std::string();
    QTest::newRow("close only") << std::string("HOST cam)") << std::string("HOST cam)")
                                << std::string();
    QTest::newRow("close before open")
        << std::string("A)B( C ") << std::string("A)B") << std::string("C");
    QTest::newRow("empty stream") << std::string("HOST ()") << std::string("HOST") << std::string();
    QTest::newRow("empty machine")
        << std::string("(Cam 2)") << std::string("(Cam 2)") << std::string("Cam 2");
    QTest::newRow("machine only white space")
        << std::string(" \t(Cam)") << std::string(" \t(Cam)") << std::string("Cam");
    QTest::newRow("six white-space characters")
        << std::string("HOST \t\n\v\f\r(\r\f\v\n\t Cam 3 \t\n\v\f\r)") << std::string("HOST")
        << std::string("Cam 3");
    QTest::newRow("leading space of machine kept")
        << std::string("  HOST (A)") << std::string("  HOST") << std::string("A");
    QTest::newRow("no-break space is not white space")
        << std::string("HOST\xc2\xa0(A\xc2\xa0)") << std::string("HOST\xc2\xa0")
        << std::string("A\xc2\xa0");
    QTest::newRow("empty name") << std::string() << std::string() << std::string();
}

void TestSourceNames::splitSourceName()
{
    QFETCH(std::string, ndiName);
    QFETCH(std::string, machine);
    QFETCH(std::string, stream);
    std::string machineName = "old";
    std::string streamName = "old";
    ::splitSourceName(ndiName, machineName, streamName);
    QCOMPARE(machineName, machine);
    QCOMPARE(streamName, stream);
}

void TestSourceNames::splitUrlAddress_data()
{
    QTest::addColumn<std::string>("url");
    QTest::addColumn<std::string>("ip");
    QTest::addColumn<int>("port");

    QTest::newRow("address and port")
        << std::string("192.0.2.10:5961") << std::string("192.0.2.10") << 5961;
    QTest::newRow("no colon") << std::string("192.0.2.10") << std::string("192.0.2.10") << 0;
    QTest::newRow("scheme") << std::string("tcp://192.0.2.10:5961") << std::string("192.0.2.10")
                            << 5961;
    QTest::newRow("scheme, no port") << std::string("udp://cam1") << std::string("cam1") << 0;
    QTest::newRow("only the first scheme dropped")
        << std::string("a://b://c:1") << std::string("b") << 0;
    QTest::newRow("empty port") << std::string("192.0.2.10:") << std::string("192.0.2.10") << 0;
    QTest::newRow("highest port") << std::string("192.0.2.10:65535") << std::string("192.0.2.10")
                                  << 65535;
    QTest::newRow("port too big") << std::string("192.0.2.10:65536") << std::string("192.0.2.10")
                                  << 0;
    QTest::newRow("huge port") << std::string("192.0.2.10:18446744073709551617")
                               << std::string("192.0.2.10") << 0;
    QTest::newRow("leading zeros")
        << std::string("192.0.2.10:0000080") << std::string("192.0.2.10") << 80;
    QTest::newRow("trailing junk")
        << std::string("192.0.2.10:59x") << std::string("192.0.2.10") << 0;
    QTest::newRow("negative") << std::string("192.0.2.10:-1") << std::string("192.0.2.10") << 0;
    QTest::newRow("space before port")
        << std::string("192.0.2.10: 5961") << std::string("192.0.2.10") << 0;
    QTest::newRow("second colon") << std::string("192.0.2.10:5961:7") << std::string("192.0.2.10")
                                  << 0;
    QTest::newRow("empty") << std::string() << std::string() << 0;
}

void TestSourceNames::splitUrlAddress()
{
    QFETCH(std::string, url);
    QFETCH(std::string, ip);
    QFETCH(int, port);
    std::string ipAddress = "old";
    uint16_t parsedPort = 1234;
    ::splitUrlAddress(url, ipAddress, parsedPort);
    QCOMPARE(ipAddress, ip);
    QCOMPARE(int(parsedPort), port);
}

void TestSourceNames::nullTextsReadAsEmpty()
{
    const NDISourceInfo info = makeSourceInfo(nullptr, nullptr);
    QCOMPARE(info.machineName, std::string());
    QCOMPARE(info.streamName, std::string());
    QCOMPARE(info.ipAddress, std::string());
    QCOMPARE(int(info.port), 0);
}

int runSourceNameTests(int argc, char **argv)
{
    TestSourceNames test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sourcenames.moc"
