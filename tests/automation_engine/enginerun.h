#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <QDir>
#include <QList>
#include <QTemporaryDir>

#include "automation/engine/autoplaythread.h"
#include "store/cameradatastore.h"

// A fresh temporary working directory, where a run's "reports" folder lands, for one test.
class TempWorkDir
{
public:
    TempWorkDir() { QDir::setCurrent(dir.path()); }
    ~TempWorkDir() { QDir::setCurrent(previous); }
    QString path() const { return dir.path(); }

private:
    QString previous = QDir::currentPath();
    QTemporaryDir dir;
};

// Sets up the store as discovery and the panels would, and configures a run as the form does.
namespace EngineSetup {

// A discovered camera "<machine>(PTZ)" at ip; returns its source display name.
inline std::string discover(const std::string &machine, const std::string &ip)
{
    NDISourceInfo source;
    source.machineName = machine;
    source.streamName = "PTZ";
    source.ipAddress = ip;
    source.port = 5961;
    CameraDataStore::instance().publishSources({source});
    return machine + "(PTZ)";
}

inline void file(const std::string &srcName, int32_t wayPointNo, uint16_t pan, uint16_t tilt,
                 uint16_t focus = 0, uint16_t zoom = 0, float delta = 1.0f)
{
    bool added = false;
    CameraDataStore::instance().storeWayPoint(srcName, WayPoint{pan, tilt, focus, zoom, delta},
                                              wayPointNo, added);
}

inline void configure(AutoPlayThread &thread, int32_t first, int32_t last, int slider,
                      int32_t loopCount, bool report)
{
    thread.speedStep = AutoPlayThread::speedStepFromSlider(slider);
    thread.venue = "Westmere Racecourse";
    thread.currentRace = 3;
    thread.totalRaces = 30;
    thread.totalWayPoints = 12;
    thread.raceLength = 3000;
    thread.playList = CameraDataStore::instance().buildPlayList(first, last);
    thread.loopCount = loopCount;
    thread.writeReport = report;
}

} // namespace EngineSetup

// Records the engine's signals as they are emitted, on the engine's thread, and lets a test
// steer the run from inside them (the form would do it a moment later from the GUI thread).
class RunRecorder
{
public:
    enum Signal { Preset, Loop, Progress, Finished, GivenUp };

    explicit RunRecorder(AutoPlayThread &thread)
    {
        const auto direct = Qt::DirectConnection;
        connections = {QObject::connect(
                           &thread, &AutoPlayThread::presetUpdate, &thread,
                           [this](int n) { record(Preset, n); }, direct),
                       QObject::connect(
                           &thread, &AutoPlayThread::loopUpdate, &thread,
                           [this](int n) { record(Loop, n); }, direct),
                       QObject::connect(
                           &thread, &AutoPlayThread::progress, &thread,
                           [this](int n) { record(Progress, n); }, direct),
                       QObject::connect(
                           &thread, &AutoPlayThread::finished, &thread,
                           [this] { record(Finished, 0); }, direct),
                       QObject::connect(
                           &thread, &AutoPlayThread::cameraGivenUp, &thread,
                           [this](const QString &, int n) { record(GivenUp, n); }, direct)};
    }

    // A test that fails early may leave the run going; it must not call into a dead recorder.
    ~RunRecorder()
    {
        for (const QMetaObject::Connection &connection : connections)
            QObject::disconnect(connection);
    }

    // Set before start(); each runs on the engine's thread with the signal's value.
    std::function<void(int)> on[5];

    QList<int> values(Signal signal) const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return lists[signal];
    }

    bool waitFor(Signal signal, int count, std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return lists[signal].size() >= count; });
    }

private:
    void record(Signal signal, int value)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            lists[signal] << value;
        }
        changed.notify_all();
        if (on[signal])
            on[signal](value);
    }

    std::vector<QMetaObject::Connection> connections;
    mutable std::mutex mutex; // guards the lists
    std::condition_variable changed;
    QList<int> lists[5];
};
