#include "ndi/ndilib.h"
#include "ndi/previewreceiver.h"
#include "sourcetesting.h"
#include "store/cameradatastore.h"
#include "store/ndisourcename.h"
#include "support/testndiruntime.h"

#include <QtTest>

#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <thread>

using Build = TestNdiRuntime::Build;
Q_DECLARE_METATYPE(Build)

namespace {

// Every entry point answers without a runtime as if nothing were there.
void verifyInert()
{
    NdiFindCreateSettings findSettings{true, nullptr, nullptr};
    QVERIFY(!NDIlib_find_create_v2(&findSettings));
    QVERIFY(!NDIlib_find_wait_for_sources(nullptr, 0));
    uint32_t count = 99;
    QVERIFY(!NDIlib_find_get_current_sources(nullptr, &count));
    QCOMPARE(count, 0u);
    NDIlib_find_destroy(nullptr);
    NdiRecvCreateSettings recvSettings{};
    QVERIFY(!NDIlib_recv_create_v3(&recvSettings));
    NdiVideoFrame frame{};
    frame.width = 7;
    QCOMPARE(NDIlib_recv_capture_v2(nullptr, &frame, nullptr, nullptr, 0), NdiFrameTypeNone);
    QCOMPARE(frame.width, 7);
    NDIlib_recv_free_video_v2(nullptr, &frame);
    NDIlib_recv_destroy(nullptr);
    NDIlib_destroy();
}

} // namespace

class TestNdiLoader : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { NDIlib_destroy(); }

    void noRuntime()
    {
        if (TestNdiRuntime::systemRuntimeInstalled())
            QSKIP("an NDI runtime is installed on the library search path");
        TestNdiRuntime::pointLoaderNowhere();
        QVERIFY(!NDIlib_initialize());
        verifyInert();
    }

    void brokenRuntimeRefused_data()
    {
        QTest::addColumn<Build>("build");
        QTest::addColumn<bool>("initializeSucceeds");
        QTest::addColumn<int>("initializeCalls");

        // A runtime lacking a function is refused before its initialise is ever called.
        QTest::newRow("missing symbol") << Build::MissingFreeVideo << true << 0;
        QTest::newRow("runtime's initialise fails") << Build::Complete << false << 1;
    }
    void brokenRuntimeRefused()
    {
        QFETCH(Build, build);
        QFETCH(bool, initializeSucceeds);
        QFETCH(int, initializeCalls);
        TestNdiRuntime::pointLoaderAt(build);
        {
            TestNdiRuntime runtime(build);
            QVERIFY(runtime.isLoaded());
            runtime.setInitializeResult(initializeSucceeds);
            QVERIFY(!NDIlib_initialize());
            QCOMPARE(runtime.count(TestNdiInitializeCalls), initializeCalls);
            verifyInert();
            QCOMPARE(runtime.count(TestNdiFindersCreated), 0);
            QCOMPARE(runtime.count(TestNdiDestroyCalls), 0);
            QCOMPARE(runtime.count(TestNdiMisuses), 0);
        }
        // The refused runtime was closed again: only the wrapper had kept it loaded.
        QVERIFY(!TestNdiRuntime::isResident(build));
    }

    void forwardsThenUnloads()
    {
        TestNdiRuntime::pointLoaderAt(Build::Complete);
        TestNdiRuntime runtime;
        runtime.setSources({{"HOST (CAM)", "192.0.2.5:5961"}});
        QVERIFY(NDIlib_initialize());
        QVERIFY(NDIlib_initialize()); // a second call keeps the loaded runtime
        QCOMPARE(runtime.count(TestNdiInitializeCalls), 1);

        const NdiFindCreateSettings settings{true, nullptr, nullptr};
        NdiFinderHandle finder = NDIlib_find_create_v2(&settings);
        QVERIFY(finder);
        uint32_t count = 0;
        const NdiSource *sources = NDIlib_find_get_current_sources(finder, &count);
        QCOMPARE(count, 1u);
        QCOMPARE(std::string(sources[0].ndiName) + "|" + sources[0].urlAddress,
                 std::string("HOST (CAM)|192.0.2.5:5961"));
        QVERIFY(!NDIlib_find_wait_for_sources(finder, 0));
        NDIlib_find_destroy(finder);

        NDIlib_destroy();
        QCOMPARE(runtime.count(TestNdiDestroyCalls), 1);
        verifyInert();
        QCOMPARE(runtime.count(TestNdiFindersCreated), 1);
        QCOMPARE(runtime.count(TestNdiFindersDestroyed), 1);
        QCOMPARE(runtime.count(TestNdiMisuses), 0);
    }

    void reloadsAfterDestroy()
    {
        TestNdiRuntime::pointLoaderAt(Build::Complete);
        QVERIFY(NDIlib_initialize());
        QVERIFY(TestNdiRuntime::isResident(Build::Complete));
        NDIlib_destroy();
        QVERIFY(!TestNdiRuntime::isResident(Build::Complete));

        TestNdiRuntime::pointLoaderAt(Build::MissingFreeVideo);
        QVERIFY(!NDIlib_initialize());
        TestNdiRuntime::pointLoaderAt(Build::Complete);
        QVERIFY(NDIlib_initialize());
    }

    // Were our forwarders visible to the dynamic linker, the runtime's calls to its own functions
    // could land in them instead.
    void ownNamesNotExported()
    {
        TestNdiRuntime::pointLoaderAt(Build::Complete);
        QVERIFY(NDIlib_initialize());
        for (const char *name : {"NDIlib_initialize", "NDIlib_find_create_v2",
                                 "NDIlib_recv_capture_v2", "NDIlib_recv_free_video_v2"})
            QVERIFY2(!dlsym(RTLD_DEFAULT, name), name);
    }

    // The runtime connects a receiver to the source of the name it is given, so a discovered
    // source must be opened by its own name, not by the "MACHINE(STREAM)" the program shows.
    void receiverGetsItsFrames_data()
    {
        QTest::addColumn<std::string>("asked");
        QTest::addColumn<std::string>("url");
        QTest::addColumn<std::string>("expected"); // "NDI name|URL address" given to the runtime
        auto row = [](const char *tag, const char *asked, const char *url, const char *expected) {
            QTest::newRow(tag) << std::string(asked) << std::string(url) << std::string(expected);
        };
        row("network name", "HOST (CAM)", "192.0.2.5:5961", "HOST (CAM)|tcp://192.0.2.5:5961");
        row("display name", "HOST(CAM)", "192.0.2.5:5961", "HOST (CAM)|tcp://192.0.2.5:5961");
        row("name as discovered", "STUDIO(CAM 2)", "", "STUDIO\t( CAM 2 )|192.0.2.6:5961");
        row("same concatenation", "PC(10)", "192.0.2.7:5961", "PC (10)|192.0.2.8:5961");
        row("never discovered", "GHOST(X)", "", "GHOST (X)|");
    }
    void receiverGetsItsFrames()
    {
        QFETCH(std::string, asked);
        QFETCH(std::string, url);
        QFETCH(std::string, expected);
        CameraDataStore::instance().resetForTests();
        CameraDataStore::instance().publishSources(
            {makeSourceInfo("HOST (CAM)", "tcp://192.0.2.5:5961"),
             makeSourceInfo("STUDIO\t( CAM 2 )", "192.0.2.6:5961"),
             makeSourceInfo("PC1 (0)", "192.0.2.7:5961"),
             makeSourceInfo("PC (10)", "192.0.2.8:5961")});
        TestNdiRuntime::pointLoaderAt(Build::Complete);
        TestNdiRuntime runtime;
        QVERIFY(NDIlib_initialize());
        NdiReceiverHandle receiver =
            openPreviewReceiver(asked.c_str(), url.empty() ? nullptr : url.c_str());
        QVERIFY(receiver);
        TestNdiReceiverSettings settings{};
        QVERIFY(runtime.lastReceiverSettings(settings));
        QCOMPARE(std::string(settings.ndiName) + "|" + settings.urlAddress, expected);
        QCOMPARE(std::string(settings.receiverName), std::string("NDI_RECEIVER_TESTAPP"));
        QCOMPARE(settings.bandwidth, int32_t(NdiBandwidthLowest));

        // A padded line (stride past width * 4) arrives as pushed; another source's frame does not.
        const QByteArray pixels = TestNdiRuntime::bgrxFrame(3, 2, 16, 1, 2, 3);
        runtime.pushVideoFrame("OTHER (CAM)", 5, 5, 20,
                               TestNdiRuntime::bgrxFrame(5, 5, 20, 0, 0, 0));
        runtime.pushVideoFrame(settings.ndiName, 3, 2, 16, pixels);
        NdiVideoFrame frame{};
        QCOMPARE(NDIlib_recv_capture_v2(receiver, &frame, nullptr, nullptr, 2000),
                 NdiFrameTypeVideo);
        QCOMPARE(QSize(frame.width, frame.height), QSize(3, 2));
        QCOMPARE(frame.lineStrideBytes, 16);
        QCOMPARE(frame.fourCC, NdiFourCCBgrx);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(frame.data), 32), pixels);
        NDIlib_recv_free_video_v2(receiver, &frame);

        QCOMPARE(NDIlib_recv_capture_v2(receiver, &frame, nullptr, nullptr, 0), NdiFrameTypeNone);
        NDIlib_recv_destroy(receiver);
        QCOMPARE(runtime.count(TestNdiFramesCaptured), 1);
        QCOMPARE(runtime.count(TestNdiFramesFreed), 1);
        QCOMPARE(runtime.count(TestNdiReceiversDestroyed), 1);
        QCOMPARE(runtime.count(TestNdiMisuses), 0);
    }

    // Shutdown destroys NDI while video threads may still be capturing: the runtime must not go
    // away under a call, and calls after that are answered without it.
    void destroyWaitsForCallInside()
    {
        TestNdiRuntime runtime;
        runtime.reset();
        TestNdiRuntime::pointLoaderAt(Build::Complete);
        QVERIFY(NDIlib_initialize());
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
        // The runtime counts a destroy that arrives while a capture is still inside it.
        QCOMPARE(runtime.count(TestNdiDestroyCalls), 1);
        QCOMPARE(runtime.count(TestNdiMisuses), 0);
        NdiVideoFrame frame{};
        QCOMPARE(NDIlib_recv_capture_v2(receiver, &frame, nullptr, nullptr, 2000),
                 NdiFrameTypeNone);
        NDIlib_recv_destroy(receiver);
        QCOMPARE(runtime.count(TestNdiMisuses), 0);
    }
};

int runNdiLoaderTests(int argc, char **argv)
{
    TestNdiLoader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ndiloader.moc"
