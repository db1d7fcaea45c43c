#include "tools/camsim/motionaxis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

MotionAxis::MotionAxis(int32_t minimum, int32_t maximum, int32_t initial)
    : lowest(minimum)
    , highest(maximum)
    , origin(std::clamp(initial, minimum, maximum))
    , goal(origin)
{
}

int32_t MotionAxis::position(Clock::time_point now) const
{
    if (now >= arrival)
        return goal;
    const double seconds = std::chrono::duration<double>(now - startedAt).count();
    const int64_t travelled = std::min<int64_t>(std::llabs(int64_t(goal) - origin),
                                                int64_t(std::max(0.0, seconds * speed)));
    return goal >= origin ? int32_t(origin + travelled) : int32_t(origin - travelled);
}

MotionAxis::Clock::time_point MotionAxis::moveTo(int32_t target, double unitsPerSecond,
                                                 Clock::time_point now)
{
    origin = position(now);
    goal = std::clamp(target, lowest, highest);
    speed = std::max(unitsPerSecond, 1e-3);
    startedAt = now;
    arrival = now + travelTime(int64_t(goal) - origin, speed);
    return arrival;
}

void MotionAxis::stop(Clock::time_point now)
{
    origin = goal = position(now);
    startedAt = arrival = now;
}

MotionAxis::Clock::duration MotionAxis::travelTime(int64_t distance, double unitsPerSecond)
{
    const double seconds = double(std::llabs(distance)) / std::max(unitsPerSecond, 1e-3);
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}
