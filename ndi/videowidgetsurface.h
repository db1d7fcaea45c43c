#pragma once

#include <QAbstractVideoSurface>
#include <QImage>
#include <QRect>
#include <QVideoFrame>

class QPainter;
class VideoWidget;

// Keeps the last presented frame and paints it, aspect ratio kept, centred in its widget.
class VideoWidgetSurface : public QAbstractVideoSurface
{
    Q_OBJECT

public:
    explicit VideoWidgetSurface(VideoWidget *target, QObject *parent = nullptr);

    QList<QVideoFrame::PixelFormat>
    supportedPixelFormats(QAbstractVideoBuffer::HandleType handleType =
                              QAbstractVideoBuffer::NoHandle) const override;
    bool start(const QVideoSurfaceFormat &format) override;
    void stop() override;
    bool present(const QVideoFrame &frame) override;

    QRect videoRect() const { return targetRect; }
    void updateVideoRect();
    void paint(QPainter *painter);

private:
    VideoWidget *widget;
    QImage::Format imageFormat = QImage::Format_Invalid;
    QRect targetRect;
    QSize imageSize;
    QRect sourceRect;
    QVideoFrame currentFrame;
};
