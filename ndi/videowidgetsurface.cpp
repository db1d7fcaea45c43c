#include "ndi/videowidgetsurface.h"

#include "ndi/videowidget.h"

#include <QPainter>
#include <QVideoSurfaceFormat>

VideoWidgetSurface::VideoWidgetSurface(VideoWidget *target, QObject *parent)
    : QAbstractVideoSurface(parent)
    , widget(target)
{
}

QList<QVideoFrame::PixelFormat>
VideoWidgetSurface::supportedPixelFormats(QAbstractVideoBuffer::HandleType handleType) const
{
    if (handleType != QAbstractVideoBuffer::NoHandle)
        return {};
    return {QVideoFrame::Format_RGB32, QVideoFrame::Format_ARGB32,
            QVideoFrame::Format_ARGB32_Premultiplied, QVideoFrame::Format_RGB565,
            QVideoFrame::Format_RGB555};
}

bool VideoWidgetSurface::start(const QVideoSurfaceFormat &format)
{
    const QImage::Format startFormat =
        QVideoFrame::imageFormatFromPixelFormat(format.pixelFormat());
    const QSize size = format.frameSize();
    if (startFormat == QImage::Format_Invalid || size.isEmpty())
        return false;

    imageFormat = startFormat;
    imageSize = size;
    sourceRect = format.viewport();
    QAbstractVideoSurface::start(format);
    widget->updateGeometry();
    updateVideoRect();
    return true;
}

void VideoWidgetSurface::updateVideoRect()
{
    const QSize hint = surfaceFormat().sizeHint();
    const QSize size = hint.scaled(widget->size().boundedTo(hint), Qt::KeepAspectRatio);
    targetRect = QRect(QPoint(0, 0), size);
    targetRect.moveCenter(widget->rect().center());
}

void VideoWidgetSurface::stop()
{
    currentFrame = QVideoFrame();
    targetRect = QRect();
    QAbstractVideoSurface::stop();
    widget->update();
}

bool VideoWidgetSurface::present(const QVideoFrame &frame)
{
    const QVideoSurfaceFormat format = surfaceFormat();
    if (format.pixelFormat() != frame.pixelFormat() || format.frameSize() != frame.size()) {
        setError(IncorrectFormatError);
        stop();
        return false;
    }
    currentFrame = frame;
    widget->repaint(targetRect);
    return true;
}

void VideoWidgetSurface::paint(QPainter *painter)
{
    if (!currentFrame.map(QAbstractVideoBuffer::ReadOnly))
        return;

    const QTransform oldTransform = painter->transform();
    if (surfaceFormat().scanLineDirection() == QVideoSurfaceFormat::BottomToTop) {
        painter->scale(1, -1);
        painter->translate(0, -widget->height());
    }
    const QImage image(currentFrame.bits(), currentFrame.width(), currentFrame.height(),
                       currentFrame.bytesPerLine(), imageFormat);
    painter->drawImage(targetRect, image, sourceRect);
    painter->setTransform(oldTransform);
    currentFrame.unmap();
}
