#include "stdstringtesting.h"
#include "store/cameradatastore.h"

#include <QtTest>

#include <thread>

namespace {

NDISourceInfo source(const std::string &machine, const std::string &stream,
                     const std::string &ip = "192.0.2.1", uint16_t port = 5961)
{
    return NDISourceInfo{machine, stream, ip, port};
}

std::vector<std::string> displayNames(const std::vector<NDISourceInfo> &sources)
{
    std::vector<std::string> names;
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

using Names = std::vector<std::string>;
Q_DECLARE_METATYPE(Names)
Q_DECLARE_METATYPE(std::vector<NDISourceInfo>)

class TestSourceStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { CameraDataStore::instance().resetForTests(); }

    void knownSourcesOrder_data();
    void knownSourcesOrder();
    void firstAddressStays();
    void newSourcesQueuedOnce();
    void findSourceAddress_data();
    void findSourceAddress();
    void concurrentPublishAndTake();
};

void TestSourceStore::knownSourcesOrder_data()
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
    QTest::newRow("same concatenation is the same source")
        << std::vector<NDISourceInfo>{source("AB", "C"), source("A", "BC"), source("ABC", "")}
        << Names{"AB(C)"};
    QTest::newRow("address takes no part")
        << std::vector<NDISourceInfo>{source("H", "S", "192.0.2.2", 1),
                                      source("H", "S", "192.0.2.1", 2)}
        << Names{"H(S)"};
}

void TestSourceStore::knownSourcesOrder()
{
    QFETCH(std::vector<NDISourceInfo>, published);
    QFETCH(Names, expected);
    CameraDataStore::instance().publishSources(published);
    std::set<NDISourceInfo> known{source("stale", "entry")};
    CameraDataStore::instance().copyKnownSources(known);
    QCOMPARE(displayNames({known.begin(), known.end()}), expected);
}

void TestSourceStore::firstAddressStays()
{
    CameraDataStore &store = CameraDataStore::instance();
    store.publishSources({source("HOST", "CAM", "192.0.2.10", 5961)});
    store.publishSources({source("HOST", "CAM", "192.0.2.99", 6000)});
    std::string ip;
    uint16_t port = 0;
    QVERIFY(store.findSourceAddress("HOST", "CAM", ip, port));
    QCOMPARE(ip, std::string("192.0.2.10"));
    QCOMPARE(int(port), 5961);
    bool changed = false;
    QCOMPARE(takeNew(changed).size(), size_t(1));
}

void TestSourceStore::newSourcesQueuedOnce()
{
    CameraDataStore &store = CameraDataStore::instance();
    store.publishSources({source("Z", "1")});
    bool changed = false;
    QCOMPARE(displayNames(takeNew(changed)), Names{"Z(1)"});
    QVERIFY(changed);

    // Queue order is arrival order, not the set's order; a known source is not queued again.
    store.publishSources({source("Y", "1"), source("Z", "1"), source("X", "1"), source("Y", "1")});
    QCOMPARE(displayNames(takeNew(changed)), (Names{"Y(1)", "X(1)"}));
    QVERIFY(changed);

    QVERIFY(takeNew(changed).empty());
    QVERIFY(!changed);

    store.publishSources({source("X", "1")});
    QVERIFY(takeNew(changed).empty());
    QVERIFY(!changed);
}

void TestSourceStore::findSourceAddress_data()
{
    QTest::addColumn<std::string>("machine");
    QTest::addColumn<std::string>("stream");
    QTest::addColumn<bool>("found");
    QTest::addColumn<std::string>("ip");
    QTest::addColumn<int>("port");

    QTest::newRow("known") << std::string("STUDIO") << std::string("CAM 1") << true
                           << std::string("192.0.2.10") << 5961;
    QTest::newRow("port 0") << std::string("BARE") << std::string("") << true
                            << std::string("192.0.2.11") << 0;
    QTest::newRow("unknown stream")
        << std::string("STUDIO") << std::string("CAM 2") << false << std::string("untouched") << 77;
    QTest::newRow("same concatenation, other split")
        << std::string("STUDIOC") << std::string("AM 1") << false << std::string("untouched") << 77;
    QTest::newRow("case matters") << std::string("studio") << std::string("CAM 1") << false
                                  << std::string("untouched") << 77;
}

void TestSourceStore::findSourceAddress()
{
    QFETCH(std::string, machine);
    QFETCH(std::string, stream);
    QFETCH(bool, found);
    QFETCH(std::string, ip);
    QFETCH(int, port);
    CameraDataStore &store = CameraDataStore::instance();
    store.publishSources(
        {source("STUDIO", "CAM 1", "192.0.2.10", 5961), source("BARE", "", "192.0.2.11", 0)});
    std::string ipAddress = "untouched";
    uint16_t foundPort = 77;
    QCOMPARE(store.findSourceAddress(machine, stream, ipAddress, foundPort), found);
    QCOMPARE(ipAddress, ip);
    QCOMPARE(int(foundPort), port);
}

// Workers publish while the GUI thread drains: every source comes out exactly once.
void TestSourceStore::concurrentPublishAndTake()
{
    const int perThread = 300;
    std::vector<std::thread> publishers;
    for (int t = 0; t < 3; ++t) {
        publishers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i) {
                const std::string stream = std::to_string(i);
                CameraDataStore::instance().publishSources(
                    {source("T" + std::to_string(t), stream), source("shared", stream)});
            }
        });
    }
    std::multiset<std::string> taken;
    auto drain = [&taken] {
        bool changed = false;
        for (const std::string &name : displayNames(takeNew(changed)))
            taken.insert(name);
    };
    for (int i = 0; i < 200; ++i)
        drain();
    for (std::thread &publisher : publishers)
        publisher.join();
    drain();
    QCOMPARE(taken.size(), size_t(4 * perThread));
    for (const std::string &name : taken)
        QCOMPARE(taken.count(name), size_t(1));
}

int runSourceStoreTests(int argc, char **argv)
{
    TestSourceStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sourcestore.moc"
