#include "ndi/videoplayer.h"

#include "ndi/videowidget.h"
#include "ndi/videowidgetsurface.h"

#include <QImage>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSurfaceFormat>

namespace {
void freeFrameBuffer(void *data)
{
    delete[] static_cast<uint8_t *>(data);
}

// Qt's RGB32 paths take the fourth byte for 0xFF, but senders leave it at anything (often 0),
// which would come out transparent wherever the picture is composed onto an alpha surface.
void makeOpaque(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *pixel = reinterpret_cast<uint32_t *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixel[x] |= 0xFF000000u;
    }
}
} // namespace

VideoPlayer::VideoPlayer(QWidget *parent)
    : QWidget(parent)
{
    auto *videoWidget = new VideoWidget;
    surface = videoWidget->videoSurface();
    auto *layout = new QVBoxLayout;
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(videoWidget);
    setLayout(layout);
}

VideoPlayer::~VideoPlayer()
{
    delete surface;
}

void VideoPlayer::presentFrame(int width, int height, uint8_t *pixels)
{
    if (width == 0 || height == 0 || !pixels) {
        delete[] pixels;
        presentPlaceholder();
        return;
    }
    // B, G, R, X bytes are exactly Format_RGB32 on a little-endian machine, so the wrap needs no
    // channel swap and the colours come out true. The image owns the buffer from here: it is
    // freed with the last image sharing it, which is at the end of this call unless the
    // player's size equals the frame's and scaling handed the same pixels on.
    const QImage frame(pixels, width, height, width * 4, QImage::Format_RGB32, freeFrameBuffer,
                       pixels);
    QImage scaled = frame.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    makeOpaque(scaled);
    presentImage(scaled);
}

void VideoPlayer::presentPlaceholder()
{
    const QImage placeholder = QImage(QStringLiteral(":/images/preview.jpg"))
                                   .scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    surface->present(QVideoFrame(placeholder));
}

void VideoPlayer::presentImage(const QImage &image)
{
    const QVideoFrame frame(image);
    if (surface->surfaceFormat().pixelFormat() != frame.pixelFormat())
        surface->start(QVideoSurfaceFormat(size(), frame.pixelFormat()));
    if (!surface->present(frame))
        surface->stop();
}
