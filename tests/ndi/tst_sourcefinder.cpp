#include "ndi/ndilib.h"
#include "ndi/ndisourcefinder.h"
#include "sourcetesting.h"
#include "store/cameradatastore.h"
#include "support/testndiruntime.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

std::vector<NDISourceInfo> takeNew(bool *changed = nullptr)
{
    std::vector<NDISourceInfo> sources;
    bool anyChange = false;
    CameraDataStore::instance().takeNewSources(sources, anyChange);
    if (changed)
        *changed = anyChange;
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

// Closing the program waits for stop: it must not wait out a worker's one-second wait.
const qint64 stopLimitMs = 500;

} // namespace

class TestSourceFinder : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestNdiRuntime> runtime;

    void stopPromptly()
    {
        QElapsedTimer timer;
        timer.start();
        NDISourceFinder::instance().stop();
        QVERIFY2(timer.elapsed() < stopLimitMs, QByteArray::number(timer.elapsed()));
    }

private slots:
    void init()
    {
        CameraDataStore::instance().resetForTests();
        TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
        runtime = std::make_unique<TestNdiRuntime>();
        QVERIFY(runtime->isLoaded());
        QVERIFY(NDIlib_initialize());
    }
    void cleanup()
    {
        NDISourceFinder::instance().stop();
        NDIlib_destroy();
        runtime.reset();
    }

    void firstPassPublishesAtOnce()
    {
        // The finder is created after the list was set, so no change is ever reported for it:
        // only the first pass's unconditional fetch can publish these.
        runtime->setSources(
            {{"STUDIO-PC (PTZ Camera 1)", "192.0.2.10:5961"}, {"LONE", "tcp://192.0.2.11"}});
        QVERIFY(NDISourceFinder::instance().start());
        const std::vector<NDISourceInfo> found = waitForNew(2);
        QCOMPARE(found.size(), size_t(2));
        QCOMPARE(describe(found[0]), std::string("STUDIO-PC(PTZ Camera 1)@192.0.2.10:5961"));
        QCOMPARE(describe(found[1]), std::string("LONE()@192.0.2.11:0"));

        TestNdiFinderSettings settings{};
        QVERIFY(runtime->lastFinderSettings(settings));
        QVERIFY(settings.showLocalSources);
        QVERIFY(settings.groupsNull);
        QVERIFY(settings.extraIpsNull);
    }

    void laterChangePickedUp()
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

    void emptyListPublishesNothing()
    {
        QVERIFY(NDISourceFinder::instance().start());
        QTRY_VERIFY_WITH_TIMEOUT(runtime->count(TestNdiSourceFetches) >= 1, 3000);
        bool changed = true;
        QVERIFY(takeNew(&changed).empty());
        QVERIFY(!changed);
    }

    void startTwiceRefusedRestartAfterStop()
    {
        QVERIFY(NDISourceFinder::instance().start());
        QVERIFY(!NDISourceFinder::instance().start());
        QCOMPARE(runtime->count(TestNdiFindersCreated), 1);
        NDISourceFinder::instance().stop();
        runtime->setSources({{"AGAIN (1)", "192.0.2.3:5961"}});
        QVERIFY(NDISourceFinder::instance().start());
        QCOMPARE(waitForNew(1).size(), size_t(1));
        QCOMPARE(runtime->count(TestNdiFindersCreated), 2);
    }

    void stopJoinsAndDestroysFinders()
    {
        // A quiet network: every wait lasts its whole time-out.
        runtime->setBlockingWaits(true);
        QVERIFY(NDISourceFinder::instance().start());
        QTRY_VERIFY_WITH_TIMEOUT(runtime->count(TestNdiSourceWaits) >= 1, 3000);
        stopPromptly();
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

    // With no finder to wait on the worker must neither spin nor hold up stop.
    void withoutFinders_data()
    {
        QTest::addColumn<bool>("ndiInitialized");
        QTest::newRow("runtime refuses the finder") << true;
        QTest::newRow("NDI not initialised") << false;
    }
    void withoutFinders()
    {
        QFETCH(bool, ndiInitialized);
        runtime->setRefuseFinders(true);
        if (!ndiInitialized)
            NDIlib_destroy();
        runtime->setSources({{"UNSEEN (1)", "192.0.2.4:5961"}});
        QVERIFY(NDISourceFinder::instance().start());
        QTest::qWait(300);
        stopPromptly();
        QVERIFY(takeNew().empty());
        QCOMPARE(runtime->count(TestNdiSourceFetches), 0);
        QCOMPARE(runtime->count(TestNdiFindersDestroyed), 0);
        QCOMPARE(runtime->count(TestNdiMisuses), 0);
    }
};

int runSourceFinderTests(int argc, char **argv)
{
    TestSourceFinder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sourcefinder.moc"
