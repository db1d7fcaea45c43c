// How soon the engine moves on once a waypoint's slowest camera is there: for every waypoint
// of a run, the time from the last camera's arrival at its target to the engine's first
// command of the next waypoint. Each camera is polled on its own every few tens of
// milliseconds, so the gap is about one poll interval.

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "automation/engine/noderunner.h"
#include "automation_engine/enginerun.h"
#include "support/movingcamera.h"

namespace {

constexpr int kCameras = 3;
constexpr int kWayPoints = 6;
constexpr int kLoops = 3;
const double kPaces[kCameras] = {0.05, 0.08, 0.12}; // units per ms per speed step

using Clock = MovingCamera::Clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A camera's moves, one group per waypoint visit (re-sends share their visit's target).
std::vector<std::vector<MovingCamera::Move>> visitsOf(const MovingCamera &camera)
{
    std::vector<std::vector<MovingCamera::Move>> visits;
    for (const MovingCamera::Move &move : camera.moves()) {
        const bool sameTarget = !visits.empty() && visits.back().back().pan == move.pan &&
                                visits.back().back().tilt == move.tilt;
        if (!sameTarget)
            visits.emplace_back();
        visits.back().push_back(move);
    }
    return visits;
}

// The first exchange of a visit is the first camera's position inquiry, just before its move.
Clock::time_point firstCommandOf(const MovingCamera &camera, const MovingCamera::Move &move)
{
    for (const ViscaRequest &request : camera.requests())
        if (request.sequence + 1 == move.sequence && request.kind == ViscaRequest::PanTiltInq)
            return request.arrival;
    return move.commanded;
}

std::vector<double> runOnce(int run)
{
    CameraDataStore::instance().resetForTests();
    std::vector<std::unique_ptr<MovingCamera>> cameras;
    for (int c = 0; c < kCameras; ++c) {
        const std::string ip = "127.0.6." + std::to_string(c + 1);
        cameras.push_back(std::make_unique<MovingCamera>(ip, kPaces[c]));
        const std::string name = EngineSetup::discover("BENCH" + std::to_string(c), ip);
        // Uneven legs, so arrivals fall at every phase of the engine's passes.
        for (int w = 1; w <= kWayPoints; ++w)
            EngineSetup::file(name, w, uint16_t(200 * w + (37 * w * w + 11 * run) % 150 + 30 * c),
                              uint16_t(100 * w));
    }

    AutoPlayThread thread;
    EngineSetup::configure(thread, 1, kWayPoints, 60, kLoops, false);
    thread.start();
    thread.wait();

    std::vector<std::vector<std::vector<MovingCamera::Move>>> visits;
    for (const auto &camera : cameras)
        visits.push_back(visitsOf(*camera));
    const size_t count = visits[0].size();
    std::vector<double> gaps;
    for (size_t v = 0; v + 1 < count; ++v) {
        Clock::time_point lastArrival = visits[0][v].back().arrival;
        for (const auto &camera : visits)
            if (v < camera.size())
                lastArrival = std::max(lastArrival, camera[v].back().arrival);
        const Clock::time_point next = firstCommandOf(*cameras[0], visits[0][v + 1].front());
        gaps.push_back(msBetween(lastArrival, next));
    }
    std::printf("run %d: %zu waypoint visits, %zu gaps\n", run, count, gaps.size());
    return gaps;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    std::printf("bench_autoplay: %d loops x %d waypoints, %d moving cameras on 127.0.6.x, "
                "%d run(s)\n",
                kLoops, kWayPoints, kCameras, runs);
    std::vector<double> gaps;
    for (int run = 1; run <= runs; ++run) {
        const std::vector<double> once = runOnce(run);
        gaps.insert(gaps.end(), once.begin(), once.end());
    }
    if (gaps.empty())
        return 1;
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps.size() % 2 ? gaps[gaps.size() / 2]
                                          : (gaps[gaps.size() / 2 - 1] + gaps[gaps.size() / 2]) / 2;
    std::printf("last arrival -> next waypoint's first command: median %.1f ms, max %.1f ms, "
                "min %.1f ms over %zu waypoints (poll interval %d ms)\n",
                median, gaps.back(), gaps.front(), gaps.size(), NodeRunner::kPollIntervalMs);
    return 0;
}
