#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopbackcamera.h"
#include "tools/camsim/motionaxis.h"

// What an engine datagram asked for, decoded by the shared codec.
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
    int panSpeed = 0; // PanTiltAbs: speeds and target
    int tiltSpeed = 0;
    uint16_t pan = 0;
    uint16_t tilt = 0;
    uint16_t value = 0; // FocusDirect, ZoomDirect target; Focus, Zoom drive byte

    static ViscaRequest decode(const LoopbackCamera::Datagram &datagram);
    static std::vector<ViscaRequest> decodeAll(const std::vector<LoopbackCamera::Datagram> &log);
};

// A loopback camera that moves: an absolute move takes it toward its target at a pace set by
// the commanded speed (units per millisecond per speed step), pan and tilt independently, on
// the simulator's axes.
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
    std::vector<ViscaRequest> requests() const
    {
        return ViscaRequest::decodeAll(camera.received());
    }
    void clearRequests() { camera.clearReceived(); }

private:
    std::vector<LoopbackCamera::Reply> respond(const LoopbackCamera::Datagram &datagram);
    // Returns the move's travel time.
    std::chrono::milliseconds startMove(const ViscaRequest &request);
    int32_t stopPoint(int32_t from, int32_t target) const;

    const double pace;
    mutable std::mutex mutex; // guards every member below
    MotionAxis pan{INT16_MIN, INT16_MAX, 0};
    MotionAxis tilt{INT16_MIN, INT16_MAX, 0};
    uint16_t focus = 0;
    uint16_t zoom = 0;
    int shortfall = 0;
    bool panTiltSilent = false;
    std::vector<Move> moveLog;

    LoopbackCamera camera; // last: its thread stops before the state above goes away
};
