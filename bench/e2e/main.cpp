// Races against the camera simulator through the program's form, engine, store, report writer
// and LOAD, measured as a viewer sees them: by the simulated cameras' own clocks. Two sets of
// heads alike but for their pace (3 cameras at 1.0, 0.675 and 0.35; 10 cameras from 1.0 down
// to 0.35), six waypoints 700 to 1000 pan units apart, two loops; a START run, its report
// loaded, the same race again. Prints per waypoint play how far apart the cameras were sent
// their moves and how far apart they arrived, and each run's time against its physical limit.
// Each set plays in a process of its own, on its own loopback addresses.
//
//   bench_race [--slider 6..100] [--speed-scale factor] [--verbose]
//              [--cameras n --base 127.x.y.z]   (one set only)
#include "automation/engine/autoplaythread.h"
#include "shell/appresources.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/racedriver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int WayPoints = 6;
constexpr int Loops = 2;
constexpr int Plays = WayPoints * Loops;
constexpr double SlowestPace = 0.35;
// Pan and tilt of each waypoint from a camera's own centre: 750 to 900 pan units from one
// waypoint to the next, the last back to the first included, and a little tilt.
constexpr int PanCourse[WayPoints] = {0, 850, -50, 800, -100, 750};
constexpr int TiltCourse[WayPoints] = {0, 20, -10, 25, 0, 15};
// What a viewer needs: moves that leave together, arrivals together, and no time lost.
constexpr int StaggerTargetMs = 20;
constexpr int SpreadTargetMs = 150;
constexpr double RunTimeTarget = 1.15;

struct Options
{
    int slider = 60;
    double speedScale = 1.0;
    int cameras = 0; // 0: both sets, each in a child process
    std::string base = "127.0.8.10";
    bool verbose = false;
};

Options parse(int argc, char *argv[])
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        const char *value = argv[++i];
        if (name == "--slider")
            options.slider = std::clamp(std::atoi(value), 6, 100);
        else if (name == "--speed-scale")
            options.speedScale = std::max(0.1, std::atof(value));
        else if (name == "--cameras")
            options.cameras = std::clamp(std::atoi(value), 1, 16);
        else if (name == "--base")
            options.base = value;
    }
    return options;
}

int64_t ms(Clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

int64_t us(Clock::duration d)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
}

int64_t median(std::vector<int64_t> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double paceOf(int camera, int cameras)
{
    return cameras < 2 ? 1.0 : 1.0 - (1.0 - SlowestPace) * camera / (cameras - 1);
}

// Camera c looks at its own part of the course; its steps are 0.95 to 1.05 times the course's.
RaceDriver::Race panSweep(int cameras)
{
    RaceDriver::Race race;
    race.loops = Loops;
    for (int w = 0; w < WayPoints; ++w) {
        std::vector<CameraMotion::Units> row;
        for (int c = 0; c < cameras; ++c) {
            const double scale = 0.95 + 0.05 * (c % 3);
            const long pan = 4000 - 600 * c + std::lround(PanCourse[w] * scale);
            const long tilt = -150 + 10 * c + TiltCourse[w];
            row.push_back({uint16_t(int16_t(pan)), uint16_t(int16_t(tilt)),
                           uint16_t(0x0C00 + 0x100 * w + 0x100 * c),
                           uint16_t(CameraMotion::FocusMinimum)});
        }
        race.targets.push_back(row);
    }
    return race;
}

// One camera at one waypoint play, by the camera's clock: its first move command, the arrival
// of the last (a re-send continues the same move) and the speed it was first sent.
struct Play
{
    bool seen = false;
    Clock::time_point received;
    Clock::time_point arrival;
    CameraMotion::Units from;
    int speed = 0;
    int sends = 0;
};

bool sameTarget(const CameraMotion::Units &a, const CameraMotion::Units &b)
{
    return std::abs(int16_t(a.pan) - int16_t(b.pan)) <= 1 &&
           std::abs(int16_t(a.tilt) - int16_t(b.tilt)) <= 1;
}

std::vector<Play> playsOf(const SimCamera &camera, const RaceDriver::Race &race)
{
    std::vector<Play> plays(Plays);
    const size_t c = size_t(camera.index());
    size_t p = 0;
    for (const MoveRecord &move : camera.panTiltMoves()) {
        while (p < plays.size() && !sameTarget(move.to, race.targets[p % WayPoints][c]))
            ++p;
        if (p == plays.size())
            break;
        Play &play = plays[p];
        if (!play.seen)
            play = {true, move.received, move.arrival, move.from, move.panSpeed, 0};
        play.arrival = move.arrival;
        ++play.sends;
    }
    return plays;
}

struct RunFigures
{
    RunReportSummary report;
    std::vector<std::vector<Play>> plays; // [camera][play]
    std::vector<int64_t> stagger;         // µs per play, net of the holds the engine planned
    std::vector<int64_t> spread;          // ms per play
    int64_t limitMs = 0;
    int resends = 0;
};

// The report's node for a camera at a waypoint: the values of the run's last loop.
const NodeTiming *reported(const RunReportSummary &report, int wayPoint, int camera)
{
    if (size_t(wayPoint) >= report.wayPoints.size())
        return nullptr;
    return report.wayPoints[size_t(wayPoint)].node(RaceDriver::displayName(camera));
}

int holdOf(const RunReportSummary &report, int wayPoint, int camera)
{
    const NodeTiming *node = reported(report, wayPoint, camera);
    return node ? node->holdMs : 0;
}

// First to last camera, over the cameras that played it.
Clock::duration extent(const std::vector<Clock::time_point> &times)
{
    if (times.empty())
        return Clock::duration::zero();
    const auto bounds = std::minmax_element(times.begin(), times.end());
    return *bounds.second - *bounds.first;
}

void measure(const CameraSimulator &simulator, const RaceDriver::Race &race, RunFigures &run)
{
    for (int c = 0; c < simulator.cameraCount(); ++c)
        run.plays.push_back(playsOf(simulator.camera(c), race));
    for (int p = 0; p < Plays; ++p) {
        std::vector<Clock::time_point> sent;
        std::vector<Clock::time_point> arrived;
        int64_t slowest = 0;
        for (int c = 0; c < simulator.cameraCount(); ++c) {
            const Play &play = run.plays[size_t(c)][size_t(p)];
            if (!play.seen)
                continue;
            const int hold = holdOf(run.report, p % WayPoints, c);
            sent.push_back(play.received - std::chrono::milliseconds(hold));
            arrived.push_back(play.arrival);
            slowest = std::max(
                slowest,
                ms(simulator.camera(c).panTiltTravelTime(
                    play.from, race.targets[size_t(p % WayPoints)][size_t(c)], play.speed)));
            run.resends += play.sends - 1;
        }
        run.stagger.push_back(us(extent(sent)));
        run.spread.push_back(ms(extent(arrived)));
        run.limitMs += slowest;
    }
}

bool playRun(RaceDriver &driver, CameraSimulator &simulator, const RaceDriver::Race &race,
             int slider, RunFigures &figures, QString &reportPath)
{
    for (int c = 0; c < simulator.cameraCount(); ++c)
        simulator.camera(c).clearRecords();
    RaceDriver::placeAtLastWayPoint(simulator, race);
    if (!driver.run(slider, 30 * 60 * 1000, reportPath) ||
        !RunReportSummary::read(reportPath, figures.report))
        return false;
    measure(simulator, race, figures);
    return true;
}

void printCameraPlay(const RunFigures &run, int p, int c, Clock::time_point first)
{
    const Play &play = run.plays[size_t(c)][size_t(p)];
    if (!play.seen) {
        std::printf("  c%d -", c + 1);
        return;
    }
    std::printf("  c%d %d/%d %lld %lld", c + 1, holdOf(run.report, p % WayPoints, c), play.speed,
                static_cast<long long>(ms(play.received - first)),
                static_cast<long long>(ms(play.arrival - first)));
    const NodeTiming *node = reported(run.report, p % WayPoints, c);
    if (p >= (Loops - 1) * WayPoints && node)
        std::printf(" e%d", node->travelMs);
}

// Per camera at every play: hold/speed, sent and arrived from the play's first command, and
// in the last loop the travel the engine measured (e): the camera's own is arrived - sent.
void printDetail(const RunFigures &run, const char *title)
{
    std::printf("\n%s: per camera hold/speed, sent +ms, arrived +ms (camera clock), "
                "e travel the engine saw\n",
                title);
    for (int p = 0; p < Plays; ++p) {
        Clock::time_point first = Clock::time_point::max();
        for (const auto &plays : run.plays)
            if (plays[size_t(p)].seen)
                first = std::min(first, plays[size_t(p)].received);
        std::printf("%d.%d", p / WayPoints + 1, p % WayPoints + 1);
        for (int c = 0; c < int(run.plays.size()); ++c)
            printCameraPlay(run, p, c, first);
        std::printf("\n");
    }
}

double ratio(int elapsedMs, int64_t limitMs)
{
    return double(elapsedMs) / double(std::max<int64_t>(1, limitMs));
}

void printRunTimes(const RunFigures &first, const RunFigures &second)
{
    std::printf("run 1: %d ms, physical limit %lld ms at the speeds sent (%.2fx), re-sends %d\n",
                first.report.elapsedMs, static_cast<long long>(first.limitMs),
                ratio(first.report.elapsedMs, first.limitMs), first.resends);
    std::printf("run 2: %d ms, physical limit %lld ms at the speeds sent (%.2fx), re-sends %d;\n"
                "       %.2fx the first run's limit (its speeds: every camera at the step)\n",
                second.report.elapsedMs, static_cast<long long>(second.limitMs),
                ratio(second.report.elapsedMs, second.limitMs), second.resends,
                ratio(second.report.elapsedMs, first.limitMs));
}

void printRow(const char *play, int64_t stagger1, int64_t spread1, int64_t stagger2,
              int64_t spread2)
{
    std::printf("%-6s %7.1f ms %8lld ms %7.1f ms %8lld ms\n", play, double(stagger1) / 1000,
                static_cast<long long>(spread1), double(stagger2) / 1000,
                static_cast<long long>(spread2));
}

void printTable(const RunFigures &first, const RunFigures &second)
{
    std::printf("\n%-6s %22s %22s\n", "", "first run", "after the report");
    std::printf("%-6s %10s %11s %10s %11s\n", "play", "stagger", "spread", "stagger*", "spread");
    for (size_t p = 0; p < size_t(Plays); ++p) {
        const std::string play =
            std::to_string(p / WayPoints + 1) + "." + std::to_string(p % WayPoints + 1);
        printRow(play.c_str(), first.stagger[p], first.spread[p], second.stagger[p],
                 second.spread[p]);
    }
    printRow("median", median(first.stagger), median(first.spread), median(second.stagger),
             median(second.spread));
    std::printf("(play loop.waypoint; stagger: first to last camera to receive its move, "
                "* net of the hold the report planned;\n spread: first to last camera to reach "
                "its target)\n\n");
    printRunTimes(first, second);
}

void printTargets(int cameras, const RunFigures &first, const RunFigures &second)
{
    const auto verdict = [](bool met) { return met ? "met" : "NOT met"; };
    const double worstStagger =
        double(*std::max_element(first.stagger.begin(), first.stagger.end())) / 1000;
    const int64_t spread = median(second.spread);
    const double ratio1 = ratio(first.report.elapsedMs, first.limitMs);
    const double ratio2 = ratio(second.report.elapsedMs, second.limitMs);
    std::printf("\ntargets, %d cameras:\n", cameras);
    std::printf("  dispatch stagger under %d ms (first run, worst play): %s (%.1f ms)\n",
                StaggerTargetMs, verdict(worstStagger < StaggerTargetMs), worstStagger);
    std::printf("  median arrival spread after one report under %d ms: %s (%lld ms)\n",
                SpreadTargetMs, verdict(spread < SpreadTargetMs), static_cast<long long>(spread));
    std::printf("  run time at most %.2fx the physical limit: run 1 %s (%.2fx), run 2 %s (%.2fx)\n",
                RunTimeTarget, verdict(ratio1 <= RunTimeTarget), ratio1,
                verdict(ratio2 <= RunTimeTarget), ratio2);
}

CameraSimulator::Config simulatorConfig(const Options &options)
{
    CameraSimulator::Config config;
    config.baseAddress = options.base;
    config.cameraCount = options.cameras;
    config.speedScale = options.speedScale;
    for (int c = 0; c < config.cameraCount; ++c) {
        CameraProfile profile = CameraSimulator::defaultProfile(c);
        profile.model = CameraModel::r520();
        profile.speedFactor = paceOf(c, config.cameraCount);
        profile.videoFormat = "1080p25"; // light previews: the machine's time goes to the race
        config.profiles.push_back(profile);
    }
    return config;
}

// The shortest and the longest pan step from one waypoint to the next, loops included.
std::pair<int, int> panSteps(const RaceDriver::Race &race)
{
    std::pair<int, int> steps{INT32_MAX, 0};
    for (size_t w = 0; w < race.targets.size(); ++w) {
        const auto &from = race.targets[(w + race.targets.size() - 1) % race.targets.size()];
        for (size_t c = 0; c < from.size(); ++c) {
            const int step = std::abs(int16_t(race.targets[w][c].pan) - int16_t(from[c].pan));
            steps = {std::min(steps.first, step), std::max(steps.second, step)};
        }
    }
    return steps;
}

void printHeading(const Options &options, const RaceDriver::Race &race)
{
    std::printf("\n== %d cameras, %s and up, R520 heads at pace", options.cameras,
                options.base.c_str());
    for (int c = 0; c < options.cameras; ++c)
        std::printf(" %.3f", paceOf(c, options.cameras));
    const std::pair<int, int> steps = panSteps(race);
    std::printf("\n%d waypoints %d to %d pan units apart, %d loops, slider %d (speed step %d), "
                "speed scale %.2f\n",
                WayPoints, steps.first, steps.second, Loops, options.slider,
                AutoPlayThread::speedStepFromSlider(options.slider), options.speedScale);
}

int fail(const char *why)
{
    std::fprintf(stderr, "bench_race: %s\n", why);
    return 1;
}

// One set of cameras: the first run, its report loaded, the second run.
int playScenario(const Options &options)
{
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());
    CameraSimulator simulator(simulatorConfig(options));
    std::string error;
    if (!simulator.start(error))
        return fail(error.c_str());
    RaceDriver driver(simulator);
    const RaceDriver::Race race = panSweep(options.cameras);
    QFile script(workDir.filePath("race.kva"));
    if (!driver.waitForSources(20000) || !script.open(QIODevice::WriteOnly))
        return fail("the simulated cameras were not discovered");
    script.write(driver.script(race));
    script.close();

    RunFigures first;
    RunFigures second;
    QString report;
    if (!driver.load(script.fileName()) ||
        !playRun(driver, simulator, race, options.slider, first, report) || !driver.load(report) ||
        !playRun(driver, simulator, race, options.slider, second, report))
        return fail("a run did not complete");
    printHeading(options, race);
    printTable(first, second);
    if (options.verbose) {
        printDetail(first, "first run");
        printDetail(second, "after the report");
    }
    printTargets(options.cameras, first, second);
    std::fflush(stdout);
    return 0;
}

// Each set in a process of its own: the form, its discovery and the store are one per process.
int playBothSets(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const struct
    {
        const char *cameras;
        const char *base;
    } sets[] = {{"3", "127.0.8.10"}, {"10", "127.0.9.10"}};
    int status = 0;
    for (const auto &set : sets) {
        QStringList arguments = app.arguments().mid(1);
        arguments << "--cameras" << set.cameras << "--base" << set.base;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), arguments);
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0)
            status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options = parse(argc, argv);
    if (options.base.rfind("127.", 0) != 0)
        return fail("the simulated cameras live on loopback: --base 127.x.y.z");
    if (options.cameras == 0)
        return playBothSets(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    QApplication app(argc, argv);
    AppResources::initBundle();
    return playScenario(options);
}
