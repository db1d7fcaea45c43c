// How soon the engine moves on once a waypoint's slowest camera is there: for every waypoint
// of a run, the time from the last camera's arrival at its target to the engine's first
// move of the next waypoint, both by the simulated cameras' own clocks. Each camera is polled
// on its own every few tens of milliseconds, so the gap is about one poll interval.

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "automation/engine/autoplaythread.h"
#include "automation/engine/noderunner.h"
#include "store/cameradatastore.h"
#include "tools/camsim/camerasimulator.h"

namespace {

constexpr int kCameras = 3;
constexpr int kWayPoints = 6;
constexpr int kLoops = 3;
constexpr int kSlider = 60;
// R520 heads panning 500, 800 and 1200 units a second at the slider's speed step.
const double kPaces[kCameras] = {0.21, 0.34, 0.51};

using Clock = SimCamera::Clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A camera's moves, one group per waypoint visit (re-sends share their visit's target).
std::vector<std::vector<MoveRecord>> visitsOf(const SimCamera &camera)
{
    std::vector<std::vector<MoveRecord>> visits;
    for (const MoveRecord &move : camera.panTiltMoves()) {
        const bool sameTarget = !visits.empty() && visits.back().back().to.pan == move.to.pan &&
                                visits.back().back().to.tilt == move.to.tilt;
        if (!sameTarget)
            visits.emplace_back();
        visits.back().push_back(move);
    }
    return visits;
}

// The store as discovery and a script fill it: camera c at its address, with its waypoints.
void fileWayPoints(const CameraSimulator &simulator, int run)
{
    CameraDataStore &store = CameraDataStore::instance();
    store.resetForTests();
    for (int c = 0; c < kCameras; ++c) {
        const std::string machine = "BENCH" + std::to_string(c);
        store.publishSources({{machine, "PTZ", simulator.camera(c).address(), 5961}});
        // Uneven legs, so arrivals fall at every phase of the engine's passes.
        for (int w = 1; w <= kWayPoints; ++w) {
            const int pan = 200 * w + (37 * w * w + 11 * run) % 150 + 30 * c;
            bool added = false;
            store.storeWayPoint(machine + "(PTZ)",
                                WayPoint{pan, 10 * w, CameraMotion::FocusMinimum, 0, 1.0f}, w,
                                added);
        }
    }
}

std::vector<double> runOnce(CameraSimulator &simulator, int run)
{
    for (int c = 0; c < kCameras; ++c) {
        simulator.camera(c).placeAt({0, 0, 0, uint16_t(CameraMotion::FocusMinimum)});
        simulator.camera(c).clearRecords();
    }
    fileWayPoints(simulator, run);
    AutoPlayThread thread;
    thread.speedStep = AutoPlayThread::speedStepFromSlider(kSlider);
    thread.venue = "Bench Downs";
    thread.totalWayPoints = kWayPoints;
    thread.playList = CameraDataStore::instance().buildPlayList(1, kWayPoints);
    thread.loopCount = kLoops;
    thread.start();
    thread.wait();

    std::vector<std::vector<std::vector<MoveRecord>>> visits;
    for (int c = 0; c < kCameras; ++c)
        visits.push_back(visitsOf(simulator.camera(c)));
    const size_t count = visits[0].size();
    std::vector<double> gaps;
    for (size_t v = 0; v + 1 < count; ++v) {
        Clock::time_point lastArrival = visits[0][v].back().arrival;
        Clock::time_point next = visits[0][v + 1].front().received;
        for (const auto &camera : visits) {
            if (v + 1 < camera.size()) {
                lastArrival = std::max(lastArrival, camera[v].back().arrival);
                next = std::min(next, camera[v + 1].front().received);
            }
        }
        gaps.push_back(msBetween(lastArrival, next));
    }
    std::printf("run %d: %zu waypoint visits, %zu gaps\n", run, count, gaps.size());
    return gaps;
}

CameraSimulator::Config simulatorConfig()
{
    CameraSimulator::Config config;
    config.baseAddress = "127.0.6.1";
    config.cameraCount = kCameras;
    for (double pace : kPaces) {
        CameraProfile profile;
        profile.speedFactor = pace;
        config.profiles.push_back(profile);
    }
    return config;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    CameraSimulator simulator(simulatorConfig());
    std::string error;
    if (!simulator.start(error)) {
        std::fprintf(stderr, "bench_autoplay: %s\n", error.c_str());
        return 1;
    }
    std::printf("bench_autoplay: %d loops x %d waypoints, %d simulated cameras on %s and up, "
                "%d run(s)\n",
                kLoops, kWayPoints, kCameras, simulator.baseAddress().c_str(), runs);
    std::vector<double> gaps;
    for (int run = 1; run <= runs; ++run) {
        const std::vector<double> once = runOnce(simulator, run);
        gaps.insert(gaps.end(), once.begin(), once.end());
    }
    if (gaps.empty())
        return 1;
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps.size() % 2 ? gaps[gaps.size() / 2]
                                          : (gaps[gaps.size() / 2 - 1] + gaps[gaps.size() / 2]) / 2;
    std::printf("last arrival -> next waypoint's first move: median %.1f ms, max %.1f ms, "
                "min %.1f ms over %zu waypoints (poll interval %d ms)\n",
                median, gaps.back(), gaps.front(), gaps.size(), NodeRunner::kPollIntervalMs);
    return 0;
}
