#pragma once

#include <QPoint>
#include <QRectF>
#include <QWidget>

class QParallelAnimationGroup;
class QPropertyAnimation;
class QTimer;

// On-screen joystick: a round pad with a knob dragged by the mouse. Reports the knob's offset as
// two values in [-1, 1] (right and down positive), repeats them every 200 ms while the knob is off
// centre, and glides the knob back to the centre on release; (0, 0) once, when it comes to rest.
class JoyPad : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(float x READ valueX WRITE setX NOTIFY xChanged)
    Q_PROPERTY(float y READ valueY WRITE setY NOTIFY yChanged)

public:
    explicit JoyPad(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    float valueX() const { return xValue; }
    float valueY() const { return yValue; }

signals:
    void xChanged(float value);
    void yChanged(float value);
    void emitValue(float xValue, float yValue);
    void mouseReleased();

public slots:
    void setX(float value);
    void setY(float value);
    void removeXAnimation();
    void addXAnimation();
    void removeYAnimation();
    void addYAnimation();
    void setAlignment(Qt::Alignment alignment);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void repeatValue();
    float knobTravel() const;
    bool centred() const;
    void emitStopOnArrival(bool wasCentred);
    void removeFromGroup(QPropertyAnimation *animation);
    void addToGroup(QPropertyAnimation *animation);

    float xValue = 0.0f;
    float yValue = 0.0f;
    QParallelAnimationGroup *returnAnimation = nullptr;
    QPropertyAnimation *xAnimation = nullptr;
    QPropertyAnimation *yAnimation = nullptr;
    QRectF padBounds;
    QRectF knobBounds;
    QPoint lastPos;
    bool knobPressed = false;
    Qt::Alignment alignment = Qt::AlignCenter;
    QTimer *repeatTimer = nullptr;
};
