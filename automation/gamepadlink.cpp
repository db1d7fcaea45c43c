#include "automation/gamepadlink.h"

#include "automation/engine/padmapper.h"

#include <QGamepad>
#include <QGamepadManager>

GamepadLink::GamepadLink(PadMapper *padMapper, QObject *parent)
    : QObject(parent)
    , mapper(padMapper)
{
    QGamepadManager *manager = QGamepadManager::instance();
    connect(manager, &QGamepadManager::gamepadConnected, this, [this](int deviceId) {
        if (!pad)
            attach(deviceId);
    });
    connect(manager, &QGamepadManager::gamepadDisconnected, this, &GamepadLink::padGone);
    takeFirstPad(-1);
}

void GamepadLink::takeFirstPad(int except)
{
    for (int deviceId : QGamepadManager::instance()->connectedGamepads()) {
        if (deviceId != except) {
            attach(deviceId);
            return;
        }
    }
}

void GamepadLink::attach(int deviceId)
{
    pad = new QGamepad(deviceId, this);
    using Axis = PadMapper::Axis;
    using Button = PadMapper::Button;
    PadMapper *m = mapper;
    connect(pad, &QGamepad::axisLeftXChanged, m, [m](double v) { m->moveAxis(Axis::LeftX, v); });
    connect(pad, &QGamepad::axisLeftYChanged, m, [m](double v) { m->moveAxis(Axis::LeftY, v); });
    connect(pad, &QGamepad::buttonL2Changed, m,
            [m](double v) { m->moveAxis(Axis::LeftTrigger, v); });
    connect(pad, &QGamepad::buttonR2Changed, m,
            [m](double v) { m->moveAxis(Axis::RightTrigger, v); });
    connect(pad, &QGamepad::buttonAChanged, m, [m](bool on) { m->setButton(Button::A, on); });
    connect(pad, &QGamepad::buttonStartChanged, m,
            [m](bool on) { m->setButton(Button::Start, on); });
    connect(pad, &QGamepad::buttonL1Changed, m,
            [m](bool on) { m->setButton(Button::LeftShoulder, on); });
    connect(pad, &QGamepad::buttonR1Changed, m,
            [m](bool on) { m->setButton(Button::RightShoulder, on); });
}

void GamepadLink::padGone(int deviceId)
{
    if (!pad || pad->deviceId() != deviceId)
        return;
    delete pad;
    pad = nullptr;
    mapper->release();
    takeFirstPad(deviceId);
}
