// A whole race against the camera simulator (127.0.7.10 and up), through the program's own
// form, discovery, store, engine, report writer and LOAD: play list -> datagrams -> cameras
// moving -> report -> report loaded back -> the next run's speeds.
#include "automation/engine/autoplaythread.h"
#include "shell/appresources.h"
#include "store/cameradatastore.h"
#include "tools/camsim/camerasimulator.h"
#include "tools/camsim/racedriver.h"

#include <QtTest>

namespace {

constexpr int WayPoints = 6;
constexpr int Slider = 60; // the form's default: speed step 10

int cameraOf(const std::string &srcName) // "CAMSIM(PTZ Camera 2)" is camera 1
{
    return srcName[srcName.size() - 2] - '1';
}

} // namespace

class TestRace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reportOfARunSlowsTheFasterCamerasOfTheNext();

private:
    // Plays the loaded set-up; the report and each camera's commanded pan speeds.
    RunReportSummary run(std::vector<std::set<int>> &speeds);

    QTemporaryDir workDir;
    std::unique_ptr<CameraSimulator> simulator;
    std::unique_ptr<RaceDriver> driver;
    RaceDriver::Race race;
};

void TestRace::initTestCase()
{
    AppResources::initBundle();
    QDir::setCurrent(workDir.path()); // scripts and reports land here
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    CameraSimulator::Config config;
    config.baseAddress = "127.0.7.10";
    config.cameraCount = 3;
    config.speedScale = 6; // short moves keep the test quick
    for (int i = 0; i < config.cameraCount; ++i) {
        config.profiles.push_back(CameraSimulator::defaultProfile(i));
        config.profiles.back().speedFactor = 1.0 - 0.25 * i;
        config.profiles.back().videoFormat = "1080p25"; // lighter previews for sanitizer builds
    }
    simulator = std::make_unique<CameraSimulator>(config);
    std::string error;
    QVERIFY2(simulator->start(error), error.c_str());
    driver = std::make_unique<RaceDriver>(*simulator);
    QVERIFY(driver->waitForSources(10000));
    race = RaceDriver::alongTheCourse(*simulator, WayPoints, 2);
    QFile script(workDir.filePath("race.kva"));
    QVERIFY(script.open(QIODevice::WriteOnly) && script.write(driver->script(race)) > 0);
    script.close();
    QVERIFY(driver->load(script.fileName()));
}

RunReportSummary TestRace::run(std::vector<std::set<int>> &speeds)
{
    RaceDriver::placeAtLastWayPoint(*simulator, race);
    QString reportPath;
    RunReportSummary report;
    if (!driver->run(Slider, 90000, reportPath) || !RunReportSummary::read(reportPath, report))
        return report;
    speeds.assign(size_t(simulator->cameraCount()), {});
    for (int c = 0; c < simulator->cameraCount(); ++c) {
        SimCamera &camera = simulator->camera(c);
        const CameraMotion::Units at = camera.position(SimCamera::Clock::now());
        const CameraMotion::Units &target = race.targets.back()[size_t(c)];
        if (at.pan != target.pan || at.tilt != target.tilt || at.zoom != target.zoom)
            return RunReportSummary(); // the run ends with every camera at the last waypoint
        for (const MoveRecord &move : camera.panTiltMoves())
            speeds[size_t(c)].insert(move.panSpeed);
        camera.clearRecords();
    }
    return report;
}

// The first run plays every waypoint at the slider's speed and reports each camera's delta;
// loaded back as the set-up, the report slows the faster cameras of the next run.
void TestRace::reportOfARunSlowsTheFasterCamerasOfTheNext()
{
    const std::vector<WayPointEntry> playList = CameraDataStore::instance().buildPlayList(1, 1);
    for (const WayPointNode &node : playList.at(0).node)
        QCOMPARE(node.ip, simulator->camera(cameraOf(node.src_name)).address());
    std::vector<std::set<int>> speeds;
    const RunReportSummary firstRun = run(speeds);
    QCOMPARE(int(firstRun.wayPoints.size()), WayPoints);
    for (const WayPointTiming &wayPoint : firstRun.wayPoints) {
        QCOMPARE(int(wayPoint.nodes.size()), simulator->cameraCount());
        for (const NodeTiming &node : wayPoint.nodes)
            QVERIFY2(node.elapsedMs > 0 && node.delta > 0 && node.delta <= 1.0,
                     node.srcName.c_str());
    }
    QCOMPARE(speeds, std::vector<std::set<int>>(3, std::set<int>{10}));

    const QStringList reports = QDir("reports").entryList({"*.kva"}, QDir::Files);
    QVERIFY(reports.size() == 1 && driver->load(QDir("reports").filePath(reports.front())));
    const RunReportSummary secondRun = run(speeds);
    QCOMPARE(secondRun.wayPoints.size(), firstRun.wayPoints.size());
    // Each camera was commanded at the speed its first-run delta gives, waypoint by waypoint.
    std::vector<std::set<int>> expected(speeds.size());
    for (size_t w = 0; w < firstRun.wayPoints.size(); ++w) {
        for (const NodeTiming &before : firstRun.wayPoints[w].nodes) {
            const int speed = AutoPlayThread::visitSpeed(10, float(before.delta));
            expected[size_t(cameraOf(before.srcName))].insert(speed);
            const NodeTiming *after = secondRun.wayPoints[w].node(before.srcName);
            QVERIFY2(after && after->panSpeed == speed, before.srcName.c_str());
        }
    }
    QCOMPARE(speeds, expected);
    // At every waypoint the slowest camera kept full speed and some other one was slowed.
    std::set<int> all;
    for (const std::set<int> &cameraSpeeds : expected)
        all.insert(cameraSpeeds.begin(), cameraSpeeds.end());
    QVERIFY(all.count(10) && *all.begin() < 10);
}

QTEST_MAIN(TestRace)
#include "tst_race.moc"
