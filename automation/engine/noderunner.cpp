#include "automation/engine/noderunner.h"

#include <algorithm>
#include <cstdlib>

#include "automation/engine/autoplaythread.h"
#include "camera_control/viscacommand.h"
#include "store/cameradatastore.h"

namespace {

int64_t msSince(NodeRunner::Clock::time_point since, NodeRunner::Clock::time_point now)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - since).count();
}

} // namespace

NodeRunner::NodeRunner(WayPointNode &node, WayPointContext &shared)
    : target(node)
    , context(shared)
    , link(shared.sequenceCounter)
    , thread([this] { run(); })
{
}

NodeRunner::~NodeRunner()
{
    thread.join();
}

bool NodeRunner::withinTolerance(int32_t reported, int32_t wanted)
{
    const int32_t distance = int32_t(int16_t(uint16_t(reported))) - int16_t(uint16_t(wanted));
    return std::abs(distance) < kArrivalTolerance;
}

int32_t NodeRunner::currentSpeed() const
{
    return AutoPlayThread::visitSpeed(context.speedStep.load(), target.delta);
}

void NodeRunner::run()
{
    if (!waitOutHold())
        return finish(Outcome::Left);
    dispatch(currentSpeed());
    watch();
}

bool NodeRunner::waitOutHold()
{
    const Clock::time_point until = context.start + std::chrono::milliseconds(target.holdMs);
    // Slices short enough to leave promptly, the last one ending at the hold's end exactly.
    for (Clock::time_point now = Clock::now(); now < until && !mustLeave(); now = Clock::now())
        std::this_thread::sleep_until(std::min(until, now + std::chrono::milliseconds(5)));
    lastAnswer = lastProgress = Clock::now();
    return !mustLeave();
}

// The first visit: the move unless the camera is exactly there, then focus and zoom.
void NodeRunner::dispatch(int32_t speed)
{
    target.pan_speed = target.tilt_speed = target.moveSpeed = speed;
    target.moved = true;
    CameraPosition seen;
    const bool answered = !target.ip.empty() && link.inquirePanTilt(target.ip, seen.pan, seen.tilt);
    if (answered)
        lastAnswer = Clock::now();
    moveSent = Clock::now();
    if (!answered || seen.pan != target.pan || seen.tilt != target.tilt)
        sendMove(speed);
    progressPan = seen.pan;
    progressTilt = seen.tilt;
    seen.focus =
        driveValue(VISCACommandType::FocusInq, VISCACommandType::FocusDirectCmd, target.focus);
    seen.zoom = driveValue(VISCACommandType::ZoomInq, VISCACommandType::ZoomDirectCmd, target.zoom);
    CameraDataStore::instance().setCameraPosition(target.ip, seen.pan, seen.tilt, seen.focus,
                                                  seen.zoom);
}

// Returns the value the camera reported, 0 when it was not asked or did not answer.
int32_t NodeRunner::driveValue(int32_t inquiry, int32_t command, int32_t wanted)
{
    int32_t reported = 0;
    if (!target.ip.empty() && !mustLeave())
        link.inquireValue(inquiry, target.ip, reported);
    if (reported != wanted && !mustLeave())
        link.send(command, target.ip, 0, wanted);
    return reported;
}

void NodeRunner::watch()
{
    while (!mustLeave()) {
        const Clock::time_point pollStart = Clock::now();
        if (pollOnce())
            return finish(Outcome::Arrived);
        const Clock::time_point now = Clock::now();
        const int32_t expected = AutoPlayThread::expectedTravelMs(target, target.moveSpeed);
        if (msSince(lastAnswer, now) > kSilentGiveUpMs ||
            msSince(lastProgress, now) > 2 * kStallMs ||
            (expected > 0 && msSince(moveSent, now) > 2 * expected + kStallMs))
            return finish(Outcome::GivenUp);
        keepMoving(now);
        std::this_thread::sleep_until(pollStart + std::chrono::milliseconds(kPollIntervalMs));
    }
    finish(Outcome::Left);
}

bool NodeRunner::pollOnce()
{
    int32_t pan = 0;
    int32_t tilt = 0;
    if (target.ip.empty() || !link.inquirePanTilt(target.ip, pan, tilt))
        return false;
    lastAnswer = Clock::now();
    CameraDataStore::instance().setCameraPanTilt(target.ip, pan, tilt);
    if (withinTolerance(pan, target.pan) && withinTolerance(tilt, target.tilt))
        return true;
    if (pan != progressPan || tilt != progressTilt) {
        progressPan = pan;
        progressTilt = tilt;
        lastProgress = lastAnswer;
        nudged = false;
    }
    return false;
}

// A camera that stopped short gets its move again at half speed, and at full speed on the
// next poll; a speed changed by the slider re-sends the move at the new speed.
void NodeRunner::keepMoving(Clock::time_point now)
{
    const int32_t speed = currentSpeed();
    if (!nudged && msSince(lastProgress, now) > kStallMs) {
        nudged = true;
        target.pan_speed = halfSpeed(speed);
        sendMove(target.pan_speed);
    } else if (target.pan_speed != speed) {
        target.pan_speed = target.tilt_speed = speed;
        sendMove(speed);
    }
}

void NodeRunner::sendMove(int32_t speed)
{
    if (mustLeave())
        return; // after a stop, no camera is set moving again
    link.send(VISCACommandType::PanTiltAbsCmd, target.ip, speed * 257, target.pan, target.tilt);
}

void NodeRunner::finish(Outcome outcome)
{
    const Clock::time_point now = Clock::now();
    if (outcome == Outcome::Arrived) {
        target.arrived = true;
        target.elapsed = int32_t(msSince(context.start, now));
        target.end = target.start.addMSecs(target.elapsed);
        target.travelMs = int32_t(msSince(moveSent, now));
    } else if (outcome == Outcome::GivenUp) {
        target.givenUp = true;
    }
    result.store(outcome, std::memory_order_release);
}
