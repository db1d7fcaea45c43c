#pragma once

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QThread>
#include <QTime>

#include "automation/viscalink.h"
#include "store/waypoint.h"

// Plays a race on a thread of its own: moves the cameras of each waypoint of the play list to
// their targets, polls them until all have arrived, and goes on, loop after loop. The form
// configures the fields before start(); during the run it writes only the atomic ones.
class AutoPlayThread : public QThread
{
    Q_OBJECT

public:
    static constexpr int32_t kMaxSpeed = 18;
    static constexpr int kPassMs = 100;
    static constexpr int16_t kPollsBeforeHalfSpeed = 50;
    static constexpr int32_t kArrivalTolerance = 10;

    explicit AutoPlayThread(QObject *parent = nullptr);
    // Stops the run and waits for it, so the thread never outlives its object.
    ~AutoPlayThread() override;

    // Clears `running` and waits for run() to return; harmless when idle or done twice.
    void stopAndWait();

    // trunc(speedStep × delta), held to 1..18 before it becomes an integer.
    static int32_t visitSpeed(int32_t speedStep, float delta);
    // The slider's value as a speed step: trunc(value / 5.5).
    static int32_t speedStepFromSlider(int sliderValue);

    std::atomic<bool> running{true};
    std::vector<WayPointEntry> playList;
    uint32_t sequenceCounter = 1000;
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

signals:
    void progress(int nStage);
    // Deliberately hides QThread::finished: this one comes after the report and before the
    // final stop commands, while the thread is still running.
    void finished();
    void presetUpdate(int nPreset);
    void loopUpdate(int nLoop);

protected:
    void run() override;

private:
    struct RunState
    {
        QTime runStart;
        QTime passStart;
        QElapsedTimer passClock; // monotonic, so a pass across midnight still pauses <= 100 ms
        int arrivals = 0;
        std::set<std::string> addresses; // byte-wise order for the final stop commands
        size_t current = 0;
        int16_t arrivedCount = 0;
        bool announced = false;
    };

    void playLoop(int32_t loop);
    void resetLoopNodes();
    void visitCurrentEntry();
    void visitNode(WayPointEntry &entry, WayPointNode &node);
    void firstVisit(const WayPointEntry &entry, WayPointNode &node, int32_t speed);
    void laterVisit(WayPointNode &node, int32_t speed);
    int32_t driveValue(const std::string &ip, int32_t inquiry, int32_t command, int32_t target);
    void sendMove(const WayPointNode &node, int32_t speed);
    void markArrived(WayPointNode &node);
    void handleGoStart();
    void handleGoEnd();
    void pauseRestOfPass();
    void finishRun();

    RunState state;
    ViscaLink link{sequenceCounter};
};
