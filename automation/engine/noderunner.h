#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "camera_control/viscalink.h"
#include "store/waypoint.h"

// What every camera of one waypoint shares with the engine while it plays.
struct WayPointContext
{
    using Clock = std::chrono::steady_clock;

    std::atomic<bool> &running;            // the run goes on
    std::atomic<bool> &abandon;            // the engine has left this waypoint
    const std::atomic<int32_t> &speedStep; // read afresh at every poll
    std::atomic<uint32_t> &sequenceCounter;
    Clock::time_point start; // the waypoint's common start
};

// Drives one camera to its target at one waypoint on a thread of its own, so that no camera
// waits for another: waits out its hold, sends the move, then watches the position at its
// own pace until the camera arrives, is given up, or the engine leaves the waypoint.
class NodeRunner
{
public:
    using Clock = WayPointContext::Clock;
    enum class Outcome { Running, Arrived, GivenUp, Left };

    static constexpr int kPollIntervalMs = 25;
    static constexpr int32_t kArrivalTolerance = 10;
    // No answer at all for this long: the camera is off or unreachable.
    static constexpr int kSilentGiveUpMs = 2000;
    // Answering but no closer for this long: re-sent at half speed, then given up at twice it.
    static constexpr int kStallMs = 2000;

    // The node must outlive the runner; the engine reads it only once outcome() is final.
    NodeRunner(WayPointNode &node, WayPointContext &shared);
    ~NodeRunner(); // joins
    NodeRunner(const NodeRunner &) = delete;
    NodeRunner &operator=(const NodeRunner &) = delete;

    Outcome outcome() const { return result.load(std::memory_order_acquire); }
    const WayPointNode &node() const { return target; }
    // Pan or tilt units as 16-bit signed values: 0xFFFE is 2 units from 0.
    static bool withinTolerance(int32_t reported, int32_t wanted);
    // Half of a speed, never below the slowest speed 1.
    static int32_t halfSpeed(int32_t speed) { return speed > 1 ? speed / 2 : 1; }

private:
    void run();
    bool waitOutHold();
    void dispatch(int32_t speed);
    int32_t driveValue(int32_t inquiry, int32_t command, int32_t wanted);
    void watch();
    bool pollOnce();
    void keepMoving(Clock::time_point now);
    void finish(Outcome outcome);
    bool mustLeave() const { return !context.running || context.abandon; }
    int32_t currentSpeed() const;
    void sendMove(int32_t speed);

    WayPointNode &target;
    WayPointContext &context;
    ViscaLink link;
    std::atomic<Outcome> result{Outcome::Running};

    Clock::time_point moveSent;
    Clock::time_point lastAnswer;
    Clock::time_point lastProgress;
    int32_t progressPan = 0;
    int32_t progressTilt = 0;
    bool nudged = false;

    std::thread thread; // last, so that it starts after every member is ready
};
