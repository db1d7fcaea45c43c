#include <QtTest>

#include <cmath>

#include "automation/runreport.h"

namespace {

WayPointNode timedNode(const std::string &name, int32_t elapsed)
{
    WayPointNode node;
    node.src_name = name;
    node.ip = "192.0.2.1";
    node.start = QTime(10, 0, 0, 5);
    node.end = node.start.addMSecs(elapsed);
    node.elapsed = elapsed;
    return node;
}

WayPointEntry entryWith(uint16_t preset, const QList<int> &elapsed)
{
    WayPointEntry entry;
    entry.preset = preset;
    for (int i = 0; i < elapsed.size(); ++i)
        entry.node.push_back(timedNode("CAM" + std::to_string(i) + "(PTZ)", elapsed[i]));
    return entry;
}

QStringList keysOf(const QJsonObject &json)
{
    QStringList keys = json.keys();
    keys.sort();
    return keys;
}

const QStringList kScalarKeys = {"elapsed_time_msec", "end",     "loop_count",
                                 "race_length",       "race_no", "start",
                                 "total_no_race",     "venue",   "version"};

} // namespace

class TestRunReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileName_data();
    void fileName();
    void pathFallsBackToTheWorkingDirectory();
    void scalarKeys_data();
    void scalarKeys();
    void wayPointTimes_data();
    void wayPointTimes();
    void nodeValues();
    void untimedNodesFromLoopCountZero();
    void writeCreatesTheReportInReports();

private:
    QTemporaryDir *dir = nullptr;
    QString previousDir;
};

void TestRunReport::init()
{
    previousDir = QDir::currentPath();
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    QVERIFY(QDir::setCurrent(dir->path()));
}

void TestRunReport::cleanup()
{
    QDir::setCurrent(previousDir);
    delete dir;
    dir = nullptr;
}

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
                             << ".._.._etc_x_y_1_20240305_07094.kva";
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
    QCOMPARE(QFileInfo(path).absoluteDir(), QDir(dir->path() + "/reports"));
}

void TestRunReport::pathFallsBackToTheWorkingDirectory()
{
    QFile blocker("reports");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(RunReport::filePath("x.kva"), QString("x.kva"));
}

void TestRunReport::scalarKeys_data()
{
    QTest::addColumn<bool>("withPlayList");
    QTest::newRow("empty play list") << false;
    QTest::newRow("play list") << true;
}

void TestRunReport::scalarKeys()
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
    const QJsonObject json =
        RunReport::toJson(info, list, QTime(23, 59, 59, 500), QTime(0, 0, 0, 250));
    QStringList expectedKeys = kScalarKeys;
    if (withPlayList)
        expectedKeys << "autoPlayNode"
                     << "end_wp"
                     << "start_wp"
                     << "total_wp_no"
                     << "way_pt_no";
    expectedKeys.sort();
    QCOMPARE(keysOf(json), expectedKeys);
    QCOMPARE(json["version"].toDouble(), 1.0);
    QCOMPARE(json["loop_count"].toInt(), 2);
    QCOMPARE(json["venue"].toString(), QString("Westmere Racecourse"));
    QCOMPARE(json["race_no"].toInt(), 3);
    QCOMPARE(json["start"].toString(), QString("23:59:59.500"));
    QCOMPARE(json["end"].toString(), QString("00:00:00.250"));
    QCOMPARE(json["elapsed_time_msec"].toInt(), 750);
    QCOMPARE(json["total_no_race"].toInt(), 30);
    QCOMPARE(json["race_length"].toInt(), 2400);
    if (withPlayList) {
        QCOMPARE(json["way_pt_no"].toInt(), 2);
        QCOMPARE(json["start_wp"].toInt(), 2);
        QCOMPARE(json["end_wp"].toInt(), -1);
        QCOMPARE(json["total_wp_no"].toInt(), 12);
        QCOMPARE(json["autoPlayNode"].toArray().size(), 2);
    }
}

void TestRunReport::wayPointTimes_data()
{
    QTest::addColumn<QList<int>>("elapsed");
    QTest::addColumn<int>("maxTime");
    QTest::addColumn<int>("minTime");
    QTest::addColumn<QVariantList>("deltas"); // a null QVariant stands for JSON null

    QTest::newRow("two cameras") << QList<int>{4000, 2000} << 4000 << 2000
                                 << QVariantList{1.0, 0.5};
    QTest::newRow("none arrived") << QList<int>{0, 0} << 0 << 0 << QVariantList{{}, {}};
    QTest::newRow("zero first") << QList<int>{0, 3000} << 3000 << 3000 << QVariantList{0.0, 1.0};
    QTest::newRow("zero last") << QList<int>{3000, 0} << 3000 << 0 << QVariantList{1.0, 0.0};
    QTest::newRow("zero in the middle")
        << QList<int>{2000, 0, 1000} << 2000 << 1000 << QVariantList{1.0, 0.0, 0.5};
    QTest::newRow("running minimum")
        << QList<int>{1000, 3000, 500} << 3000 << 500
        << QVariantList{double(1000.0f / 3000.0f), 1.0, double(500.0f / 3000.0f)};
    QTest::newRow("no nodes") << QList<int>{} << 0 << 0 << QVariantList{};
}

void TestRunReport::wayPointTimes()
{
    QFETCH(QList<int>, elapsed);
    QFETCH(int, maxTime);
    QFETCH(int, minTime);
    QFETCH(QVariantList, deltas);

    const QJsonObject json =
        RunReport::toJson(RunReportInfo{}, {entryWith(4, elapsed)}, QTime(10, 0), QTime(10, 1));
    const QJsonObject wayPoint = json["autoPlayNode"].toArray().at(0).toObject();
    QCOMPARE(wayPoint["preset"].toInt(), 4);
    QCOMPARE(wayPoint["max_time"].toInt(), maxTime);
    QCOMPARE(wayPoint["expected_time"].toInt(), maxTime);
    QCOMPARE(wayPoint["min_time"].toInt(), minTime);
    const QJsonArray nodes = wayPoint["node"].toArray();
    QCOMPARE(nodes.size(), deltas.size());
    for (int i = 0; i < nodes.size(); ++i) {
        const QJsonValue delta = nodes.at(i).toObject()["delta"];
        if (deltas[i].isNull())
            QVERIFY2(delta.isNull(), qPrintable(QString("node %1").arg(i)));
        else
            QCOMPARE(delta.toDouble(), deltas[i].toDouble());
    }
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
    const QJsonObject json =
        RunReport::toJson(RunReportInfo{}, {entry}, QTime(10, 0), QTime(10, 1))["autoPlayNode"]
            .toArray()
            .at(0)["node"]
            .toArray()
            .at(0)
            .toObject();
    QCOMPARE(keysOf(json),
             QStringList({"delta", "elapsed_time_msec", "end", "focus", "ip", "pan", "pan_speed",
                          "src_name", "start", "tilt", "tilt_speed", "zoom"}));
    QCOMPARE(json["src_name"].toString(), QString("CAM0(PTZ)"));
    QCOMPARE(json["ip"].toString(), QString("192.0.2.1"));
    QCOMPARE(json["pan_speed"].toInt(), 5);
    QCOMPARE(json["tilt_speed"].toInt(), 10);
    QCOMPARE(json["pan"].toInt(), 0xFC18);
    QCOMPARE(json["zoom"].toInt(), 0x2000);
    QCOMPARE(json["start"].toString(), QString("10:00:00.005"));
    QCOMPARE(json["end"].toString(), QString("10:00:01.239"));
    QCOMPARE(json["elapsed_time_msec"].toInt(), 1234);
    QCOMPARE(json["delta"].toDouble(), 1.0);
}

void TestRunReport::untimedNodesFromLoopCountZero()
{
    WayPointEntry entry;
    entry.preset = 1;
    entry.node.resize(2); // straight from the store: no times
    const QJsonArray nodes =
        RunReport::toJson(RunReportInfo{}, {entry}, QTime(10, 0), QTime(10, 0))["autoPlayNode"]
            .toArray()
            .at(0)["node"]
            .toArray();
    for (const QJsonValue &node : nodes) {
        QCOMPARE(node["start"].toString(), QString(""));
        QCOMPARE(node["end"].toString(), QString(""));
        QCOMPARE(node["elapsed_time_msec"].toInt(), 0);
        QVERIFY(node["delta"].isNull());
    }
}

void TestRunReport::writeCreatesTheReportInReports()
{
    RunReportInfo info;
    info.venue = "Westmere Racecourse";
    QVERIFY(RunReport::write(info, {entryWith(1, {0, 0})}, QTime(10, 0), QTime(10, 1)));

    const QStringList files = QDir("reports").entryList({"*.kva"}, QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY(files[0].startsWith("WestmereRacecourse_1_"));
    QFile file("reports/" + files[0]);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("\n    \"")); // indented
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject report = document.object();
    const QJsonValue delta = report["autoPlayNode"][0]["node"][0]["delta"];
    QVERIFY(delta.isNull());
}

QTEST_GUILESS_MAIN(TestRunReport)
#include "tst_runreport.moc"
