#include "shell/windowdragger.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

WindowDragger::WindowDragger(QWidget *parent)
    : QWidget(parent)
{
}

QWidget *WindowDragger::topLevel() const
{
    // The bar sits in the window frame, which sits in the window it moves.
    return parentWidget() ? parentWidget()->parentWidget() : nullptr;
}

void WindowDragger::mousePressEvent(QMouseEvent *event)
{
    mousePressed = true;
    mousePos = event->globalPos();
    if (QWidget *window = topLevel())
        wndPos = window->pos();
}

void WindowDragger::mouseMoveEvent(QMouseEvent *event)
{
    QWidget *window = topLevel();
    if (window && mousePressed)
        window->move(wndPos + (event->globalPos() - mousePos));
}

void WindowDragger::mouseReleaseEvent(QMouseEvent *)
{
    mousePressed = false;
}

void WindowDragger::mouseDoubleClickEvent(QMouseEvent *)
{
    emit doubleClicked();
}

void WindowDragger::paintEvent(QPaintEvent *)
{
    // A QWidget subclass only paints its style sheet background when asked to.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
