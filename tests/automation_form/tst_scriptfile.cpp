#include "automation/engine/scriptfile.h"
#include "store/cameradatastore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

const std::string CamA = "CAM-A(PTZ 1)";
const std::string CamB = "CAM-B(PTZ 2)";
const std::string Stranger = "ELSEWHERE(PTZ 9)";

bool offeredAB(const std::string &name)
{
    return name == CamA || name == CamB;
}

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson();
}

// name -> (pan, delta) per waypoint number, enough to tell what a load filed.
QMap<int, QStringList> storedNodes()
{
    QMap<int, QStringList> nodes;
    for (const auto &[number, entry] : CameraDataStore::instance().copyWayPointEntries()) {
        QStringList list;
        for (const WayPointNode &n : entry.node)
            list << QString::fromStdString(n.src_name + "@" + n.ip) + "/" + QString::number(n.pan) +
                        "/" + QString::number(double(n.delta));
        nodes.insert(number, list);
    }
    return nodes;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Files so many positions that the script runs to a few hundred kilobytes.
void fileManyPositions()
{
    for (int wayPoint = 1; wayPoint <= 1000; ++wayPoint) {
        bool added = false;
        CameraDataStore::instance().storeWayPoint(CamA, WayPoint{wayPoint, 2, 3, 4, 1.0f}, wayPoint,
                                                  added);
    }
}

} // namespace

class TestScriptFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void numberConversions_data();
    void numberConversions();
    void unnumberedAndUnknownNodes();
    void malformedDocumentsAreRefused_data();
    void malformedDocumentsAreRefused();
    void failedReadsAndSaves();

private:
    QTemporaryDir dir;
};

void TestScriptFile::init()
{
    QVERIFY(dir.isValid());
    CameraDataStore &store = CameraDataStore::instance();
    store.resetForTests();
    store.publishSources(
        {{"CAM-A", "PTZ 1", "127.0.4.11", 5961}, {"CAM-B", "PTZ 2", "127.0.4.12", 5961}});
}

void TestScriptFile::numberConversions_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("race_no 3.7 truncates") << "race_no" << QJsonValue(3.7) << "3";
    QTest::newRow("loop_count 2.0") << "loop_count" << QJsonValue(2.0) << "2";
    QTest::newRow("race_length as text") << "race_length" << QJsonValue("1000") << "3000";
    QTest::newRow("start_wp bool") << "start_wp" << QJsonValue(true) << "1";
    QTest::newRow("total_no_race array") << "total_no_race" << QJsonValue(QJsonArray{5}) << "30";
    // Held to the bounds the form gives typed values, so no run gets waypoint 0 or no loops.
    QTest::newRow("race_no 0") << "race_no" << QJsonValue(0) << "1";
    QTest::newRow("loop_count 2.5 is not whole") << "loop_count" << QJsonValue(2.5) << "1";
    QTest::newRow("loop_count negative") << "loop_count" << QJsonValue(-3) << "1";
    QTest::newRow("loop_count 150") << "loop_count" << QJsonValue(150) << "99";
    QTest::newRow("race_length 40000 low bits") << "race_length" << QJsonValue(40000) << "1";
    QTest::newRow("total_wp_no 1") << "total_wp_no" << QJsonValue(1) << "2";
    QTest::newRow("total_wp_no beyond int32") << "total_wp_no" << QJsonValue(3e9) << "2";
    QTest::newRow("total_no_race negative") << "total_no_race" << QJsonValue(-5) << "1";
    QTest::newRow("end_wp 65535 wraps") << "end_wp" << QJsonValue(65535) << "1";
    QTest::newRow("end_wp above the total") << "end_wp" << QJsonValue(20) << "12";
    QTest::newRow("start_wp 0") << "start_wp" << QJsonValue(0) << "1";
    QTest::newRow("start_wp -1") << "start_wp" << QJsonValue(-1) << "1";
    QTest::newRow("way_pt_no 0") << "way_pt_no" << QJsonValue(0) << "1";
    QTest::newRow("venue of 50") << "venue" << QJsonValue(QString(50, 'v')) << QString(50, 'v');
    QTest::newRow("venue of 80") << "venue" << QJsonValue(QString(80, 'v')) << QString(50, 'v');
    QTest::newRow("venue cut before half a character")
        << "venue" << QJsonValue(QString(49, 'v') + QString::fromUtf8("\xF0\x9F\x90\x8E"))
        << QString(49, 'v');
}

void TestScriptFile::numberConversions()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(QString, expected);
    ScriptFile::Script script;
    QString error;
    QVERIFY(ScriptFile::parse(json(QJsonObject{{key, value}}), script, error));
    const RaceParameters &race = script.race;
    const QMap<QString, QString> fields{{"race_no", QString::number(race.currentRace)},
                                        {"loop_count", QString::number(race.loopCount)},
                                        {"race_length", QString::number(race.raceLength)},
                                        {"total_wp_no", QString::number(race.totalWayPoints)},
                                        {"end_wp", QString::number(race.endWayPoint)},
                                        {"start_wp", QString::number(race.startWayPoint)},
                                        {"way_pt_no", QString::number(race.setupWayPoint)},
                                        {"total_no_race", QString::number(race.totalRaces)},
                                        {"venue", QString::fromStdString(race.venue)}};
    QCOMPARE(fields.value(key), expected);
}

void TestScriptFile::unnumberedAndUnknownNodes()
{
    const QJsonObject stranger{
        {"src_name", QString::fromStdString(Stranger)}, {"pan", 7}, {"ip", "127.0.4.99"}};
    const QJsonObject known{{"src_name", QString::fromStdString(CamB)}, {"pan", 8}};
    const QJsonObject doc{
        {"autoPlayNode", QJsonArray{QJsonObject{{"node", QJsonArray{stranger}}}, QJsonObject{},
                                    QJsonObject{{"preset", 6}, {"node", QJsonArray{known}}}}}};
    ScriptFile::Script script;
    QString error;
    QVERIFY(ScriptFile::parse(json(doc), script, error));
    const ScriptFile::LoadResult result = ScriptFile::fileInStore(script, offeredAB);
    QCOMPARE(result.sourcesToAssign, std::set<std::string>{CamB});
    QCOMPARE(result.flags, (ScriptFile::SourceFlags{{CamB, 1}, {Stranger, 0}}));
    const QMap<int, QStringList> nodes = storedNodes();
    QCOMPARE(nodes.value(-1), QStringList{QString::fromStdString(Stranger) + "@/7/1"});
    QCOMPARE(nodes.value(6), QStringList{QString::fromStdString(CamB) + "@127.0.4.12/8/1"});
    QCOMPARE(CameraDataStore::instance().copyWayPointEntries().at(-1).preset, kUnnumberedPreset);
}

void TestScriptFile::malformedDocumentsAreRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("reason");
    const QString notJson = "not valid JSON";
    QTest::newRow("empty") << QByteArray() << notJson;
    QTest::newRow("not json") << QByteArray("venue = Somewhere\nrace_no = 3\n") << notJson;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 131 + 7) & 0xFF));
    QTest::newRow("binary") << binary << notJson;
    QTest::newRow("truncated") << QByteArray("{\"race_no\": 5, \"autoPlayNode\": [{\"preset\": 1,")
                               << notJson;
    QTest::newRow("deep nesting") << QByteArray("{\"race_no\": 5, \"autoPlayNode\": ") +
                                         QByteArray(100000, '[') + QByteArray(100000, ']') + "}"
                                  << notJson;
    const QString notScript = "not an automation script";
    QTest::newRow("array at the top")
        << QByteArray("[{\"race_no\": 5, \"autoPlayNode\": []}]") << notScript;
    QTest::newRow("no key of a script")
        << QByteArray("{\"name\": \"x\", \"size\": 3}") << notScript;
    QTest::newRow("waypoints in an object")
        << QByteArray("{\"race_no\": 5, \"autoPlayNode\": {\"preset\": 1, \"node\": []}}")
        << "waypoint list is not a list";
    QTest::newRow("waypoint not an object")
        << QByteArray("{\"autoPlayNode\": [{\"preset\": 1, \"node\": []}, 1]}")
        << "waypoint entry 2 is not an object";
    QTest::newRow("cameras not a list")
        << QByteArray("{\"autoPlayNode\": [{\"preset\": 3, \"node\": \"CAM-A(PTZ 1)\"}]}")
        << "cameras of waypoint entry 1 are not a list";
    QTest::newRow("camera without a name")
        << QByteArray("{\"autoPlayNode\": [{\"preset\": 3, \"node\": [{\"pan\": 5}]}]}")
        << "camera of waypoint entry 1 has no name";
    QTest::newRow("camera not an object")
        << QByteArray("{\"autoPlayNode\": [{\"preset\": 3, \"node\": [7]}]}")
        << "camera of waypoint entry 1 has no name";
}

void TestScriptFile::malformedDocumentsAreRefused()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, reason);
    ScriptFile::Script script;
    QString error;
    QVERIFY(!ScriptFile::parse(data, script, error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

// A failed save says why and leaves the file that was there whole, even when the disk takes
// only part of the new one (here: a file-size limit, which also holds for root).
void TestScriptFile::failedReadsAndSaves()
{
    QByteArray data = "kept";
    QString error;
    QVERIFY(!ScriptFile::readFile(dir.filePath("missing.kva"), data, error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(data, QByteArray("kept"));

    QFile blocker(dir.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QString &path : {QString(), dir.filePath("blocker/x.kva")}) {
        error.clear();
        QVERIFY(!ScriptFile::save(path, RaceParameters(), error));
        QVERIFY2(!error.isEmpty(), qPrintable(path));
    }

    const QString path = dir.filePath("race.kva");
    QVERIFY(ScriptFile::save(path, RaceParameters(), error));
    const QString before = readAll(path);
    fileManyPositions();
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool saved64k = ScriptFile::save(path, RaceParameters(), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!saved64k);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"blocker", "race.kva"}));
}

QTEST_MAIN(TestScriptFile)
#include "tst_scriptfile.moc"
