#pragma once

#include <chrono>
#include <cstdint>

// One axis of a camera (pan, tilt, zoom or focus) moving at constant speed toward a target
// inside its travel. Positions are the camera's units; pan and tilt are signed here.
class MotionAxis
{
public:
    using Clock = std::chrono::steady_clock;

    MotionAxis(int32_t minimum, int32_t maximum, int32_t initial);

    int32_t position(Clock::time_point now) const;
    int32_t target() const { return goal; }
    int32_t minimum() const { return lowest; }
    int32_t maximum() const { return highest; }
    bool isMoving(Clock::time_point now) const { return now < arrival; }

    // Starts from wherever the axis is now; the target is clamped to the travel. Returns the
    // time of arrival (now when already there).
    Clock::time_point moveTo(int32_t target, double unitsPerSecond, Clock::time_point now);
    void stop(Clock::time_point now);
    // How long a move over `distance` units takes at the given speed.
    static Clock::duration travelTime(int64_t distance, double unitsPerSecond);

private:
    int32_t lowest;
    int32_t highest;
    int32_t origin;
    int32_t goal;
    double speed = 1;
    Clock::time_point startedAt;
    Clock::time_point arrival;
};
