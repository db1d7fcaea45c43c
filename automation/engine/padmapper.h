#pragma once

#include <QObject>

// Turns a gamepad's sticks, triggers and buttons into what the operator asks of the selected
// camera. It holds no pad itself (GamepadLink feeds it), so it runs without one.
// A command goes out only when it changes: the stick's small tremors around one speed step and a
// trigger resting half pressed send nothing new.
class PadMapper : public QObject
{
    Q_OBJECT

public:
    enum class Axis { LeftX, LeftY, LeftTrigger, RightTrigger };
    enum class Button { A, Start, LeftShoulder, RightShoulder };

    // Below this deflection the stick counts as centred; beyond, the travel is rescaled to
    // [0, 1] so the slowest speed is reachable right past the dead zone.
    static constexpr double DeadZone = 0.2;
    // Stick values go out in steps of this size: finer than any pan or tilt speed step.
    static constexpr double StickStep = 0.05;

    explicit PadMapper(QObject *parent = nullptr);

    // Sticks in [-1, 1] (right and down positive), triggers in [0, 1].
    void moveAxis(Axis axis, double value);
    void setButton(Button button, bool pressed);
    // The pad went away: whatever it was driving stops.
    void release();

signals:
    // Pan and tilt deflection in [-1, 1]; (0, 0) stops.
    void jog(float x, float y);
    // 1 tele, -1 wide, 0 stop.
    void zoom(int direction);
    void stepPanel(int delta);
    void store();
    void startStop();

private:
    static float shaped(double value);
    void updateJog();
    void updateZoom();

    double stickX = 0;
    double stickY = 0;
    bool wideHeld = false;
    bool teleHeld = false;
    float sentX = 0;
    float sentY = 0;
    int sentZoom = 0;
};
