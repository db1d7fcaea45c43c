#include "ndi/ndilib.h"
#include "ndi/previewreceiver.h"
#include "ndi/videostreamthread.h"
#include "support/testndiruntime.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {
struct Emitted
{
    int width;
    int height;
    QByteArray pixels; // copied, the buffer itself is freed at once
    bool null;
};

// Collects what a video thread emits, on the GUI thread as a panel would.
class FrameCollector : public QObject
{
    Q_OBJECT
public:
    std::vector<Emitted> frames;
public slots:
    void take(int width, int height, uint8_t *data)
    {
        const int size = width * height * 4;
        frames.push_back(
            {width, height,
             data ? QByteArray(reinterpret_cast<const char *>(data), size) : QByteArray(),
             data == nullptr});
        delete[] data;
    }
};

} // namespace

class TestVideoStreamThread : public QObject
{
    Q_OBJECT

private:
    TestNdiRuntime runtime;
    NdiReceiverHandle receiver = nullptr;
    std::unique_ptr<VideoStreamThread> thread;
    FrameCollector collector;

    void startThread()
    {
        thread = std::make_unique<VideoStreamThread>(receiver);
        connect(thread.get(), &VideoStreamThread::ResultReady, &collector, &FrameCollector::take);
        thread->start(QThread::InheritPriority);
    }
    void stopThread()
    {
        thread->running = false;
        thread->wait();
        thread.reset();
    }

private slots:
    void initTestCase()
    {
        TestNdiRuntime::pointLoaderAt(TestNdiRuntime::Build::Complete);
        QVERIFY(NDIlib_initialize());
    }
    void cleanupTestCase() { NDIlib_destroy(); }
    void init()
    {
        runtime.reset();
        collector.frames.clear();
        receiver = openPreviewReceiver("CAM (1)", nullptr);
        QVERIFY(receiver);
    }
    void cleanup()
    {
        if (thread)
            stopThread();
        QCoreApplication::sendPostedEvents(&collector, QEvent::MetaCall);
        NDIlib_recv_destroy(receiver);
        QCOMPARE(runtime.count(TestNdiFramesFreed), runtime.count(TestNdiFramesCaptured));
    }

    // Padded lines (stride past width * 4) come out packed.
    void emitsPackedCopies()
    {
        const int stride = 8 * 4 + 20;
        startThread();
        runtime.pushVideoFrame("CAM (1)", 8, 3, stride,
                               TestNdiRuntime::bgrxFrame(8, 3, stride, 0x10, 0x20, 0x30));
        QTRY_VERIFY(!collector.frames.empty());
        const Emitted &frame = collector.frames.front();
        QCOMPARE(frame.width, 8);
        QCOMPARE(frame.height, 3);
        QCOMPARE(frame.pixels, TestNdiRuntime::bgrxFrame(8, 3, 8 * 4, 0x10, 0x20, 0x30));
    }

    // A silent source holds each capture for its whole time-out; closing must not wait it out.
    void stopEndsStreamPromptly()
    {
        runtime.setBlockingWaits(true);
        startThread();
        QTest::qWait(50); // the thread now waits in a capture with no frame coming
        QElapsedTimer clock;
        clock.start();
        thread->running = false;
        QVERIFY(thread->wait(3500));
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        thread.reset();
        QTRY_COMPARE(collector.frames.size(), size_t(1));
        QVERIFY(collector.frames.back().null);
        QCOMPARE(collector.frames.back().width, 0);
    }

    void takesAtMostOneFramePer10ms()
    {
        startThread();
        QElapsedTimer clock;
        clock.start();
        const QByteArray pixels = TestNdiRuntime::bgrxFrame(4, 4, 16, 1, 2, 3);
        while (clock.elapsed() < 300) {
            runtime.pushVideoFrame("CAM (1)", 4, 4, 16, pixels);
            QThread::usleep(500);
        }
        const qint64 elapsed = clock.elapsed();
        stopThread();
        QCoreApplication::sendPostedEvents(&collector, QEvent::MetaCall);
        const size_t frames = collector.frames.size() - 1; // the last is the end of stream
        QVERIFY2(frames >= 3 && frames <= size_t(elapsed / 10 + 2),
                 qPrintable(QString::number(frames)));
    }
};

int runVideoStreamThreadTests(int argc, char **argv)
{
    TestVideoStreamThread test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videostreamthread.moc"
