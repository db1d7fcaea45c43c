#include "ndi/videowidget.h"

#include "ndi/videowidgetsurface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QVideoSurfaceFormat>

VideoWidget::VideoWidget(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground, true);
    // No WA_PaintOnScreen: Qt 5's raster widgets have no paint engine for it, so frames would
    // never reach the window.
    QPalette blackPalette = palette();
    blackPalette.setBrush(QPalette::Window, Qt::black);
    setPalette(blackPalette);
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    surface = new VideoWidgetSurface(this);
}

QSize VideoWidget::sizeHint() const
{
    return surface->surfaceFormat().sizeHint();
}

void VideoWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QBrush background = palette().window();
    if (!surface->isActive()) {
        painter.fillRect(event->rect(), background);
        return;
    }
    if (!surface->videoRect().contains(event->rect())) {
        const QRegion outside = event->region().subtracted(surface->videoRect());
        for (const QRect &rect : outside)
            painter.fillRect(rect, background);
    }
    surface->paint(&painter);
}

void VideoWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    surface->updateVideoRect();
}
