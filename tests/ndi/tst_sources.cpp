// Splitting NDI names and URL addresses, and the store's half that keeps discovered sources.
#include "sourcetesting.h"
#include "store/cameradatastore.h"
#include "store/ndisourcename.h"

#include <QtTest>

#include <thread>

namespace {

using S = std::string;
using Names = std::vector<std::string>;

NDISourceInfo source(const S &machine, const S &stream, const S &ip = "192.0.2.1",
                     uint16_t port = 5961)
{
    return NDISourceInfo{machine, stream, ip, port};
}

Names displayNames(const std::vector<NDISourceInfo> &sources)
{
    Names names;
    for (const NDISourceInfo &s : sources)
        names.push_back(s.machineName + "(" + s.streamName + ")");
    return names;
}

std::vector<NDISourceInfo> takeNew(bool &changed)
{
    std::vector<NDISourceInfo> sources{source("stale", "entry")};
    CameraDataStore::instance().takeNewSources(sources, changed);
    return sources;
}

} // namespace

Q_DECLARE_METATYPE(Names)
Q_DECLARE_METATYPE(std::vector<NDISourceInfo>)

class TestSources : public QObject
{
    Q_OBJECT

private slots:
    void init() { CameraDataStore::instance().resetForTests(); }

    void splitSourceName_data()
    {
        QTest::addColumn<S>("ndiName");
        QTest::addColumn<S>("machine");
        QTest::addColumn<S>("stream");
        auto row = [](const char *tag, const char *name, const char *machine, const char *stream) {
            QTest::newRow(tag) << S(name) << S(machine) << S(stream);
        };
        row("usual", "STUDIO-PC (PTZ Camera 1)", "STUDIO-PC", "PTZ Camera 1");
        row("nested", "A (B (C))", "A", "B (C)");
        row("first open, last close", "HOST (A) (B)", "HOST", "A) (B");
        row("no parentheses", "LONE", "LONE", "");
        row("open only", "HOST (cam", "HOST (cam", "");
        row("close only", "HOST cam)", "HOST cam)", "");
        row("close before open", "A)B( C ", "A)B", "C");
        row("empty stream", "HOST ()", "HOST", "");
        row("empty machine", "(Cam 2)", "(Cam 2)", "Cam 2");
        row("machine only white space", " \t(Cam)", " \t(Cam)", "Cam");
        row("six white-space characters", "HOST \t\n\v\f\r(\r\f\v\n\t Cam 3 \t\n\v\f\r)", "HOST",
            "Cam 3");
        row("leading space of machine kept", "  HOST (A)", "  HOST", "A");
        row("no-break space is not white space", "HOST\xc2\xa0(A\xc2\xa0)", "HOST\xc2\xa0",
            "A\xc2\xa0");
        row("empty name", "", "", "");
    }
    void splitSourceName()
    {
        QFETCH(S, ndiName);
        QFETCH(S, machine);
        QFETCH(S, stream);
        S machineName = "old";
        S streamName = "old";
        ::splitSourceName(ndiName, machineName, streamName);
        QCOMPARE(machineName, machine);
        QCOMPARE(streamName, stream);
    }

    void splitUrlAddress_data()
    {
        QTest::addColumn<S>("url");
        QTest::addColumn<S>("ip");
        QTest::addColumn<int>("port");
        auto row = [](const char *tag, const char *url, const char *ip, int port) {
            QTest::newRow(tag) << S(url) << S(ip) << port;
        };
        const char *ip = "192.0.2.10";
        row("address and port", "192.0.2.10:5961", ip, 5961);
        row("no colon", "192.0.2.10", ip, 0);
        row("scheme", "tcp://192.0.2.10:5961", ip, 5961);
        row("scheme, no port", "udp://cam1", "cam1", 0);
        row("only the first scheme dropped", "a://b://c:1", "b", 0);
        row("empty port", "192.0.2.10:", ip, 0);
        row("highest port", "192.0.2.10:65535", ip, 65535);
        row("port too big", "192.0.2.10:65536", ip, 0);
        row("huge port", "192.0.2.10:18446744073709551617", ip, 0);
        row("leading zeros", "192.0.2.10:0000080", ip, 80);
        row("trailing junk", "192.0.2.10:59x", ip, 0);
        row("negative", "192.0.2.10:-1", ip, 0);
        row("space before port", "192.0.2.10: 5961", ip, 0);
        row("second colon", "192.0.2.10:5961:7", ip, 0);
        row("empty", "", "", 0);
    }
    void splitUrlAddress()
    {
        QFETCH(S, url);
        QFETCH(S, ip);
        QFETCH(int, port);
        S ipAddress = "old";
        uint16_t parsedPort = 1234;
        ::splitUrlAddress(url, ipAddress, parsedPort);
        QCOMPARE(ipAddress, ip);
        QCOMPARE(int(parsedPort), port);
    }

    void nullTextsReadAsEmpty()
    {
        QCOMPARE(describe(makeSourceInfo(nullptr, nullptr)), S("()@:0"));
    }

    void knownSourcesOrder_data()
    {
        QTest::addColumn<std::vector<NDISourceInfo>>("published");
        QTest::addColumn<Names>("expected");
        QTest::newRow("byte order, capitals first")
            << std::vector<NDISourceInfo>{source("b", "1"), source("B", "1"), source("a", "2")}
            << Names{"B(1)", "a(2)", "b(1)"};
        QTest::newRow("shorter prefix first")
            << std::vector<NDISourceInfo>{source("CAM", "10"), source("CAM", "1"), source("CA", "")}
            << Names{"CA()", "CAM(1)", "CAM(10)"};
        QTest::newRow("high bytes after ASCII")
            << std::vector<NDISourceInfo>{source("\xc3\xa9t\xc3\xa9", "x"), source("zulu", "x")}
            << Names{"zulu(x)", "\xc3\xa9t\xc3\xa9(x)"};
        QTest::newRow("same concatenation, shorter machine first")
            << std::vector<NDISourceInfo>{source("AB", "C"), source("A", "BC"), source("ABC", "")}
            << Names{"A(BC)", "AB(C)", "ABC()"};
        QTest::newRow("address takes no part")
            << std::vector<NDISourceInfo>{source("H", "S", "192.0.2.2", 1),
                                          source("H", "S", "192.0.2.1", 2)}
            << Names{"H(S)"};
    }
    void knownSourcesOrder()
    {
        QFETCH(std::vector<NDISourceInfo>, published);
        QFETCH(Names, expected);
        CameraDataStore::instance().publishSources(published);
        std::set<NDISourceInfo> known{source("stale", "entry")};
        CameraDataStore::instance().copyKnownSources(known);
        QCOMPARE(displayNames({known.begin(), known.end()}), expected);
    }

    void newSourcesQueuedOnce()
    {
        CameraDataStore &store = CameraDataStore::instance();
        store.publishSources({source("Z", "1")});
        bool changed = false;
        QCOMPARE(displayNames(takeNew(changed)), Names{"Z(1)"});
        QVERIFY(changed);

        // Queue order is arrival order, not the set's order; a known source is not queued again.
        store.publishSources(
            {source("Y", "1"), source("Z", "1"), source("X", "1"), source("Y", "1")});
        QCOMPARE(displayNames(takeNew(changed)), (Names{"Y(1)", "X(1)"}));
        QVERIFY(changed);

        QVERIFY(takeNew(changed).empty());
        QVERIFY(!changed);

        store.publishSources({source("X", "1")});
        QVERIFY(takeNew(changed).empty());
        QVERIFY(!changed);
    }

    void findSourceAddress_data()
    {
        QTest::addColumn<S>("machine");
        QTest::addColumn<S>("stream");
        QTest::addColumn<bool>("found");
        QTest::addColumn<S>("address"); // "untouched:77" when not found
        QTest::newRow("known") << S("STUDIO") << S("CAM 1") << true << S("192.0.2.10:5961");
        QTest::newRow("port 0") << S("BARE") << S() << true << S("192.0.2.11:0");
        QTest::newRow("unknown stream") << S("STUDIO") << S("CAM 2") << false << S("untouched:77");
        QTest::newRow("same concatenation, other split")
            << S("STUDIOC") << S("AM 1") << true << S("192.0.2.12:5962");
        QTest::newRow("same concatenation, unknown split")
            << S("STUDI") << S("OCAM 1") << false << S("untouched:77");
        QTest::newRow("case matters") << S("studio") << S("CAM 1") << false << S("untouched:77");
    }
    void findSourceAddress()
    {
        QFETCH(S, machine);
        QFETCH(S, stream);
        QFETCH(bool, found);
        QFETCH(S, address);
        CameraDataStore &store = CameraDataStore::instance();
        // The second publication of STUDIO(CAM 1) elsewhere does not move it.
        store.publishSources({source("STUDIO", "CAM 1", "192.0.2.10", 5961),
                              source("BARE", "", "192.0.2.11", 0),
                              source("STUDIOC", "AM 1", "192.0.2.12", 5962)});
        store.publishSources({source("STUDIO", "CAM 1", "192.0.2.99", 6000)});
        S ip = "untouched";
        uint16_t port = 77;
        QCOMPARE(store.findSourceAddress(machine, stream, ip, port), found);
        QCOMPARE(ip + ":" + std::to_string(port), address);
        bool changed = false;
        QCOMPARE(takeNew(changed).size(), size_t(3));
    }

    // Workers publish while the GUI thread drains: every source comes out exactly once.
    void concurrentPublishAndTake()
    {
        const int perThread = 300;
        std::vector<std::thread> publishers;
        for (int t = 0; t < 3; ++t) {
            publishers.emplace_back([t] {
                for (int i = 0; i < perThread; ++i) {
                    const S stream = std::to_string(i);
                    CameraDataStore::instance().publishSources(
                        {source("T" + std::to_string(t), stream), source("shared", stream)});
                }
            });
        }
        std::multiset<S> taken;
        auto drain = [&taken] {
            bool changed = false;
            for (const S &name : displayNames(takeNew(changed)))
                taken.insert(name);
        };
        for (int i = 0; i < 200; ++i)
            drain();
        for (std::thread &publisher : publishers)
            publisher.join();
        drain();
        QCOMPARE(taken.size(), size_t(4 * perThread));
        for (const S &name : taken)
            QCOMPARE(taken.count(name), size_t(1));
    }
};

int runSourceTests(int argc, char **argv)
{
    TestSources test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sources.moc"
