#include "automation/scriptfile.h"
#include "store/cameradatastore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

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

bool sameParameters(const RaceParameters &a, const RaceParameters &b)
{
    return a.totalRaces == b.totalRaces && a.totalWayPoints == b.totalWayPoints &&
           a.setupWayPoint == b.setupWayPoint && a.currentRace == b.currentRace &&
           a.startWayPoint == b.startWayPoint && a.endWayPoint == b.endWayPoint &&
           a.loopCount == b.loopCount && a.raceLength == b.raceLength && a.venue == b.venue;
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
    void malformedDocumentsLeaveTheResetSetUp_data();
    void malformedDocumentsLeaveTheResetSetUp();
    void failedOpenAndCancelledSave();

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
    QTest::addColumn<int>("expected");
    QTest::newRow("race_no 3.7 truncates") << "race_no" << QJsonValue(3.7) << 3;
    QTest::newRow("race_no -3.7 toward zero") << "race_no" << QJsonValue(-3.7) << -3;
    QTest::newRow("loop_count 2.5 is not whole") << "loop_count" << QJsonValue(2.5) << 0;
    QTest::newRow("loop_count 2.0") << "loop_count" << QJsonValue(2.0) << 2;
    QTest::newRow("race_length as text") << "race_length" << QJsonValue("1000") << 3000;
    QTest::newRow("race_length 40000 low bits") << "race_length" << QJsonValue(40000) << -25536;
    QTest::newRow("total_wp_no beyond int32") << "total_wp_no" << QJsonValue(3e9) << 0;
    QTest::newRow("total_wp_no negative") << "total_wp_no" << QJsonValue(-5) << -5;
    QTest::newRow("end_wp 65535 wraps") << "end_wp" << QJsonValue(65535) << -1;
    QTest::newRow("start_wp bool") << "start_wp" << QJsonValue(true) << 1;
    QTest::newRow("total_no_race array") << "total_no_race" << QJsonValue(QJsonArray{5}) << 30;
}

void TestScriptFile::numberConversions()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(int, expected);
    RaceParameters race;
    ScriptFile::load(json(QJsonObject{{key, value}}), race, offeredAB);
    const QMap<QString, int> fields{
        {"race_no", race.currentRace},     {"loop_count", race.loopCount},
        {"race_length", race.raceLength},  {"total_wp_no", race.totalWayPoints},
        {"end_wp", race.endWayPoint},      {"start_wp", race.startWayPoint},
        {"total_no_race", race.totalRaces}};
    QCOMPARE(fields.value(key), expected);
}

void TestScriptFile::unnumberedAndUnknownNodes()
{
    const QJsonObject stranger{
        {"src_name", QString::fromStdString(Stranger)}, {"pan", 7}, {"ip", "127.0.4.99"}};
    const QJsonObject known{{"src_name", QString::fromStdString(CamB)}, {"pan", 8}};
    const QJsonObject doc{
        {"autoPlayNode", QJsonArray{QJsonObject{{"node", QJsonArray{stranger}}}, "not an object",
                                    QJsonObject{{"preset", 6}, {"node", QJsonArray{known}}}}}};
    RaceParameters race;
    const ScriptFile::LoadResult result = ScriptFile::load(json(doc), race, offeredAB);
    QCOMPARE(result.sourcesToAssign, std::set<std::string>{CamB});
    QCOMPARE(result.flags, (ScriptFile::SourceFlags{{CamB, 1}, {Stranger, 0}}));
    const QMap<int, QStringList> nodes = storedNodes();
    QCOMPARE(nodes.value(-1), QStringList{QString::fromStdString(Stranger) + "@/7/1"});
    QCOMPARE(nodes.value(6), QStringList{QString::fromStdString(CamB) + "@127.0.4.12/8/1"});
    QCOMPARE(CameraDataStore::instance().copyWayPointEntries().at(-1).preset, kUnnumberedPreset);
}

void TestScriptFile::malformedDocumentsLeaveTheResetSetUp_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not json") << QByteArray("venue = Somewhere\nrace_no = 3\n");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 131 + 7) & 0xFF));
    QTest::newRow("binary") << binary;
    QTest::newRow("array at the top") << QByteArray("[{\"race_no\": 5, \"autoPlayNode\": []}]");
    QTest::newRow("truncated") << QByteArray("{\"race_no\": 5, \"autoPlayNode\": [{\"preset\": 1,");
    QTest::newRow("deep nesting") << QByteArray("{\"race_no\": 5, \"autoPlayNode\": ") +
                                         QByteArray(100000, '[') + QByteArray(100000, ']') + "}";
    QTest::newRow("wrong types everywhere") << QByteArray(
        "{\"version\": \"one\", \"loop_count\": \"2\", \"venue\": 12, \"race_no\": [3],"
        " \"total_no_race\": {}, \"race_length\": null, \"total_wp_no\": true,"
        " \"way_pt_no\": \"4\", \"start_wp\": false, \"end_wp\": [], "
        "\"autoPlayNode\": {\"preset\": 1, \"node\": []}}");
    QTest::newRow("waypoints of the wrong shape")
        << QByteArray("{\"autoPlayNode\": [1, \"x\", null, [], {\"preset\": 2, \"node\": {}},"
                      " {\"preset\": 3, \"node\": \"CAM-A(PTZ 1)\"}]}");
}

void TestScriptFile::malformedDocumentsLeaveTheResetSetUp()
{
    QFETCH(QByteArray, data);
    RaceParameters race;
    const ScriptFile::LoadResult result = ScriptFile::load(data, race, offeredAB);
    QVERIFY(sameParameters(race, RaceParameters()));
    QVERIFY(result.flags.empty());
    QVERIFY(result.sourcesToAssign.empty());
    QVERIFY(CameraDataStore::instance().copyWayPointEntries().empty());
}

void TestScriptFile::failedOpenAndCancelledSave()
{
    QByteArray data = "kept";
    QVERIFY(!ScriptFile::readFile(dir.filePath("missing.kva"), data));
    QVERIFY(!ScriptFile::readFile(QString(), data));
    QCOMPARE(data, QByteArray("kept"));
    QVERIFY(!ScriptFile::save(QString(), RaceParameters()));
    QVERIFY(!ScriptFile::save(dir.filePath("no/such/folder/x.kva"), RaceParameters()));
}

QTEST_MAIN(TestScriptFile)
#include "tst_scriptfile.moc"
