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
constexpr int Loops = 2;
constexpr int Slider = 60; // the form's default: speed step 10
constexpr int RunTimeoutMs = 90000;

CameraSimulator::Config config()
{
    CameraSimulator::Config c;
    c.baseAddress = "127.0.7.10";
    c.cameraCount = 3;
    c.speedScale = 6; // short moves keep the test quick
    const double factors[] = {1.0, 0.75, 0.5};
    for (int i = 0; i < c.cameraCount; ++i) {
        c.profiles.push_back(CameraSimulator::defaultProfile(i));
        c.profiles.back().speedFactor = factors[i];
        c.profiles.back().videoFormat = "1080p25"; // lighter previews for sanitizer builds
    }
    return c;
}

int cameraOf(const std::string &srcName)
{
    for (int c = 0; c < 3; ++c) {
        if (srcName == RaceDriver::displayName(c))
            return c;
    }
    return -1;
}

std::set<int> commandedSpeeds(const SimCamera &camera)
{
    std::set<int> speeds;
    for (const MoveRecord &move : camera.panTiltMoves())
        speeds.insert(move.panSpeed);
    return speeds;
}

} // namespace

class TestRace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstRunMovesEveryCameraAndReports();
    void reportLoadedAsTheSetUpSlowsTheFasterCameras();

private:
    void checkCamerasEndAtLastWayPoint();

    QTemporaryDir workDir;
    QString previousDir;
    std::unique_ptr<CameraSimulator> simulator;
    std::unique_ptr<RaceDriver> driver;
    RaceDriver::Race race;
    RunReportSummary firstRun;
};

void TestRace::initTestCase()
{
    AppResources::initBundle();
    QVERIFY(workDir.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(workDir.path()); // scripts and reports land here
    qputenv("NDI_RUNTIME_DIR_V6", TREVALO_CAMSIM_RUNTIME_DIR);
    CameraDataStore::instance().resetForTests();

    simulator = std::make_unique<CameraSimulator>(config());
    std::string error;
    QVERIFY2(simulator->start(error), error.c_str());
    driver = std::make_unique<RaceDriver>(*simulator);
    QVERIFY(driver->waitForSources(10000));

    race = RaceDriver::alongTheCourse(*simulator, WayPoints, Loops);
    QFile script(workDir.filePath("race.kva"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(driver->script(race));
    script.close();
    QVERIFY(driver->load(script.fileName()));
}

void TestRace::cleanupTestCase()
{
    driver.reset();
    simulator.reset();
    QDir::setCurrent(previousDir);
}

void TestRace::checkCamerasEndAtLastWayPoint()
{
    for (int c = 0; c < simulator->cameraCount(); ++c) {
        const CameraMotion::Units at = simulator->camera(c).position(SimCamera::Clock::now());
        const CameraMotion::Units &target = race.targets.back()[size_t(c)];
        QCOMPARE(at.pan, target.pan);
        QCOMPARE(at.tilt, target.tilt);
        QCOMPARE(at.zoom, target.zoom);
        // The run ends with stop commands to every camera.
        const auto counts = simulator->camera(c).requestCounts();
        QVERIFY(counts.count(ViscaWire::Kind::PanTiltDrive));
        QVERIFY(counts.count(ViscaWire::Kind::ZoomDrive));
        QVERIFY(counts.count(ViscaWire::Kind::FocusDrive));
    }
}

void TestRace::firstRunMovesEveryCameraAndReports()
{
    const std::vector<WayPointEntry> playList = CameraDataStore::instance().buildPlayList(1, 6);
    QCOMPARE(int(playList.size()), WayPoints);
    for (const WayPointNode &node : playList.front().node)
        QCOMPARE(node.ip, simulator->camera(cameraOf(node.src_name)).address());

    RaceDriver::placeAtLastWayPoint(*simulator, race);
    QString reportPath;
    QVERIFY(driver->run(Slider, RunTimeoutMs, reportPath));
    QVERIFY(RunReportSummary::read(reportPath, firstRun));
    QCOMPARE(int(firstRun.wayPoints.size()), WayPoints);
    for (const WayPointTiming &wayPoint : firstRun.wayPoints) {
        QCOMPARE(int(wayPoint.nodes.size()), simulator->cameraCount());
        double slowest = 0;
        for (const NodeTiming &node : wayPoint.nodes) {
            QVERIFY2(node.elapsedMs > 0, node.srcName.c_str());
            QCOMPARE(node.panSpeed, AutoPlayThread::speedStepFromSlider(Slider));
            QVERIFY(node.delta > 0 && node.delta <= 1.0);
            slowest = std::max(slowest, node.delta);
        }
        QCOMPARE(slowest, 1.0);
    }
    checkCamerasEndAtLastWayPoint();
    for (int c = 0; c < simulator->cameraCount(); ++c) {
        QCOMPARE(commandedSpeeds(simulator->camera(c)), std::set<int>{10});
        // Every waypoint of both loops was commanded (re-sends may add more).
        QVERIFY(simulator->camera(c).panTiltMoves().size() >= size_t(WayPoints * Loops));
    }
}

// Loading the first run's report sets each camera's delta; the next run's speeds show them.
void TestRace::reportLoadedAsTheSetUpSlowsTheFasterCameras()
{
    QVERIFY(!firstRun.wayPoints.empty());
    const QStringList reports = QDir("reports").entryList({"*.kva"}, QDir::Files);
    QCOMPARE(reports.size(), 1);
    QVERIFY(driver->load(QDir("reports").filePath(reports.front())));
    for (int c = 0; c < simulator->cameraCount(); ++c)
        simulator->camera(c).clearRecords();
    RaceDriver::placeAtLastWayPoint(*simulator, race);
    QString reportPath;
    QVERIFY(driver->run(Slider, RunTimeoutMs, reportPath));
    RunReportSummary secondRun;
    QVERIFY(RunReportSummary::read(reportPath, secondRun));
    QCOMPARE(secondRun.wayPoints.size(), firstRun.wayPoints.size());

    // Each camera was commanded at the speed its first-run delta gives, waypoint by waypoint.
    std::vector<std::set<int>> expected(size_t(simulator->cameraCount()));
    for (size_t w = 0; w < firstRun.wayPoints.size(); ++w) {
        for (const NodeTiming &before : firstRun.wayPoints[w].nodes) {
            const int speed = AutoPlayThread::visitSpeed(10, float(before.delta));
            expected[size_t(cameraOf(before.srcName))].insert(speed);
            const auto after = std::find_if(
                secondRun.wayPoints[w].nodes.begin(), secondRun.wayPoints[w].nodes.end(),
                [&](const NodeTiming &n) { return n.srcName == before.srcName; });
            QVERIFY2(after != secondRun.wayPoints[w].nodes.end(), before.srcName.c_str());
            QCOMPARE(after->panSpeed, speed);
        }
    }
    for (int c = 0; c < simulator->cameraCount(); ++c)
        QCOMPARE(commandedSpeeds(simulator->camera(c)), expected[size_t(c)]);
    // At every waypoint the slowest camera kept full speed and some other one was slowed.
    std::set<int> all;
    for (const std::set<int> &speeds : expected)
        all.insert(speeds.begin(), speeds.end());
    QVERIFY(all.count(10));
    QVERIFY(*all.begin() < 10);
    checkCamerasEndAtLastWayPoint();
}

QTEST_MAIN(TestRace)
#include "tst_race.moc"
