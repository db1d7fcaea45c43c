#pragma once

#include <QObject>

class PadMapper;
class QGamepad;

// Feeds the first connected gamepad to a PadMapper. A pad may come and go at any time: when the
// one in use goes, what it drove stops, and the next connected pad, if any, takes over.
class GamepadLink : public QObject
{
    Q_OBJECT

public:
    GamepadLink(PadMapper *padMapper, QObject *parent = nullptr);

private:
    void takeFirstPad(int except);
    void attach(int deviceId);
    void padGone(int deviceId);

    PadMapper *mapper;
    QGamepad *pad = nullptr;
};
