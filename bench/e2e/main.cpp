// A real race against the camera simulator (127.0.8.10 and up) through the program's form,
// engine, store, report writer and LOAD: three cameras of different speeds, six waypoints,
// two loops; a START run, its report loaded, the same race again. Prints, per waypoint, how far
// apart the cameras arrived in each run, and each run's time against its physical limit.
//
//   bench_race [--slider 6..100] [--speed-scale factor]
#include "automation/autoplaythread.h"
#include "shell/appresources.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/racedriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr int WayPoints = 6;
constexpr int Loops = 2;
const double SpeedFactors[] = {1.0, 0.75, 0.5};

struct Options
{
    int slider = 60;
    double speedScale = 1.0;
};

Options parse(int argc, char *argv[])
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--slider"))
            options.slider = std::clamp(std::atoi(argv[i + 1]), 6, 100);
        else if (!std::strcmp(argv[i], "--speed-scale"))
            options.speedScale = std::max(0.1, std::atof(argv[i + 1]));
    }
    return options;
}

int64_t ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

int median(std::vector<int> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Each waypoint play of one camera: from its first move command to the arrival of the last
// (re-sends at another speed continue the same move).
std::vector<int64_t> travelTimes(const SimCamera &camera)
{
    std::vector<int64_t> times;
    const std::vector<MoveRecord> moves = camera.panTiltMoves();
    for (size_t i = 0; i < moves.size();) {
        size_t j = i;
        while (j + 1 < moves.size() && moves[j + 1].to.pan == moves[i].to.pan &&
               moves[j + 1].to.tilt == moves[i].to.tilt)
            ++j;
        times.push_back(ms(moves[j].arrival - moves[i].received));
        i = j + 1;
    }
    return times;
}

// Per waypoint of the last loop, slowest minus fastest travel as the cameras moved.
std::vector<int> travelSpreads(const CameraSimulator &simulator)
{
    std::vector<int> spreads(WayPoints, 0);
    std::vector<std::vector<int64_t>> perCamera;
    for (int c = 0; c < simulator.cameraCount(); ++c)
        perCamera.push_back(travelTimes(simulator.camera(c)));
    for (int w = 0; w < WayPoints; ++w) {
        int64_t low = INT64_MAX;
        int64_t high = 0;
        for (const auto &times : perCamera) {
            const size_t play = size_t((Loops - 1) * WayPoints + w);
            if (play < times.size()) {
                low = std::min(low, times[play]);
                high = std::max(high, times[play]);
            }
        }
        spreads[size_t(w)] = low == INT64_MAX ? 0 : int(high - low);
    }
    return spreads;
}

// The sum over the waypoint plays of the slowest camera's travel at full commanded speed:
// no controller can finish the race sooner.
int64_t physicalLimitMs(const CameraSimulator &simulator, const RaceDriver::Race &race, int step)
{
    int64_t total = 0;
    for (int loop = 0; loop < Loops; ++loop) {
        for (int w = 0; w < WayPoints; ++w) {
            const auto &from = race.targets[size_t((w + WayPoints - 1) % WayPoints)];
            int64_t slowest = 0;
            for (int c = 0; c < simulator.cameraCount(); ++c)
                slowest = std::max(slowest,
                                   ms(simulator.camera(c).panTiltTravelTime(
                                       from[size_t(c)], race.targets[size_t(w)][size_t(c)], step)));
            total += slowest;
        }
    }
    return total;
}

struct RunFigures
{
    RunReportSummary report;
    std::vector<int> travelSpreads;
};

bool playRun(RaceDriver &driver, CameraSimulator &simulator, const RaceDriver::Race &race,
             int slider, RunFigures &figures, QString &reportPath)
{
    for (int c = 0; c < simulator.cameraCount(); ++c)
        simulator.camera(c).clearRecords();
    RaceDriver::placeAtLastWayPoint(simulator, race);
    if (!driver.run(slider, 30 * 60 * 1000, reportPath) ||
        !RunReportSummary::read(reportPath, figures.report))
        return false;
    figures.travelSpreads = travelSpreads(simulator);
    return true;
}

void printFigures(const RunFigures &first, const RunFigures &second, int64_t limit)
{
    std::printf("\n%-9s %18s %18s %18s %18s\n", "waypoint", "spread run 1", "after report",
                "travel spread 1", "travel spread 2");
    std::vector<int> spreads[2];
    for (size_t w = 0; w < first.report.wayPoints.size(); ++w) {
        const int a = first.report.wayPoints[w].spreadMs();
        const int b =
            w < second.report.wayPoints.size() ? second.report.wayPoints[w].spreadMs() : 0;
        spreads[0].push_back(a);
        spreads[1].push_back(b);
        std::printf("%-9d %15d ms %15d ms %15d ms %15d ms\n", first.report.wayPoints[w].preset, a,
                    b, first.travelSpreads[w], second.travelSpreads[w]);
    }
    std::printf("%-9s %15d ms %15d ms %15d ms %15d ms\n", "median", median(spreads[0]),
                median(spreads[1]), median(first.travelSpreads), median(second.travelSpreads));
    std::printf("\nrun 1: %d ms, physical limit %lld ms (%.2fx)\n", first.report.elapsedMs,
                static_cast<long long>(limit), double(first.report.elapsedMs) / double(limit));
    std::printf("run 2: %d ms, physical limit %lld ms (%.2fx)\n", second.report.elapsedMs,
                static_cast<long long>(limit), double(second.report.elapsedMs) / double(limit));
    std::printf("target: median spread after one report under 200 ms: %s (%d ms)\n",
                median(spreads[1]) < 200 ? "met" : "NOT met", median(spreads[1]));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    QApplication app(argc, argv);
    AppResources::initBundle();
    const Options options = parse(argc, argv);
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());

    CameraSimulator::Config config;
    config.baseAddress = "127.0.8.10";
    config.cameraCount = 3;
    config.speedScale = options.speedScale;
    for (int i = 0; i < config.cameraCount; ++i) {
        config.profiles.push_back(CameraSimulator::defaultProfile(i));
        config.profiles.back().speedFactor = SpeedFactors[i];
    }
    CameraSimulator simulator(config);
    std::string error;
    if (!simulator.start(error)) {
        std::fprintf(stderr, "bench_race: %s\n", error.c_str());
        return 1;
    }
    RaceDriver driver(simulator);
    const RaceDriver::Race race = RaceDriver::alongTheCourse(simulator, WayPoints, Loops);
    QFile script(workDir.filePath("race.kva"));
    if (!driver.waitForSources(10000) || !script.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "bench_race: the simulated cameras were not discovered\n");
        return 1;
    }
    script.write(driver.script(race));
    script.close();

    const int step = AutoPlayThread::speedStepFromSlider(options.slider);
    std::printf("race: 3 cameras (R520 x1.00, P310 x0.75, R520 x0.50), %d waypoints, %d loops, "
                "slider %d (speed step %d), speed scale %.2f\n",
                WayPoints, Loops, options.slider, step, options.speedScale);
    RunFigures first;
    RunFigures second;
    QString report;
    if (!driver.load(script.fileName()) ||
        !playRun(driver, simulator, race, options.slider, first, report) || !driver.load(report) ||
        !playRun(driver, simulator, race, options.slider, second, report)) {
        std::fprintf(stderr, "bench_race: a run did not complete\n");
        return 1;
    }
    printFigures(first, second, physicalLimitMs(simulator, race, step));
    return 0;
}
