#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <QThread>
#include <QTime>

#include "store/waypoint.h"

class NodeRunner;

// Plays a race on a thread of its own: moves all cameras of each waypoint of the play list to
// their targets at once, each watched on its own thread until it arrives or is given up, and
// goes on, loop after loop. The form configures the fields before start(); during the run it
// writes only the atomic ones.
class AutoPlayThread : public QThread
{
    Q_OBJECT

public:
    enum CameraState { Moving, Arrived, GivenUp };
    Q_ENUM(CameraState)

    static constexpr int32_t kMaxSpeed = 18;
    static constexpr int kSuperviseMs = 5;

    explicit AutoPlayThread(QObject *parent = nullptr);
    // Stops the run and waits for it, so the thread never outlives its object.
    ~AutoPlayThread() override;

    // Clears `running` and waits for run() to return; harmless when idle or done twice.
    void stopAndWait();

    // trunc(speedStep × delta), held to 1..18 before it becomes an integer.
    static int32_t visitSpeed(int32_t speedStep, float delta);
    // The slider's value as a speed step: trunc(value / 5.5).
    static int32_t speedStepFromSlider(int sliderValue);
    // The travel a loaded report predicts for this node at a speed; 0 when it has none.
    static int32_t expectedTravelMs(const WayPointNode &node, int32_t speed);
    // Holds back the cameras predicted to arrive early, so that all arrive with the latest.
    static void planHolds(WayPointEntry &entry, int32_t speedStep);

    std::atomic<bool> running{true};
    std::vector<WayPointEntry> playList;
    std::atomic<uint32_t> sequenceCounter{1000};
    std::atomic<int32_t> speedStep{0};
    int32_t loopCount = 1;
    std::atomic<bool> goStartRequest{false};
    std::atomic<bool> goEndRequest{false};
    std::string venue;
    int16_t currentRace = 1;
    int16_t totalRaces = 0;
    int16_t totalWayPoints = 0;
    int16_t raceLength = 3000;
    std::atomic<bool> writeReport{false};
    // The run before this one, still sending its final stop commands: waited for first.
    std::shared_future<void> predecessorEnded;
    // Ready once run() has returned (or the object is gone).
    std::shared_future<void> ended() const { return endedFuture; }

signals:
    void progress(int nStage);
    // Deliberately hides QThread::finished: this one comes after the report and before the
    // final stop commands, while the thread is still running.
    void finished();
    void presetUpdate(int nPreset);
    void loopUpdate(int nLoop);
    // A camera did not reach its target at this waypoint; the run went on without it.
    void cameraGivenUp(const QString &srcName, int nPreset);
    // Each camera of a waypoint: moving when the waypoint starts, then arrived or given up.
    void cameraStateChanged(const QString &srcName, int nPreset, int state);
    // The cameras still on their way once the first of the waypoint has arrived.
    void holdingCameras(const QStringList &srcNames, int nPreset);
    // The run report went to this path, or could not be written there.
    void reportWritten(const QString &path, bool ok);

protected:
    void run() override;

private:
    enum class Leave { Done, GoStart, GoEnd, Stop };
    using Runners = std::vector<std::unique_ptr<NodeRunner>>;

    struct RunState
    {
        QTime runStart;
        int arrivals = 0;
        std::set<std::string> addresses; // byte-wise order
    };

    void playLoop(int32_t loop);
    void resetLoopNodes();
    Leave playWayPoint(WayPointEntry &entry, bool endOnFirstArrival);
    Leave supervise(const WayPointEntry &entry, const Runners &runners, bool endOnFirstArrival);
    void announce(const WayPointEntry &entry, const NodeRunner &runner);
    void finishRun();
    void waitForPredecessor();

    RunState state;
    std::promise<void> endedPromise;
    std::shared_future<void> endedFuture = endedPromise.get_future().share();
    bool endedSet = false;
};
