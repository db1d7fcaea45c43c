#include "automation/engine/scriptfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestScriptFile : public QObject
{
    Q_OBJECT

private slots:
    void malformedDocumentsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("reason");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 131 + 7) & 0xFF));
        const QString notJson = "not valid JSON", notScript = "not an automation script";
        QTest::newRow("empty") << QByteArray() << notJson;
        QTest::newRow("binary") << binary << notJson;
        QTest::newRow("truncated") << QByteArray("{\"autoPlayNode\": [{\"preset\": 1,") << notJson;
        QTest::newRow("deep nesting")
            << "{\"autoPlayNode\": " + QByteArray(100000, '[') + QByteArray(100000, ']') + "}"
            << notJson;
        QTest::newRow("array at the top") << QByteArray("[{\"race_no\": 5}]") << notScript;
        QTest::newRow("no key of a script") << QByteArray("{\"name\": \"x\"}") << notScript;
        QTest::newRow("waypoints in an object")
            << QByteArray("{\"autoPlayNode\": {\"preset\": 1}}") << "waypoint list is not a list";
        QTest::newRow("waypoint not an object")
            << QByteArray("{\"autoPlayNode\": [{\"preset\": 1}, 1]}")
            << "waypoint entry 2 is not an object";
        QTest::newRow("cameras not a list")
            << QByteArray("{\"autoPlayNode\": [{\"node\": \"CAM-A\"}]}")
            << "cameras of waypoint entry 1 are not a list";
        QTest::newRow("camera without a name")
            << QByteArray("{\"autoPlayNode\": [{\"node\": [{\"pan\": 5}]}]}")
            << "camera of waypoint entry 1 has no name";
    }
    void malformedDocumentsAreRefused()
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
    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("race.kva");
        QString error;
        QVERIFY(ScriptFile::save(path, RaceParameters(), error));
        const QByteArray before = readAll(path);
        bool added = false;
        for (int wayPoint = 1; wayPoint <= 1000; ++wayPoint) // a few hundred kilobytes
            CameraDataStore::instance().storeWayPoint(
                "CAM-A(PTZ 1)", WayPoint{wayPoint, 2, 3, 4, 1.0f}, wayPoint, added);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = ScriptFile::save(path, RaceParameters(), error);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written && !error.isEmpty());
        QCOMPARE(readAll(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"race.kva"});
    }
};

QTEST_MAIN(TestScriptFile)
#include "tst_scriptfile.moc"
