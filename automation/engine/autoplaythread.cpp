#include "automation/engine/autoplaythread.h"

#include <algorithm>
#include <cmath>

#include "automation/engine/camerastopper.h"
#include "automation/engine/noderunner.h"
#include "automation/engine/runreport.h"
#include "store/cameradatastore.h"

namespace {

void resetNode(WayPointNode &node, const QTime &start)
{
    node.moved = false;
    node.arrived = false;
    node.givenUp = false;
    node.start = start;
    node.end = start;
    node.elapsed = 0;
    node.travelMs = 0;
    node.moveSpeed = 0;
    node.holdMs = 0;
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

int32_t AutoPlayThread::expectedTravelMs(const WayPointNode &node, int32_t speed)
{
    if (node.recordedTravelMs <= 0 || node.recordedTravelSpeed <= 0 || speed <= 0)
        return 0;
    // Pan-tilt heads move at a pace proportional to the speed step.
    return int32_t(int64_t(node.recordedTravelMs) * node.recordedTravelSpeed / speed);
}

void AutoPlayThread::planHolds(WayPointEntry &entry, int32_t speedStep)
{
    int32_t latest = 0;
    for (const WayPointNode &node : entry.node)
        latest = std::max(latest, expectedTravelMs(node, visitSpeed(speedStep, node.delta)));
    for (WayPointNode &node : entry.node) {
        const int32_t expected = expectedTravelMs(node, visitSpeed(speedStep, node.delta));
        node.holdMs = expected > 0 ? latest - expected : 0;
    }
}

void AutoPlayThread::run()
{
    waitForPredecessor();
    state = RunState{};
    state.runStart = QTime::currentTime();
    goStartRequest = false;
    goEndRequest = false;
    CameraDataStore::instance().clearCameraPositions();

    // 64 bits, so a loop count of INT32_MAX cannot overflow the counter.
    for (int64_t loop = 1; loop <= loopCount && running; ++loop)
        playLoop(static_cast<int32_t>(loop));
    finishRun();
    if (!endedSet) {
        endedSet = true;
        endedPromise.set_value();
    }
}

void AutoPlayThread::waitForPredecessor()
{
    if (!predecessorEnded.valid())
        return;
    while (running && predecessorEnded.wait_for(std::chrono::milliseconds(kSuperviseMs)) !=
                          std::future_status::ready) {
    }
}

void AutoPlayThread::playLoop(int32_t loop)
{
    emit loopUpdate(loop);
    resetLoopNodes();
    size_t current = 0;
    bool endOnFirstArrival = false;
    while (running && current < playList.size()) {
        switch (playWayPoint(playList[current], endOnFirstArrival)) {
        case Leave::Done:
            ++current;
            endOnFirstArrival = false;
            break;
        case Leave::GoStart:
            current = 0;
            endOnFirstArrival = false;
            break;
        case Leave::GoEnd:
            // The loop ends as soon as any one camera of the last waypoint arrives.
            current = playList.size() - 1;
            endOnFirstArrival = true;
            break;
        case Leave::Stop:
            return;
        }
    }
}

void AutoPlayThread::resetLoopNodes()
{
    const QTime now = QTime::currentTime();
    for (WayPointEntry &entry : playList) {
        if (entry.preset == kUnnumberedPreset)
            continue;
        for (WayPointNode &node : entry.node) {
            resetNode(node, now);
            state.addresses.insert(node.ip);
        }
    }
}

AutoPlayThread::Leave AutoPlayThread::playWayPoint(WayPointEntry &entry, bool endOnFirstArrival)
{
    if (entry.node.empty())
        return Leave::Done;
    const QTime start = QTime::currentTime();
    for (WayPointNode &node : entry.node)
        resetNode(node, start);
    planHolds(entry, speedStep.load());
    emit presetUpdate(static_cast<int16_t>(entry.preset));
    for (const WayPointNode &node : entry.node)
        emit cameraStateChanged(QString::fromStdString(node.src_name),
                                static_cast<int16_t>(entry.preset), Moving);

    std::atomic<bool> abandon{false};
    WayPointContext context{running, abandon, speedStep, sequenceCounter,
                            WayPointContext::Clock::now()};
    Runners runners;
    for (WayPointNode &node : entry.node)
        runners.push_back(std::make_unique<NodeRunner>(node, context));
    const Leave leave = supervise(entry, runners, endOnFirstArrival);
    abandon = true;
    CameraStopper earlyStop(sequenceCounter); // waits for its senders on return
    if (leave == Leave::Stop) {
        // Stop every camera now, not after the runners' exchanges in progress have ended.
        earlyStop.stopAll(state.addresses);
    }
    runners.clear(); // joins
    return leave;
}

AutoPlayThread::Leave AutoPlayThread::supervise(const WayPointEntry &entry, const Runners &runners,
                                                bool endOnFirstArrival)
{
    std::vector<bool> announced(runners.size(), false);
    QStringList holding;
    for (;;) {
        size_t done = 0;
        bool anyArrived = false;
        QStringList moving;
        for (size_t i = 0; i < runners.size(); ++i) {
            const NodeRunner::Outcome outcome = runners[i]->outcome();
            if (outcome == NodeRunner::Outcome::Running) {
                moving << QString::fromStdString(runners[i]->node().src_name);
                continue;
            }
            ++done;
            anyArrived = anyArrived || outcome == NodeRunner::Outcome::Arrived;
            if (!announced[i]) {
                announced[i] = true;
                announce(entry, *runners[i]);
            }
        }
        if (done == runners.size() || (endOnFirstArrival && anyArrived))
            return Leave::Done;
        // Once the first camera is there, the ones still on their way hold the waypoint.
        if (done > 0 && moving != holding) {
            holding = moving;
            emit holdingCameras(holding, static_cast<int16_t>(entry.preset));
        }
        if (!running)
            return Leave::Stop;
        // GO TO START wins when both were pressed at once; GO TO END waits for the next look.
        if (goStartRequest.exchange(false))
            return Leave::GoStart;
        if (goEndRequest.exchange(false))
            return Leave::GoEnd;
        msleep(kSuperviseMs);
    }
}

void AutoPlayThread::announce(const WayPointEntry &entry, const NodeRunner &runner)
{
    const QString name = QString::fromStdString(runner.node().src_name);
    const int preset = static_cast<int16_t>(entry.preset);
    if (runner.outcome() == NodeRunner::Outcome::Arrived) {
        emit progress(++state.arrivals);
        emit cameraStateChanged(name, preset, Arrived);
    } else if (runner.outcome() == NodeRunner::Outcome::GivenUp) {
        emit cameraGivenUp(name, preset);
        emit cameraStateChanged(name, preset, GivenUp);
    }
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
        info.speedStep = speedStep.load();
        QString path;
        const bool written =
            RunReport::write(info, playList, state.runStart, QTime::currentTime(), &path);
        emit reportWritten(path, written);
    }
    emit finished();
    // Again after the runners have quit, so that nothing they sent last keeps a camera moving.
    CameraStopper(sequenceCounter).stopAll(state.addresses);
}
