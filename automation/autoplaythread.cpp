#include "automation/autoplaythread.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "automation/runreport.h"
#include "automation/timeofday.h"
#include "camera_control/viscacommand.h"
#include "store/cameradatastore.h"

namespace {

bool withinTolerance(int32_t reported, int32_t target)
{
    return std::llabs(int64_t(reported) - int64_t(target)) < AutoPlayThread::kArrivalTolerance;
}

void resetMotion(WayPointEntry &entry)
{
    for (WayPointNode &node : entry.node) {
        node.moved = false;
        node.arrived = false;
    }
}

} // namespace

AutoPlayThread::AutoPlayThread(QObject *parent)
    : QThread(parent)
{
}

AutoPlayThread::~AutoPlayThread()
{
    stopAndWait();
}

void AutoPlayThread::stopAndWait()
{
    running = false;
    wait();
}

int32_t AutoPlayThread::visitSpeed(int32_t speedStep, float delta)
{
    // A script can carry any delta; converting an out-of-range float to int is undefined,
    // so the product is held to the speed range while it is still a float.
    if (std::isnan(delta))
        delta = 1.0f;
    float speed = static_cast<float>(speedStep) * delta;
    if (std::isnan(speed)) // 0 × infinity
        speed = 1.0f;
    speed = std::clamp(speed, 1.0f, static_cast<float>(kMaxSpeed));
    return static_cast<int32_t>(std::trunc(speed));
}

int32_t AutoPlayThread::speedStepFromSlider(int sliderValue)
{
    return static_cast<int32_t>(sliderValue / 5.5);
}

void AutoPlayThread::run()
{
    state = RunState{};
    state.runStart = QTime::currentTime();
    state.passStart = state.runStart;
    goStartRequest = false;
    goEndRequest = false;
    CameraDataStore::instance().clearCameraPositions();

    // 64 bits, so a loop count of INT32_MAX cannot overflow the counter.
    for (int64_t loop = 1; loop <= loopCount && running; ++loop)
        playLoop(static_cast<int32_t>(loop));
    finishRun();
}

void AutoPlayThread::playLoop(int32_t loop)
{
    emit loopUpdate(loop);
    resetLoopNodes();
    state.current = 0;
    state.arrivedCount = 0;
    while (running) {
        if (state.current >= playList.size())
            return;
        state.passStart = QTime::currentTime();
        state.passClock.start();
        if (state.arrivedCount >= static_cast<int>(playList[state.current].node.size())) {
            state.arrivedCount = 0;
            ++state.current;
            continue; // the next waypoint starts without a pause
        }
        visitCurrentEntry();
        pauseRestOfPass();
    }
}

void AutoPlayThread::resetLoopNodes()
{
    for (WayPointEntry &entry : playList) {
        if (entry.preset == kUnnumberedPreset)
            continue;
        for (WayPointNode &node : entry.node) {
            node.moved = false;
            node.arrived = false;
            node.start = state.passStart;
            node.end = state.passStart;
            node.elapsed = 0;
            node.waitCount = 0;
            state.addresses.insert(node.ip);
        }
    }
}

void AutoPlayThread::visitCurrentEntry()
{
    WayPointEntry &entry = playList[state.current];
    for (WayPointNode &node : entry.node) {
        if (!node.arrived)
            visitNode(entry, node);
        if (!running)
            return;
        if (goStartRequest.exchange(false)) {
            handleGoStart();
            return;
        }
        if (goEndRequest.exchange(false)) {
            handleGoEnd();
            return;
        }
    }
}

void AutoPlayThread::visitNode(WayPointEntry &entry, WayPointNode &node)
{
    // Read afresh at every visit, so the slider acts on the next poll.
    const int32_t speed = visitSpeed(speedStep.load(), node.delta);
    if (node.moved)
        laterVisit(node, speed);
    else
        firstVisit(entry, node, speed);
}

void AutoPlayThread::firstVisit(const WayPointEntry &entry, WayPointNode &node, int32_t speed)
{
    node.pan_speed = speed;
    node.tilt_speed = speed;
    node.start = QTime::currentTime();

    CameraPosition seen;
    const bool atTarget = !node.ip.empty() && link.inquirePanTilt(node.ip, seen.pan, seen.tilt) &&
                          seen.pan == node.pan && seen.tilt == node.tilt;
    if (!atTarget)
        sendMove(node, speed);
    seen.focus = driveValue(node.ip, VISCACommandType::FocusInq, VISCACommandType::FocusDirectCmd,
                            node.focus);
    seen.zoom =
        driveValue(node.ip, VISCACommandType::ZoomInq, VISCACommandType::ZoomDirectCmd, node.zoom);

    node.moved = true;
    if (!state.announced) {
        emit presetUpdate(static_cast<int16_t>(entry.preset));
        state.announced = true;
    }
    node.waitCount = 0;
    CameraDataStore::instance().setCameraPosition(node.ip, seen.pan, seen.tilt, seen.focus,
                                                  seen.zoom);
}

// Returns the value the camera reported, 0 when it was not asked or did not answer.
int32_t AutoPlayThread::driveValue(const std::string &ip, int32_t inquiry, int32_t command,
                                   int32_t target)
{
    int32_t reported = 0;
    if (!ip.empty())
        link.inquireValue(inquiry, ip, reported);
    if (reported != target)
        link.send(command, ip, 0, target);
    return reported;
}

void AutoPlayThread::laterVisit(WayPointNode &node, int32_t speed)
{
    state.announced = false;
    int32_t pan = 0;
    int32_t tilt = 0;
    if (!node.ip.empty() && link.inquirePanTilt(node.ip, pan, tilt)) {
        if (withinTolerance(pan, node.pan) && withinTolerance(tilt, node.tilt))
            markArrived(node);
        CameraDataStore::instance().setCameraPanTilt(node.ip, pan, tilt);
    }
    if (node.arrived)
        return;

    if (node.pan_speed == speed && node.waitCount <= kPollsBeforeHalfSpeed) {
        ++node.waitCount;
    } else if (node.waitCount <= kPollsBeforeHalfSpeed) {
        // The speed changed since the last move: repeat it at the new speed.
        node.pan_speed = speed;
        node.tilt_speed = speed;
        sendMove(node, speed);
        node.waitCount = 0;
    } else {
        // Long short of the target: nudge it at half speed; the next poll restores full speed.
        sendMove(node, speed / 2);
        node.pan_speed = speed / 2;
        node.waitCount = 0;
    }
}

void AutoPlayThread::sendMove(const WayPointNode &node, int32_t speed)
{
    link.send(VISCACommandType::PanTiltAbsCmd, node.ip, speed * 257, node.pan, node.tilt);
}

void AutoPlayThread::markArrived(WayPointNode &node)
{
    node.arrived = true;
    node.end = QTime::currentTime();
    node.elapsed = msecsBetween(node.start, node.end);
    ++state.arrivedCount;
    node.waitCount = 0;
    emit progress(++state.arrivals);
}

void AutoPlayThread::handleGoStart()
{
    state.current = 0;
    for (WayPointEntry &entry : playList) {
        if (entry.preset != kUnnumberedPreset)
            resetMotion(entry);
    }
    state.announced = false;
    state.arrivedCount = 0;
}

void AutoPlayThread::handleGoEnd()
{
    state.current = playList.size() - 1;
    WayPointEntry &last = playList.back();
    resetMotion(last);
    state.announced = false;
    // The loop ends as soon as any one camera of the last waypoint arrives.
    state.arrivedCount = static_cast<int16_t>(last.node.size() - 1);
}

void AutoPlayThread::pauseRestOfPass()
{
    const qint64 rest = kPassMs - state.passClock.elapsed();
    if (rest > 0)
        msleep(static_cast<unsigned long>(rest));
}

void AutoPlayThread::finishRun()
{
    if (writeReport) {
        RunReportInfo info;
        info.venue = venue;
        info.currentRace = currentRace;
        info.totalRaces = totalRaces;
        info.totalWayPoints = totalWayPoints;
        info.raceLength = raceLength;
        info.loopCount = loopCount;
        RunReport::write(info, playList, state.runStart, QTime::currentTime());
    }
    emit finished();
    for (const std::string &ip : state.addresses) {
        link.send(VISCACommandType::PanTiltStop, ip, 0);
        link.send(VISCACommandType::Focus, ip, 0);
        link.send(VISCACommandType::Zoom, ip, 0);
    }
}
