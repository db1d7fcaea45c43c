#include "ndi/ndilib.h"
#include "ndi/ndisourcefinder.h"
#include "stdstringtesting.h"
#include "store/cameradatastore.h"
#include "support/testndiruntime.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

std::vector<NDISourceInfo> takeNew()
{
    std::vector<NDISourceInfo> sources;
    bool changed = false;
    CameraDataStore::instance().takeNewSources(sources, changed);
    return sources;
}

// Collects what discovery publishes until `count` new sources have arrived or time is up.
std::vector<NDISourceInfo> waitForNew(size_t count, int timeoutMs = 3000)
{
    std::vector<NDISourceInfo> found;
    QElapsedTimer timer;
    timer.start();
    while (found.size() < count && timer.elapsed() < timeoutMs) {
        const std::vector<NDISourceInfo> more = takeNew();
        found.insert(found.end(), more.begin(), more.end());
        QTest::qWait(10);
    }
    return found;
}

// Stop must come back once the worker's current one-second wait ends.
const qint64 stopLimitMs = 1500;

} // namespace

class TestSourceFinder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstPassPublishesAtOnce();
    void laterChangePickedUp();
    void emptyListPublishesNothing();
    void startTwiceRefused();
    void stopJoinsAndDestroysFinders();
    void restartsAfterStop();
    void withoutFinders_data();
    void withoutFinders();

private:
    std::unique_ptr<TestNdiRuntime> runtime;
};

void TestSourceFinder::init()
{
    CameraDataStore::instance().resetForTests();
    TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
    runtime = std::make_unique<TestNdiRuntime>();
    QVERIFY(runtime->isLoaded());
    QVERIFY(NDIlib_initialize());
}

void TestSourceFinder::cleanup()
{
    NDISourceFinder::instance().stop();
    NDIlib_destroy();
    runtime.reset();
}

void TestSourceFinder::firstPassPublishesAtOnce()
{
    // The finder is created after the list was set, so no change is ever reported for it:
    // only the first pass's unconditional fetch can publish these.
    runtime->setSources(
        {{"STUDIO-PC (PTZ Camera 1)", "192.0.2.10:5961"}, {"LONE", "tcp://192.0.2.11"}});
    QVERIFY(NDISourceFinder::instance().start());
    const std::vector<NDISourceInfo> found = waitForNew(2);
    QCOMPARE(found.size(), size_t(2));
    QCOMPARE(found[0].machineName, std::string("STUDIO-PC"));
    QCOMPARE(found[0].streamName, std::string("PTZ Camera 1"));
    QCOMPARE(found[0].ipAddress, std::string("192.0.2.10"));
    QCOMPARE(int(found[0].port), 5961);
    QCOMPARE(found[1].machineName, std::string("LONE"));
    QCOMPARE(found[1].ipAddress, std::string("192.0.2.11"));
    QCOMPARE(int(found[1].port), 0);

    TestNdiFinderSettings settings{};
    QVERIFY(runtime->lastFinderSettings(settings));
    QVERIFY(settings.showLocalSources);
    QVERIFY(settings.groupsNull);
    QVERIFY(settings.extraIpsNull);
}

void TestSourceFinder::laterChangePickedUp()
{
    runtime->setSources({{"A (1)", "192.0.2.1:5961"}});
    QVERIFY(NDISourceFinder::instance().start());
    QCOMPARE(waitForNew(1).size(), size_t(1));

    runtime->setSources({{"A (1)", "192.0.2.1:5961"}, {"B (2)", "192.0.2.2:5962"}});
    const std::vector<NDISourceInfo> found = waitForNew(1);
    QCOMPARE(found.size(), size_t(1));
    QCOMPARE(found[0].machineName, std::string("B"));

    // A source that leaves the network stays known.
    runtime->setSources({});
    QTRY_VERIFY_WITH_TIMEOUT(runtime->count(TestNdiSourceFetches) >= 3, 3000);
    std::set<NDISourceInfo> known;
    CameraDataStore::instance().copyKnownSources(known);
    QCOMPARE(known.size(), size_t(2));
}

void TestSourceFinder::emptyListPublishesNothing()
{
    QVERIFY(NDISourceFinder::instance().start());
    QTRY_VERIFY_WITH_TIMEOUT(runtime->count(TestNdiSourceFetches) >= 1, 3000);
    std::vector<NDISourceInfo> sources;
    bool changed = true;
    CameraDataStore::instance().takeNewSources(sources, changed);
    QVERIFY(sources.empty());
    QVERIFY(!changed);
}

void TestSourceFinder::startTwiceRefused()
{
    QVERIFY(NDISourceFinder::instance().start());
    QVERIFY(!NDISourceFinder::instance().start());
    QCOMPARE(runtime->count(TestNdiFindersCreated), 1);
}

void TestSourceFinder::stopJoinsAndDestroysFinders()
{
    QVERIFY(NDISourceFinder::instance().start());
    // Let the worker settle into its one-second wait.
    QTRY_VERIFY_WITH_TIMEOUT(runtime->count(TestNdiSourceWaits) >= 1, 3000);
    QElapsedTimer timer;
    timer.start();
    NDISourceFinder::instance().stop();
    QVERIFY2(timer.elapsed() < stopLimitMs, QByteArray::number(timer.elapsed()));
    QCOMPARE(runtime->count(TestNdiFindersCreated), 1);
    QCOMPARE(runtime->count(TestNdiFindersDestroyed), 1);

    // No worker touches the runtime any more, and a second stop does nothing.
    const int waits = runtime->count(TestNdiSourceWaits);
    NDISourceFinder::instance().stop();
    QTest::qWait(100);
    QCOMPARE(runtime->count(TestNdiSourceWaits), waits);
    QCOMPARE(runtime->count(TestNdiFindersDestroyed), 1);
    QCOMPARE(runtime->count(TestNdiMisuses), 0);
}

void TestSourceFinder::restartsAfterStop()
{
    QVERIFY(NDISourceFinder::instance().start());
    NDISourceFinder::instance().stop();
    runtime->setSources({{"AGAIN (1)", "192.0.2.3:5961"}});
    QVERIFY(NDISourceFinder::instance().start());
    QCOMPARE(waitForNew(1).size(), size_t(1));
    QCOMPARE(runtime->count(TestNdiFindersCreated), 2);
}

void TestSourceFinder::withoutFinders_data()
{
    QTest::addColumn<bool>("ndiInitialized");
    QTest::newRow("runtime refuses the finder") << true;
    QTest::newRow("NDI not initialised") << false;
}

// With no finder to wait on the worker must neither spin nor hold up stop.
void TestSourceFinder::withoutFinders()
{
    QFETCH(bool, ndiInitialized);
    runtime->setRefuseFinders(true);
    if (!ndiInitialized)
        NDIlib_destroy();
    runtime->setSources({{"UNSEEN (1)", "192.0.2.4:5961"}});
    QVERIFY(NDISourceFinder::instance().start());
    QTest::qWait(300);
    QElapsedTimer timer;
    timer.start();
    NDISourceFinder::instance().stop();
    QVERIFY2(timer.elapsed() < stopLimitMs, QByteArray::number(timer.elapsed()));
    QVERIFY(takeNew().empty());
    QCOMPARE(runtime->count(TestNdiSourceFetches), 0);
    QCOMPARE(runtime->count(TestNdiFindersDestroyed), 0);
    QCOMPARE(runtime->count(TestNdiMisuses), 0);
}

int runSourceFinderTests(int argc, char **argv)
{
    TestSourceFinder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sourcefinder.moc"
