#include "ndi/ndilib.h"
#include "ndi/previewreceiver.h"
#include "ndi/videoplayer.h"
#include "ndi/videostreamthread.h"
#include "ndi/videowidget.h"
#include "ndi/videowidgetsurface.h"
#include "support/testndiruntime.h"

#include <QElapsedTimer>
#include <QVideoSurfaceFormat>
#include <QtTest>

#include <cstring>
#include <memory>

// The video thread that copies frames off a receiver, and the player that paints them.
class TestPreview : public QObject
{
    Q_OBJECT

    TestNdiRuntime runtime;
    NdiReceiverHandle receiver = nullptr;
    std::unique_ptr<VideoStreamThread> thread;
    std::vector<QByteArray> frames; // as the thread emitted them; a null array ends the stream
    std::unique_ptr<VideoPlayer> player;

    void startThread()
    {
        receiver = openPreviewReceiver("CAM (1)", nullptr);
        QVERIFY(receiver);
        thread = std::make_unique<VideoStreamThread>(receiver);
        connect(thread.get(), &VideoStreamThread::ResultReady, this,
                [this](int width, int height, uint8_t *data) {
                    frames.push_back(
                        data ? QByteArray(reinterpret_cast<const char *>(data), width * height * 4)
                             : QByteArray());
                    delete[] data;
                });
        thread->start();
    }
    // Stops and joins the thread, delivers what it emitted and returns how long the stop took.
    qint64 stopThread()
    {
        QElapsedTimer clock;
        clock.start();
        thread->running = false;
        thread->wait();
        const qint64 took = clock.elapsed();
        thread.reset();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        return took;
    }

    VideoWidget *widget() { return player->findChild<VideoWidget *>(); }
    QColor centre() { return widget()->grab().toImage().pixelColor(widget()->rect().center()); }
    // A 640 x 360 BGRX frame of one colour, its fourth byte left at 0 as senders do.
    void present(QColor colour)
    {
        const uint8_t bgrx[4] = {uint8_t(colour.blue()), uint8_t(colour.green()),
                                 uint8_t(colour.red()), 0};
        auto *data = new uint8_t[640 * 360 * 4];
        for (int i = 0; i < 640 * 360; ++i)
            std::memcpy(data + i * 4, bgrx, 4);
        player->presentFrame(640, 360, data);
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
        frames.clear();
        player = std::make_unique<VideoPlayer>();
        player->setFixedSize(360, 203);
        player->show();
        QVERIFY(QTest::qWaitForWindowExposed(player.get()));
    }
    void cleanup()
    {
        if (thread)
            stopThread();
        if (receiver)
            NDIlib_recv_destroy(std::exchange(receiver, nullptr));
        QCOMPARE(runtime.count(TestNdiFramesFreed), runtime.count(TestNdiFramesCaptured));
    }

    // Padded lines (stride past width * 4) come out packed, at most one frame per 10 ms.
    void threadEmitsPackedCopiesPaced()
    {
        startThread();
        const QByteArray padded = TestNdiRuntime::bgrxFrame(8, 3, 8 * 4 + 20, 0x10, 0x20, 0x30);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300) {
            runtime.pushVideoFrame("CAM (1)", 8, 3, 8 * 4 + 20, padded);
            QThread::usleep(500);
        }
        const qint64 elapsed = clock.elapsed();
        stopThread();
        const size_t count = frames.size() - 1; // the last is the end of stream
        QVERIFY2(count >= 3 && count <= size_t(elapsed / 10 + 2),
                 qPrintable(QString::number(count)));
        QVERIFY(frames.back().isNull());
        QCOMPARE(frames.front(), TestNdiRuntime::bgrxFrame(8, 3, 8 * 4, 0x10, 0x20, 0x30));
    }

    // A silent source holds each capture for its whole time-out; closing must not wait it out.
    void threadStopsPromptly()
    {
        runtime.setBlockingWaits(true);
        startThread();
        QTest::qWait(50); // the thread now waits in a capture with no frame coming
        const qint64 took = stopThread();
        QVERIFY2(took < 500, qPrintable(QString::number(took)));
        QCOMPARE(frames, std::vector<QByteArray>{QByteArray()});
    }

    // B, G, R, X bytes show in their true colours, whatever the sender left in the X byte.
    void playerShowsTrueColours_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("red (00 00 FF 00)") << QColor(Qt::red);
        QTest::newRow("mixed") << QColor(0x12, 0x80, 0xF0);
    }
    void playerShowsTrueColours()
    {
        QFETCH(QColor, colour);
        present(colour);
        QCOMPARE(centre(), colour);
    }

    // The surface keeps the old size's format after a resize: it must start again at the new
    // size instead of refusing every frame from then on.
    void playerShowsFramesAgainAfterResize()
    {
        present(Qt::red);
        player->setFixedSize(300, 169);
        QTRY_COMPARE(widget()->size(), QSize(300, 169));
        present(Qt::green);
        present(Qt::blue);
        QCOMPARE(widget()->videoSurface()->surfaceFormat().frameSize(), QSize(300, 169));
        QCOMPARE(centre(), QColor(Qt::blue));
    }
};

QTEST_MAIN(TestPreview)

#include "tst_preview.moc"
