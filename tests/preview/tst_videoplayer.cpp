#include "ndi/videoplayer.h"
#include "ndi/videowidget.h"
#include "ndi/videowidgetsurface.h"

#include <QVideoSurfaceFormat>
#include <QtTest>

#include <cstring>

namespace {
const QSize PreviewSize(360, 203);

uint8_t *solidFrame(QSize size, QColor colour)
{
    const uint8_t bgrx[4] = {uint8_t(colour.blue()), uint8_t(colour.green()), uint8_t(colour.red()),
                             0};
    auto *data = new uint8_t[size_t(size.width()) * size.height() * 4];
    for (int i = 0; i < size.width() * size.height(); ++i)
        std::memcpy(data + i * 4, bgrx, 4);
    return data;
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

class TestVideoPlayer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VideoPlayer> player;
    VideoWidget *widget() { return player->findChild<VideoWidget *>(); }
    VideoWidgetSurface *surface() { return widget()->videoSurface(); }
    QColor centre() { return widget()->grab().toImage().pixelColor(widget()->rect().center()); }
    void present(QColor colour) { player->presentFrame(640, 360, solidFrame({640, 360}, colour)); }

private slots:
    void init()
    {
        player = std::make_unique<VideoPlayer>();
        player->setFixedSize(PreviewSize);
        player->show();
        QVERIFY(QTest::qWaitForWindowExposed(player.get()));
    }
    void cleanup() { player.reset(); }

    void firstFrameStartsSurfaceAtPlayerSize()
    {
        QVERIFY(!surface()->isActive());
        QVERIFY(widget()->sizeHint().isEmpty());
        present(Qt::gray);
        QVERIFY(surface()->isActive());
        QCOMPARE(surface()->surfaceFormat().frameSize(), PreviewSize);
        QCOMPARE(surface()->surfaceFormat().pixelFormat(), QVideoFrame::Format_RGB32);
        QCOMPARE(widget()->sizeHint(), PreviewSize);
    }

    // The picture must reach the window itself, not only a grab of the widget.
    void presentPaintsTheWidgetAtOnce()
    {
        PaintCounter counter;
        widget()->installEventFilter(&counter);
        for (int frame = 1; frame <= 3; ++frame) {
            present(Qt::red);
            QCOMPARE(counter.paints, frame);
        }
    }

    void coloursAreTrue_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("red (00 00 FF 00)") << QColor(Qt::red);
        QTest::newRow("mixed") << QColor(0x12, 0x80, 0xF0);
    }
    void coloursAreTrue()
    {
        QFETCH(QColor, colour);
        present(colour);
        QCOMPARE(centre(), colour);
        QCOMPARE(player->grab().toImage().pixelColor(player->rect().center()), colour);
    }

    void resizeRefusesExactlyOneFrame()
    {
        present(Qt::red);
        player->setFixedSize(300, 169);
        QTRY_COMPARE(widget()->size(), QSize(300, 169));

        present(Qt::green);
        QVERIFY(!surface()->isActive());
        QCOMPARE(surface()->error(), QAbstractVideoSurface::IncorrectFormatError);
        QCOMPARE(centre(), QColor(Qt::black));

        present(Qt::blue);
        QVERIFY(surface()->isActive());
        QCOMPARE(surface()->surfaceFormat().frameSize(), QSize(300, 169));
        QCOMPARE(centre(), QColor(Qt::blue));
        present(Qt::green);
        QCOMPARE(centre(), QColor(Qt::green));
    }

    void endOfStreamShowsPlaceholderOnlyOnRunningSurface_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("running surface") << true;
        QTest::newRow("stopped surface") << false;
    }
    void endOfStreamShowsPlaceholderOnlyOnRunningSurface()
    {
        QFETCH(bool, running);
        if (running)
            present(Qt::red);
        player->presentFrame(0, 0, nullptr);
        QCOMPARE(surface()->isActive(), running && !QImage(":/images/preview.jpg").isNull());
        if (!surface()->isActive())
            QCOMPARE(centre(), QColor(Qt::black));
        else
            QVERIFY(centre() != QColor(Qt::red));
    }
};

// The surface's drawing geometry, independent of the player's scaling.
class TestVideoWidgetSurface : public QObject
{
    Q_OBJECT

private slots:
    void pictureCentredWithAspectKept_data()
    {
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QRect>("target");
        QTest::newRow("smaller frame, centred, never enlarged")
            << QSize(400, 300) << QSize(200, 100) << QRect(100, 100, 200, 100);
        QTest::newRow("wide frame in a square")
            << QSize(100, 100) << QSize(200, 100) << QRect(0, 25, 100, 50);
        QTest::newRow("tall frame in a wide widget")
            << QSize(300, 150) << QSize(100, 300) << QRect(125, 0, 50, 150);
        QTest::newRow("exact fit") << QSize(360, 203) << QSize(360, 203) << QRect(0, 0, 360, 203);
    }
    void pictureCentredWithAspectKept()
    {
        QFETCH(QSize, widgetSize);
        QFETCH(QSize, frameSize);
        QFETCH(QRect, target);
        VideoWidget widget;
        std::unique_ptr<VideoWidgetSurface> owned(widget.videoSurface());
        widget.resize(widgetSize);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));

        QImage frame(frameSize, QImage::Format_RGB32);
        frame.fill(Qt::white);
        VideoWidgetSurface &surface = *widget.videoSurface();
        QVERIFY(surface.start(QVideoSurfaceFormat(frameSize, QVideoFrame::Format_RGB32)));
        QVERIFY(surface.present(QVideoFrame(frame)));
        QCOMPARE(surface.videoRect(), target);

        // White inside the target, black bars around it.
        const QImage painted = widget.grab().toImage();
        for (const QPoint p : {target.topLeft(), target.bottomRight(), QPoint(0, 0),
                               QPoint(widgetSize.width() - 1, widgetSize.height() - 1),
                               target.topLeft() - QPoint(1, 1)}) {
            if (painted.rect().contains(p))
                QCOMPARE(painted.pixelColor(p), QColor(target.contains(p) ? Qt::white : Qt::black));
        }
    }
};

int runVideoPlayerTests(int argc, char **argv)
{
    TestVideoPlayer player;
    TestVideoWidgetSurface surface;
    return QTest::qExec(&player, argc, argv) + QTest::qExec(&surface, argc, argv);
}

#include "tst_videoplayer.moc"
