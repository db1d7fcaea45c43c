#include "ndi/ndilib.h"
#include "ndi/ndisourcefinder.h"
#include "ndi/previewreceiver.h"
#include "store/cameradatastore.h"
#include "store/ndisourcename.h"
#include "support/testndiruntime.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <dlfcn.h>
#include <thread>

using Build = TestNdiRuntime::Build;
using S = std::string;
using Names = std::vector<S>;
Q_DECLARE_METATYPE(std::string)

// Failed comparisons of std::string show both texts.
namespace QTest {
template<>
inline char *toString(const std::string &text)
{
    return QTest::toString(QByteArray::fromStdString(text));
}
} // namespace QTest

namespace {
// A whole source as one text, "machine(stream)@address:port", so one comparison checks it all.
S describe(const NDISourceInfo &s)
{
    return s.machineName + "(" + s.streamName + ")@" + s.ipAddress + ":" + std::to_string(s.port);
}

// Every entry point answers without a runtime as if nothing were there.
void verifyInert()
{
    const NdiFindCreateSettings findSettings{true, nullptr, nullptr};
    QVERIFY(!NDIlib_find_create_v2(&findSettings));
    const NdiRecvCreateSettings recvSettings{};
    QVERIFY(!NDIlib_recv_create_v3(&recvSettings));
    NdiVideoFrame frame{};
    QCOMPARE(NDIlib_recv_capture_v2(nullptr, &frame, nullptr, nullptr, 0), NdiFrameTypeNone);
    NDIlib_recv_free_video_v2(nullptr, &frame);
    NDIlib_destroy();
}
} // namespace

// Discovered names, the runtime loader and discovery.
class TestNdi : public QObject
{
    Q_OBJECT

    Names found;

    // Every source discovery has published so far, described.
    const Names &published()
    {
        std::vector<NDISourceInfo> more;
        bool changed = false;
        CameraDataStore::instance().takeNewSources(more, changed);
        for (const NDISourceInfo &source : more)
            found.push_back(describe(source));
        return found;
    }

private slots:
    void init()
    {
        CameraDataStore::instance().resetForTests();
        found.clear();
        TestNdiRuntime::pointLoaderAt(Build::Complete);
    }
    void cleanup()
    {
        NDISourceFinder::instance().stop();
        NDIlib_destroy();
    }

    // Each row splits one odd name and one odd address; a null text reads as empty.
    void splitsOddNamesAndAddresses_data()
    {
        QTest::addColumn<QByteArray>("ndiName");
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<S>("expected");
        auto row = [](const char *tag, const char *name, const char *url, const char *expected) {
            QTest::newRow(tag) << QByteArray(name) << QByteArray(url) << S(expected);
        };
        row("usual", "STUDIO-PC (PTZ Camera 1)", "192.0.2.10:5961",
            "STUDIO-PC(PTZ Camera 1)@192.0.2.10:5961");
        row("nested; scheme", "A (B (C))", "tcp://h:5961", "A(B (C))@h:5961");
        row("first open, last close; no port", "HOST (A) (B)", "h", "HOST(A) (B)@h:0");
        row("no parentheses; highest port", "LONE", "h:65535", "LONE()@h:65535");
        row("open only; port too big", "HOST (cam", "h:65536", "HOST (cam()@h:0");
        row("close only; huge port", "HOST cam)", "h:18446744073709551617", "HOST cam)()@h:0");
        row("close before open; leading zeros", "A)B( C ", "h:0000080", "A)B(C)@h:80");
        row("empty stream; trailing junk", "HOST ()", "h:59x", "HOST()@h:0");
        row("empty machine; negative port", "(Cam 2)", "h:-1", "(Cam 2)(Cam 2)@h:0");
        row("six white-space characters; second colon",
            "HOST \t\n\v\f\r(\r\f\v\n\t Cam 3 \t\n\v\f\r)", "h:5961:7", "HOST(Cam 3)@h:0");
        row("no-break space is no white space; one scheme dropped", "HOST\xc2\xa0(A\xc2\xa0)",
            "a://b://c:1", "HOST\xc2\xa0(A\xc2\xa0)@b:0");
        QTest::newRow("null texts") << QByteArray() << QByteArray() << S("()@:0");
    }
    void splitsOddNamesAndAddresses()
    {
        QFETCH(QByteArray, ndiName);
        QFETCH(QByteArray, url);
        QFETCH(S, expected);
        QCOMPARE(describe(makeSourceInfo(ndiName.isNull() ? nullptr : ndiName.constData(),
                                         url.isNull() ? nullptr : url.constData())),
                 expected);
    }

    // No runtime, one lacking a function (refused before its initialise is called) or one whose
    // initialise fails: NDI is unavailable, and a refused runtime is unloaded again.
    void unavailable_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<int>("initializeCalls");
        QTest::newRow("none") << "none" << 0;
        QTest::newRow("missing symbol") << "missing symbol" << 0;
        QTest::newRow("initialise fails") << "initialise fails" << 1;
    }
    void unavailable()
    {
        QFETCH(QString, runtime);
        QFETCH(int, initializeCalls);
        if (runtime == "none") {
            if (TestNdiRuntime::systemRuntimeInstalled())
                QSKIP("an NDI runtime is installed on the library search path");
            TestNdiRuntime::pointLoaderNowhere();
            QVERIFY(!NDIlib_initialize());
            verifyInert();
            return;
        }
        const Build build = runtime == "missing symbol" ? Build::MissingFreeVideo : Build::Complete;
        TestNdiRuntime::pointLoaderAt(build);
        {
            TestNdiRuntime wrapper(build);
            wrapper.setInitializeResult(runtime != "initialise fails");
            QVERIFY(!NDIlib_initialize());
            QCOMPARE(wrapper.count(TestNdiInitializeCalls), initializeCalls);
            verifyInert();
            QCOMPARE(wrapper.count(TestNdiDestroyCalls) + wrapper.count(TestNdiMisuses), 0);
        }
        QVERIFY(!TestNdiRuntime::isResident(build));
    }

    // Shutdown destroys NDI while a video thread may still be capturing: the runtime must not go
    // away under that call, later calls are answered without it, and a new initialise loads it
    // afresh. Our forwarders stay hidden, or the runtime's calls to its own functions could land
    // in them.
    void destroyWaitsForCallInsideThenReloads()
    {
        {
            TestNdiRuntime runtime;
            QVERIFY(NDIlib_initialize() && NDIlib_initialize());
            QCOMPARE(runtime.count(TestNdiInitializeCalls), 1);
            for (const char *name : {"NDIlib_initialize", "NDIlib_recv_capture_v2"})
                QVERIFY2(!dlsym(RTLD_DEFAULT, name), name);
            NdiReceiverHandle receiver = openPreviewReceiver("HOST (CAM)", "192.0.2.5:5961");
            QVERIFY(receiver);
            std::atomic<bool> captureCalled{false};
            std::thread capturer([&] {
                NdiVideoFrame frame{};
                captureCalled = true;
                NDIlib_recv_capture_v2(receiver, &frame, nullptr, nullptr, 1000);
            });
            while (!captureCalled)
                std::this_thread::yield();
            QTest::qWait(50);
            NDIlib_destroy();
            capturer.join(); // before any check, so that a failure cannot leave it joinable
            QCOMPARE(runtime.count(TestNdiDestroyCalls), 1);
            NdiVideoFrame frame{};
            QCOMPARE(NDIlib_recv_capture_v2(receiver, &frame, nullptr, nullptr, 2000),
                     NdiFrameTypeNone);
            NDIlib_recv_destroy(receiver);
            QCOMPARE(runtime.count(TestNdiMisuses), 0);
        }
        QVERIFY(!TestNdiRuntime::isResident(Build::Complete));
        QVERIFY(NDIlib_initialize());
        QVERIFY(TestNdiRuntime::isResident(Build::Complete));
    }

    // The runtime connects a receiver to the source of the name it is given, so a discovered
    // source must be opened by its own name, not by the "MACHINE(STREAM)" the program shows.
    void receiverOpensTheDiscoveredName_data()
    {
        QTest::addColumn<S>("asked");
        QTest::addColumn<S>("url");
        QTest::addColumn<S>("expected"); // "NDI name|URL address" given to the runtime
        auto row = [](const char *tag, const char *asked, const char *url, const char *expected) {
            QTest::newRow(tag) << S(asked) << S(url) << S(expected);
        };
        row("display name", "HOST(CAM)", "192.0.2.5:5961", "HOST (CAM)|tcp://192.0.2.5:5961");
        row("name as discovered", "STUDIO(CAM 2)", "", "STUDIO\t( CAM 2 )|192.0.2.6:5961");
        row("same concatenation", "PC(10)", "192.0.2.7:5961", "PC (10)|192.0.2.8:5961");
        row("never discovered", "GHOST(X)", "", "GHOST (X)|");
    }
    void receiverOpensTheDiscoveredName()
    {
        QFETCH(S, asked);
        QFETCH(S, url);
        QFETCH(S, expected);
        CameraDataStore::instance().publishSources(
            {makeSourceInfo("HOST (CAM)", "tcp://192.0.2.5:5961"),
             makeSourceInfo("STUDIO\t( CAM 2 )", "192.0.2.6:5961"),
             makeSourceInfo("PC1 (0)", "192.0.2.7:5961"),
             makeSourceInfo("PC (10)", "192.0.2.8:5961")});
        TestNdiRuntime runtime;
        QVERIFY(NDIlib_initialize());
        NdiReceiverHandle receiver =
            openPreviewReceiver(asked.c_str(), url.empty() ? nullptr : url.c_str());
        QVERIFY(receiver);
        TestNdiReceiverSettings settings{};
        QVERIFY(runtime.lastReceiverSettings(settings));
        QCOMPARE(S(settings.ndiName) + "|" + settings.urlAddress, expected);
        QCOMPARE(settings.bandwidth, int32_t(NdiBandwidthLowest));
        NDIlib_recv_destroy(receiver);
    }

    // The list present before the finder existed is never reported as a change: only the first
    // pass's fetch publishes it. A later change is picked up; a source that leaves stays known.
    void discoveryPublishesFirstListAndChanges()
    {
        TestNdiRuntime runtime;
        QVERIFY(NDIlib_initialize());
        runtime.setSources({{"STUDIO-PC (PTZ Camera 1)", "192.0.2.10:5961"}});
        QVERIFY(NDISourceFinder::instance().start());
        QVERIFY(!NDISourceFinder::instance().start());
        QTRY_COMPARE(published(), Names{"STUDIO-PC(PTZ Camera 1)@192.0.2.10:5961"});
        runtime.setSources({{"STUDIO-PC (PTZ Camera 1)", "192.0.2.10:5961"}, {"B (2)", "b:2"}});
        QTRY_COMPARE(published(), (Names{"STUDIO-PC(PTZ Camera 1)@192.0.2.10:5961", "B(2)@b:2"}));
        runtime.setSources({});
        QTRY_VERIFY(runtime.count(TestNdiSourceFetches) >= 3);
        std::set<NDISourceInfo> known;
        CameraDataStore::instance().copyKnownSources(known);
        QCOMPARE(known.size(), size_t(2));
        QCOMPARE(runtime.count(TestNdiFindersCreated), 1);
    }

    // Closing the program waits for stop: it must not wait out a worker's one-second wait on a
    // quiet network, nor the pause of a worker that has no finder.
    void discoveryStopsPromptly_data()
    {
        QTest::addColumn<QString>("network");
        QTest::newRow("quiet network") << "quiet";
        QTest::newRow("runtime refuses the finder") << "refused";
        QTest::newRow("NDI not initialised") << "no NDI";
    }
    void discoveryStopsPromptly()
    {
        QFETCH(QString, network);
        const bool finder = network == "quiet";
        TestNdiRuntime runtime;
        if (network != "no NDI")
            QVERIFY(NDIlib_initialize());
        runtime.setBlockingWaits(true);
        runtime.setRefuseFinders(!finder);
        runtime.setSources({{"UNSEEN (1)", "192.0.2.4:5961"}});
        QVERIFY(NDISourceFinder::instance().start());
        QTest::qWait(300);
        QElapsedTimer timer;
        timer.start();
        NDISourceFinder::instance().stop();
        QVERIFY2(timer.elapsed() < 500, QByteArray::number(timer.elapsed()));
        QCOMPARE(runtime.count(TestNdiFindersDestroyed), int(finder));
        QCOMPARE(runtime.count(TestNdiSourceFetches), int(finder));
        const int waits = runtime.count(TestNdiSourceWaits);
        QTest::qWait(150); // no worker is left to wait
        QCOMPARE(runtime.count(TestNdiSourceWaits), waits);
        QCOMPARE(runtime.count(TestNdiMisuses), 0);
    }
};

QTEST_GUILESS_MAIN(TestNdi)
#include "tst_ndi.moc"
