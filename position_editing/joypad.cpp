#include "position_editing/joypad.h"

#include "shell/palette.h"

#include <QMouseEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QRadialGradient>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int RepeatIntervalMs = 200;
constexpr int ReturnDurationMs = 400;

QPropertyAnimation *makeReturnAnimation(QObject *target, const char *property,
                                        QParallelAnimationGroup *group)
{
    auto *animation = new QPropertyAnimation(target, property);
    animation->setEndValue(0.0f);
    animation->setDuration(ReturnDurationMs);
    animation->setEasingCurve(QEasingCurve::OutSine);
    group->addAnimation(animation);
    return animation;
}

// Offset of a side-long square inside a span of the given length, placed by the three flags.
qreal alignedOffset(Qt::Alignment alignment, qreal span, qreal side, Qt::AlignmentFlag start,
                    Qt::AlignmentFlag centre, Qt::AlignmentFlag end)
{
    if (alignment & start)
        return 0;
    if (alignment & centre)
        return (span - side) * 0.5;
    if (alignment & end)
        return span - side;
    return 0;
}
} // namespace

JoyPad::JoyPad(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    returnAnimation = new QParallelAnimationGroup(this);
    xAnimation = makeReturnAnimation(this, "x", returnAnimation);
    yAnimation = makeReturnAnimation(this, "y", returnAnimation);

    repeatTimer = new QTimer(this);
    repeatTimer->setInterval(RepeatIntervalMs);
    connect(repeatTimer, &QTimer::timeout, this, &JoyPad::repeatValue);
    repeatTimer->start();
}

void JoyPad::repeatValue()
{
    if (centred())
        return;
    emit emitValue(xValue, yValue);
}

float JoyPad::knobTravel() const
{
    return float((padBounds.width() - knobBounds.width()) * 0.5);
}

bool JoyPad::centred() const
{
    return xValue == 0.0f && yValue == 0.0f;
}

// One stop when the knob comes to rest, not one for every step of a glide that is already there.
void JoyPad::emitStopOnArrival(bool wasCentred)
{
    if (!wasCentred && centred())
        emit emitValue(0.0f, 0.0f);
}

void JoyPad::setX(float value)
{
    const bool wasCentred = centred();
    xValue = std::clamp(value, -1.0f, 1.0f);
    QPointF centre = knobBounds.center();
    centre.setX(padBounds.center().x() + xValue * knobTravel());
    knobBounds.moveCenter(centre);
    update();
    emit xChanged(xValue);
    emitStopOnArrival(wasCentred);
}

void JoyPad::setY(float value)
{
    const bool wasCentred = centred();
    yValue = std::clamp(value, -1.0f, 1.0f);
    QPointF centre = knobBounds.center();
    centre.setY(padBounds.center().y() + yValue * knobTravel());
    knobBounds.moveCenter(centre);
    update();
    emit yChanged(yValue);
    emitStopOnArrival(wasCentred);
}

void JoyPad::removeFromGroup(QPropertyAnimation *animation)
{
    if (animation->group() != returnAnimation)
        return;
    returnAnimation->removeAnimation(animation);
    animation->setParent(this);
}

void JoyPad::addToGroup(QPropertyAnimation *animation)
{
    if (animation->parent() != returnAnimation)
        returnAnimation->addAnimation(animation);
}

void JoyPad::removeXAnimation()
{
    removeFromGroup(xAnimation);
}

void JoyPad::addXAnimation()
{
    addToGroup(xAnimation);
}

void JoyPad::removeYAnimation()
{
    removeFromGroup(yAnimation);
}

void JoyPad::addYAnimation()
{
    addToGroup(yAnimation);
}

void JoyPad::setAlignment(Qt::Alignment value)
{
    alignment = value;
}

void JoyPad::resizeEvent(QResizeEvent *)
{
    const qreal side = std::min(width(), height());
    const qreal left =
        alignedOffset(alignment, width(), side, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight);
    const qreal top =
        alignedOffset(alignment, height(), side, Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom);
    padBounds = QRectF(left, top, int(side - 10), int(side - 10));

    const qreal knobSide = side * 0.35;
    knobBounds.setSize(QSizeF(knobSide, knobSide));
    const qreal r = knobTravel();
    knobBounds.moveCenter(padBounds.center() + QPointF(xValue * r, yValue * r));
}

void JoyPad::mousePressEvent(QMouseEvent *event)
{
    if (knobBounds.contains(event->pos())) {
        returnAnimation->stop();
        lastPos = event->pos();
        knobPressed = true;
    }
    update();
}

void JoyPad::mouseMoveEvent(QMouseEvent *event)
{
    if (!knobPressed)
        return;
    const QPointF pos = event->pos();
    const QPointF dPos = (pos - lastPos) + 0.05 * (pos - knobBounds.center());
    const qreal r = knobTravel();
    QPointF offset = knobBounds.center() + dPos - padBounds.center();
    offset.setX(std::clamp(offset.x(), -r, r));
    offset.setY(std::clamp(offset.y(), -r, r));
    knobBounds.moveCenter(padBounds.center() + offset);
    lastPos = event->pos();
    update();
    if (r == 0)
        return;

    const float x = float(offset.x() / r);
    const float y = float(offset.y() / r);
    if (x != xValue) {
        xValue = x;
        emit xChanged(x);
    }
    if (y != yValue) {
        yValue = y;
        emit yChanged(y);
    }
}

void JoyPad::mouseReleaseEvent(QMouseEvent *)
{
    knobPressed = false;
    // A click leaves the knob where it rests, so no glide will bring it there: stop here.
    if (centred())
        emit emitValue(0.0f, 0.0f);
    returnAnimation->start();
    emit mouseReleased();
}

void JoyPad::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal padWidth = padBounds.width();
    QRadialGradient padGradient(padBounds.center(), padWidth * 0.5, padBounds.center());
    padGradient.setFocalRadius(padWidth * 0.3);
    padGradient.setCenterRadius(padWidth * 0.7);
    padGradient.setColorAt(0, QColor(Palette::field));
    padGradient.setColorAt(1, QColor(Palette::pressed));
    painter.setPen(Qt::NoPen);
    painter.setBrush(padGradient);
    painter.drawEllipse(padBounds);

    // The cross leaves the middle open so the knob sits on a clear centre.
    painter.setPen(QPen(QBrush(QColor(Palette::grey)), padWidth * 0.005, Qt::SolidLine,
                        Qt::SquareCap, Qt::BevelJoin));
    const QPointF c = padBounds.center();
    const qreal g = padWidth * 0.35;
    painter.drawLine(QPointF(padBounds.left(), c.y()), QPointF(c.x() - g, c.y()));
    painter.drawLine(QPointF(c.x() + g, c.y()), QPointF(padBounds.right(), c.y()));
    painter.drawLine(QPointF(c.x(), padBounds.top()), QPointF(c.x(), c.y() - g));
    painter.drawLine(QPointF(c.x(), c.y() + g), QPointF(c.x(), padBounds.bottom()));

    if (!isEnabled())
        return;
    const qreal knobWidth = knobBounds.width();
    QRadialGradient knobGradient(knobBounds.center(), knobWidth * 0.5, knobBounds.center());
    knobGradient.setColorAt(0, QColor(knobPressed ? Palette::caption : Palette::white));
    knobGradient.setColorAt(1, QColor(Palette::white));
    knobGradient.setFocalRadius(knobWidth * 0.2);
    knobGradient.setCenterRadius(knobWidth * 0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(knobGradient);
    painter.drawEllipse(knobBounds);
}
