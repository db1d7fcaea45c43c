#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopbackcamera.h"

// What an engine datagram asked for, decoded from its bytes.
struct ViscaRequest
{
    enum Kind {
        PanTiltAbs,
        PanTiltInq,
        FocusInq,
        ZoomInq,
        FocusDirect,
        ZoomDirect,
        PanTiltStop,
        Focus,
        Zoom,
        Other
    };

    Kind kind = Other;
    uint32_t sequence = 0;
    LoopbackCamera::Clock::time_point arrival;
    int panSpeed = 0; // PanTiltAbs
    int tiltSpeed = 0;
    uint16_t pan = 0; // PanTiltAbs target
    uint16_t tilt = 0;
    uint16_t value = 0; // FocusDirect, ZoomDirect target; Focus, Zoom drive byte

    static ViscaRequest decode(const LoopbackCamera::Datagram &datagram);
    static std::vector<ViscaRequest> decodeAll(const std::vector<LoopbackCamera::Datagram> &log);
};

// A loopback camera that moves: an absolute move takes it toward its target at a pace set by
// the commanded speed (units per millisecond per speed step), pan and tilt independently.
// Commands are acknowledged at once and completed when done (a move on arrival); inquiries
// report where it is right now. Pan and tilt positions are signed 16-bit values.
// Focus and zoom jump to their direct targets.
class MovingCamera
{
public:
    using Clock = LoopbackCamera::Clock;

    struct Move
    {
        uint32_t sequence = 0;
        Clock::time_point commanded;
        Clock::time_point arrival; // when it reaches where it will stop
        int speed = 0;
        uint16_t pan = 0;
        uint16_t tilt = 0;
    };

    MovingCamera(const std::string &address, double unitsPerMsPerSpeed);

    void placeAt(uint16_t pan, uint16_t tilt, uint16_t focus = 0, uint16_t zoom = 0);
    // Stops this many units short of every target (a camera that never quite gets there).
    void setShortfall(int units);
    // Leaves pan-tilt inquiries unanswered.
    void setPanTiltSilent(bool silent);

    bool isListening() const { return camera.isListening(); }
    const std::string &address() const { return camera.address(); }
    std::vector<Move> moves() const;
    std::vector<ViscaRequest> requests() const;
    void clearRequests();

private:
    struct Axis
    {
        double from = 0;
        double to = 0;
        double position(double elapsedMs, double rate) const;
    };

    std::vector<LoopbackCamera::Reply> respond(const LoopbackCamera::Datagram &datagram);
    // Returns the move's travel time.
    std::chrono::milliseconds startMove(const ViscaRequest &request);
    void currentPanTilt(Clock::time_point at, uint16_t &pan, uint16_t &tilt) const;
    double stopPoint(double from, double target) const;
    double rate() const;

    const double pace;
    mutable std::mutex mutex; // guards every member below
    Axis pan;
    Axis tilt;
    int speed = 1;
    Clock::time_point moveStart;
    uint16_t focus = 0;
    uint16_t zoom = 0;
    int shortfall = 0;
    bool panTiltSilent = false;
    std::vector<Move> moveLog;

    LoopbackCamera camera; // last: its thread stops before the state above goes away
};
