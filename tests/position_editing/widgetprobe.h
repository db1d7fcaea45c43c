#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

// Feeds a widget mouse events directly, with the buttons held after the event.
namespace WidgetProbe {

inline void sendMouse(QWidget *widget, QEvent::Type type, QPointF pos,
                      Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos.toPoint()), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace WidgetProbe
