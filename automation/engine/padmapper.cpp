#include "automation/engine/padmapper.h"

#include <cmath>

namespace {
// A trigger counts as pressed past the upper mark and as released below the lower one, so one
// resting near a mark does not flicker the zoom on and off.
constexpr double TriggerPressed = 0.5;
constexpr double TriggerReleased = 0.25;

bool triggerHeld(bool held, double value)
{
    return held ? value >= TriggerReleased : value > TriggerPressed;
}
} // namespace

PadMapper::PadMapper(QObject *parent)
    : QObject(parent)
{
}

float PadMapper::shaped(double value)
{
    const double magnitude = std::fabs(value);
    if (magnitude <= DeadZone)
        return 0.0f;
    const double travel = std::fmin((magnitude - DeadZone) / (1.0 - DeadZone), 1.0);
    const double stepped = std::round(travel / StickStep) * StickStep;
    if (stepped == 0.0)
        return 0.0f; // too little for a step: centred, and never a negative zero
    return float(std::copysign(stepped, value));
}

void PadMapper::moveAxis(Axis axis, double value)
{
    switch (axis) {
    case Axis::LeftX:
        stickX = value;
        updateJog();
        break;
    case Axis::LeftY:
        stickY = value;
        updateJog();
        break;
    case Axis::LeftTrigger:
        wideHeld = triggerHeld(wideHeld, value);
        updateZoom();
        break;
    case Axis::RightTrigger:
        teleHeld = triggerHeld(teleHeld, value);
        updateZoom();
        break;
    }
}

void PadMapper::setButton(Button button, bool pressed)
{
    if (!pressed)
        return;
    switch (button) {
    case Button::A:
        emit store();
        break;
    case Button::Start:
        emit startStop();
        break;
    case Button::LeftShoulder:
        emit stepPanel(-1);
        break;
    case Button::RightShoulder:
        emit stepPanel(1);
        break;
    }
}

void PadMapper::release()
{
    stickX = stickY = 0;
    wideHeld = teleHeld = false;
    updateJog();
    updateZoom();
}

void PadMapper::updateJog()
{
    const float x = shaped(stickX);
    const float y = shaped(stickY);
    if (x == sentX && y == sentY)
        return;
    sentX = x;
    sentY = y;
    emit jog(x, y);
}

// Both triggers at once cancel out: the camera stops rather than guess.
void PadMapper::updateZoom()
{
    const int direction = int(teleHeld) - int(wideHeld);
    if (direction == sentZoom)
        return;
    sentZoom = direction;
    emit zoom(direction);
}
