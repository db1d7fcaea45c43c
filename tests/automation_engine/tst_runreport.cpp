#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "automation/engine/runchartdata.h"
#include "automation/engine/runreport.h"
#include "automation_engine/enginerun.h"

namespace {

// A camera seen at its target `elapsed` ms after the waypoint's start, its move having taken
// `travel` ms at `speed`; travel 0: it never arrived.
WayPointNode timedNode(const std::string &name, int32_t elapsed, int32_t travel, int32_t speed)
{
    WayPointNode node;
    node.src_name = name;
    node.ip = "192.0.2.1";
    node.start = QTime(10, 0, 0, 5);
    node.end = node.start.addMSecs(elapsed);
    node.elapsed = elapsed;
    node.arrived = travel > 0;
    node.travelMs = travel;
    node.moveSpeed = speed;
    return node;
}

WayPointEntry entryWith(uint16_t preset, const QList<int> &elapsed, QList<int> travel = {},
                        QList<int> speeds = {})
{
    WayPointEntry entry;
    entry.preset = preset;
    for (int i = 0; i < elapsed.size(); ++i)
        entry.node.push_back(timedNode("CAM" + std::to_string(i) + "(PTZ)", elapsed[i],
                                       travel.value(i, elapsed[i]), speeds.value(i, 10)));
    return entry;
}

WayPointNode givenUpNode(const std::string &name)
{
    WayPointNode node = timedNode(name, 0, 0, 10);
    node.givenUp = true;
    return node;
}

// Each play as "preset: camera=ms ...", "x" for given up, "-" for not arrived, "*" after the
// slowest, then "~spread".
QString chartText(const RunChartData &data)
{
    QStringList plays;
    for (const RunChartData::Play &play : data.plays) {
        QString text = QString::number(play.preset) + ":";
        for (size_t i = 0; i < play.arrivals.size(); ++i) {
            const RunChartData::Arrival &a = play.arrivals[i];
            text += " " + a.camera + "=" +
                    (a.givenUp   ? "x"
                     : a.arrived ? QString::number(a.msec)
                                 : "-") +
                    (int(i) == play.slowest ? "*" : "");
        }
        plays << text + " ~" + QString::number(play.spreadMsec);
    }
    return plays.join(" | ");
}

} // namespace

class TestRunReport : public QObject
{
    Q_OBJECT

private slots:
    void init() { workDir = std::make_unique<TempWorkDir>(); }
    void cleanup() { workDir.reset(); }

    void fileName_data();
    void fileName();
    void pathFallsBackToTheWorkingDirectory();
    void scalarValues_data();
    void scalarValues();
    void wayPointTimes_data();
    void wayPointTimes();
    void nodeValues();
    void writeFailureLeavesNoShortFile();
    void chartData_data();
    void chartData();
    void chartRefusesWhatIsNoReport_data();
    void chartRefusesWhatIsNoReport();

private:
    std::unique_ptr<TempWorkDir> workDir;
};

void TestRunReport::fileName_data()
{
    QTest::addColumn<QByteArray>("venue");
    QTest::addColumn<int>("race");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    const QTime morning(7, 9, 4);
    QTest::newRow("ordinary venue") << QByteArray("Westmere Racecourse") << 3 << morning
                                    << "WestmereRacecourse_3_20240305_07094.kva";
    QTest::newRow("empty venue") << QByteArray() << 3 << morning << "TEST_3_20240305_07094.kva";
    QTest::newRow("only spaces") << QByteArray("   ") << 3 << morning << "_3_20240305_07094.kva";
    QTest::newRow("every white space")
        << QByteArray(" a\tb\nc\vd\fe\rf ") << 1 << morning << "abcdef_1_20240305_07094.kva";
    QTest::newRow("negative race, late seconds")
        << QByteArray("Ascot") << -2 << QTime(23, 5, 59) << "Ascot_-2_20240305_230559.kva";
    QTest::newRow("slashes") << QByteArray("../../etc/x\\y") << 1 << morning
                             << "___.._etc_x_y_1_20240305_07094.kva";
    QTest::newRow("leading dot would hide it")
        << QByteArray(".Ascot") << 1 << morning << "_Ascot_1_20240305_07094.kva";
    QTest::newRow("held to 50 characters")
        << QByteArray(60, 'v') << 1 << morning << QString(50, 'v') + "_1_20240305_07094.kva";
    QTest::newRow("dots only") << QByteArray("..") << 1 << morning << "___1_20240305_07094.kva";
    QTest::newRow("dots and spaces")
        << QByteArray(". .") << 1 << morning << "___1_20240305_07094.kva";
    QTest::newRow("control bytes") << QByteArray("a\x01"
                                                 "b\x7f"
                                                 "c\x00",
                                                 6)
                                   << 1 << morning << "a_b_c__1_20240305_07094.kva";
    QTest::newRow("UTF-8 kept") << QByteArray("Z\xc3\xbcrich") << 1 << morning
                                << QString::fromUtf8("Z\xc3\xbcrich_1_20240305_07094.kva");
}

void TestRunReport::fileName()
{
    QFETCH(QByteArray, venue);
    QFETCH(int, race);
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    const QString name =
        RunReport::fileName(venue.toStdString(), int16_t(race), QDateTime(QDate(2024, 3, 5), time));
    QCOMPARE(name, expected);
    // Whatever the venue, the report lands inside "reports".
    const QString path = RunReport::filePath(name);
    QCOMPARE(QFileInfo(path).absoluteDir(), QDir(workDir->path() + "/reports"));
}

void TestRunReport::pathFallsBackToTheWorkingDirectory()
{
    QFile blocker("reports");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(RunReport::filePath("x.kva"), QString("x.kva"));
}

void TestRunReport::scalarValues_data()
{
    QTest::addColumn<bool>("withPlayList");
    QTest::newRow("empty play list") << false;
    QTest::newRow("play list") << true;
}

void TestRunReport::scalarValues()
{
    QFETCH(bool, withPlayList);
    RunReportInfo info;
    info.venue = "Westmere Racecourse";
    info.currentRace = 3;
    info.totalRaces = 30;
    info.totalWayPoints = 12;
    info.raceLength = 2400;
    info.loopCount = 2;
    std::vector<WayPointEntry> list;
    if (withPlayList)
        list = {entryWith(2, {100}), entryWith(65535, {200})};

    // A run across midnight lasts 750 ms, not minus a day.
    QJsonObject json = RunReport::toJson(info, list, QTime(23, 59, 59, 500), QTime(0, 0, 0, 250));
    QCOMPARE(json.contains("autoPlayNode"), withPlayList);
    QCOMPARE(json.take("autoPlayNode").toArray().size(), withPlayList ? 2 : 0);
    QJsonObject expected{{"version", 1.0},
                         {"loop_count", 2},
                         {"venue", "Westmere Racecourse"},
                         {"race_no", 3},
                         {"start", "23:59:59.500"},
                         {"end", "00:00:00.250"},
                         {"elapsed_time_msec", 750},
                         {"total_no_race", 30},
                         {"race_length", 2400}};
    if (withPlayList) {
        expected["way_pt_no"] = 2;
        expected["start_wp"] = 2;
        expected["end_wp"] = -1;
        expected["total_wp_no"] = 12;
    }
    QCOMPARE(json, expected);
}

void TestRunReport::wayPointTimes_data()
{
    QTest::addColumn<QList<int>>("elapsed"); // from the waypoint's common start
    QTest::addColumn<QList<int>>("travel");  // the move's own time; 0: never arrived
    QTest::addColumn<QList<int>>("speeds");  // of the move; the run's speed step is 10
    QTest::addColumn<int>("maxTime");
    QTest::addColumn<int>("minTime");
    QTest::addColumn<QList<double>>("deltas");

    QTest::newRow("two cameras") << QList<int>{4000, 2000} << QList<int>{4000, 2000}
                                 << QList<int>{10, 10} << 4000 << 2000 << QList<double>{1, 0.5};
    // A later start is no slower camera: only the move's own time sets the pace.
    QTest::newRow("started late") << QList<int>{4000, 2600} << QList<int>{4000, 2000}
                                  << QList<int>{10, 10} << 4000 << 2600 << QList<double>{1, 0.5};
    // Slowed by an earlier report and now on time: it keeps its pace.
    QTest::newRow("already slowed") << QList<int>{4000, 4000} << QList<int>{4000, 4000}
                                    << QList<int>{10, 5} << 4000 << 4000 << QList<double>{1, 0.5};
    QTest::newRow("one never arrived keeps its pace")
        << QList<int>{0, 3000} << QList<int>{0, 3000} << QList<int>{10, 10} << 3000 << 3000
        << QList<double>{1, 1};
    QTest::newRow("none arrived") << QList<int>{0, 0} << QList<int>{0, 0} << QList<int>{10, 10} << 0
                                  << 0 << QList<double>{1, 1};
    QTest::newRow("running minimum")
        << QList<int>{1000, 3000, 500} << QList<int>{1000, 3000, 500} << QList<int>{10, 10, 10}
        << 3000 << 500 << QList<double>{1000.0 / 3000, 1, 500.0 / 3000};
    QTest::newRow("no nodes") << QList<int>{} << QList<int>{} << QList<int>{} << 0 << 0
                              << QList<double>{};
}

void TestRunReport::wayPointTimes()
{
    QFETCH(QList<int>, elapsed);
    QFETCH(QList<int>, travel);
    QFETCH(QList<int>, speeds);
    QFETCH(int, maxTime);
    QFETCH(int, minTime);
    QFETCH(QList<double>, deltas);

    RunReportInfo info;
    info.speedStep = 10;
    const QJsonObject json = RunReport::toJson(info, {entryWith(4, elapsed, travel, speeds)},
                                               QTime(10, 0), QTime(10, 1));
    const QJsonObject wayPoint = json["autoPlayNode"].toArray().at(0).toObject();
    QCOMPARE(wayPoint["preset"].toInt(), 4);
    QCOMPARE(wayPoint["max_time"].toInt(), maxTime);
    QCOMPARE(wayPoint["expected_time"].toInt(), maxTime);
    QCOMPARE(wayPoint["min_time"].toInt(), minTime);
    const QJsonArray nodes = wayPoint["node"].toArray();
    QCOMPARE(nodes.size(), deltas.size());
    for (int i = 0; i < nodes.size(); ++i)
        QCOMPARE(nodes.at(i).toObject()["delta"].toDouble(), deltas[i]);
}

void TestRunReport::nodeValues()
{
    WayPointEntry entry = entryWith(1, {1234});
    WayPointNode &node = entry.node[0];
    node.pan_speed = 5;
    node.tilt_speed = 10; // after a half-speed nudge the two differ
    node.pan = 0xFC18;
    node.tilt = 5;
    node.focus = 0x1000;
    node.zoom = 0x2000;
    const QJsonObject report =
        RunReport::toJson(RunReportInfo{}, {entry}, QTime(10, 0), QTime(10, 1));
    const QJsonValue json = report["autoPlayNode"][0]["node"][0];
    QCOMPARE(json.toObject(), (QJsonObject{{"src_name", "CAM0(PTZ)"},
                                           {"ip", "192.0.2.1"},
                                           {"pan_speed", 5},
                                           {"tilt_speed", 10},
                                           {"pan", 0xFC18},
                                           {"tilt", 5},
                                           {"focus", 0x1000},
                                           {"zoom", 0x2000},
                                           {"start", "10:00:00.005"},
                                           {"end", "10:00:01.239"},
                                           {"elapsed_time_msec", 1234},
                                           {"delta", 1.0},
                                           {"travel_msec", 1234},
                                           {"travel_speed", 10},
                                           {"hold_msec", 0},
                                           {"given_up", false}}));
}

// A file-size limit (as a full disk) cuts the write short: the report is not claimed written,
// and no truncated file is left where a good one was.
void TestRunReport::writeFailureLeavesNoShortFile()
{
    RunReportInfo info;
    const std::vector<WayPointEntry> list(50, entryWith(1, {1000, 2000, 3000}));
    QString path;
    QVERIFY(RunReport::write(info, list, QTime(10, 0), QTime(10, 1), &path));
    const QByteArray good = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();

    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    QString second;
    const bool written = RunReport::write(info, list, QTime(10, 0), QTime(10, 1), &second);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QFile file(second);
    if (second == path) { // the same second: the earlier report must be intact
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), good);
    } else {
        QVERIFY(!file.exists());
    }
}

void TestRunReport::chartData_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QString>("plays");
    QTest::addColumn<int>("medianSpread");

    // What a run writes reads back: the given-up camera is no arrival and not the slowest.
    WayPointEntry first = entryWith(2, {3000, 3420});
    first.node.push_back(givenUpNode("CAM2(PTZ)"));
    const std::vector<WayPointEntry> run{first, entryWith(65535, {2500, 2000, 2600})};
    RunReportInfo info;
    info.venue = "Westmere";
    info.currentRace = 3;
    QTest::newRow("written by a run")
        << QJsonDocument(RunReport::toJson(info, run, QTime(10, 0), QTime(10, 1))).toJson()
        << "2: CAM0(PTZ)=3000 CAM1(PTZ)=3420* CAM2(PTZ)=x ~420 | "
           "-1: CAM0(PTZ)=2500 CAM1(PTZ)=2000 CAM2(PTZ)=2600* ~600"
        << 510;
    // Already on target when the waypoint started: it arrived at 0 ms.
    QTest::newRow("arrived at once")
        << QByteArray(R"({"elapsed_time_msec": 9, "autoPlayNode": [{"preset": 1, "node": [
               {"src_name": "A", "elapsed_time_msec": 0, "end": "10:00:00.000",
                "given_up": false},
               {"src_name": "B", "elapsed_time_msec": 0, "end": "", "given_up": false}]}]})")
        << "1: A=0* B=- ~0" << 0;
    // Older reports have no "given_up": 0 ms there means the camera never arrived, and a play
    // where none arrived does not count towards the median.
    QTest::newRow("older report") << QByteArray(R"({"elapsed_time_msec": 9, "autoPlayNode": [
               {"preset": 1, "node": [{"src_name": "A", "elapsed_time_msec": 0},
                                      {"src_name": "B", "elapsed_time_msec": 1500},
                                      {"src_name": "C", "elapsed_time_msec": 1800}]},
               {"preset": 2, "node": [{"src_name": "A", "elapsed_time_msec": 0},
                                      {"src_name": "B", "elapsed_time_msec": 0}]}]})")
                                  << "1: A=- B=1500 C=1800* ~300 | 2: A=- B=- ~0" << 300;
}

void TestRunReport::chartData()
{
    QFETCH(QByteArray, report);
    QFETCH(QString, plays);
    QFETCH(int, medianSpread);
    RunChartData data;
    QString error;
    QVERIFY2(data.parse(report, error), qPrintable(error));
    QCOMPARE(chartText(data), plays);
    QCOMPARE(data.medianSpreadMsec(), medianSpread);
}

void TestRunReport::chartRefusesWhatIsNoReport_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("not JSON") << QByteArray("{\"autoPlayNode\": [");
    QTest::newRow("a JSON array") << QByteArray("[1, 2]");
    QTest::newRow("no waypoints") << QByteArray(R"({"elapsed_time_msec": 5, "autoPlayNode": []})");
    // A saved script has the report's layout but no times.
    QTest::newRow("script") << QByteArray(
        R"({"venue": "X", "autoPlayNode": [{"preset": 1, "node": [{"src_name": "A"}]}]})");
}

void TestRunReport::chartRefusesWhatIsNoReport()
{
    QFETCH(QByteArray, file);
    RunChartData data;
    QString error;
    QVERIFY(!data.parse(file, error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestRunReport)
#include "tst_runreport.moc"
