#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointF>
#include <QWidget>

// Test helpers that look at what a widget painted and feed it mouse events directly.
namespace WidgetProbe {

// Centre of the pixels brighter than the threshold in every channel; (-1, -1) when none.
inline QPointF brightCentroid(const QImage &image, int threshold = 245)
{
    double sumX = 0;
    double sumY = 0;
    long count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() >= threshold && c.green() >= threshold && c.blue() >= threshold) {
                sumX += x;
                sumY += y;
                ++count;
            }
        }
    }
    if (count == 0)
        return {-1, -1};
    return {sumX / count + 0.5, sumY / count + 0.5};
}

inline void sendMouse(QWidget *widget, QEvent::Type type, QPointF pos,
                      Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos.toPoint()), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace WidgetProbe
