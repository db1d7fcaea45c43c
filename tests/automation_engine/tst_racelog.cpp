// The race-day log: timestamped lines in a bounded set of files, and each run's course as the
// engine plays it.
#include <QtTest>

#include <memory>

#include "automation/engine/racelog.h"
#include "automation/engine/runlog.h"
#include "automation_engine/enginerun.h"
#include "support/movingcamera.h"

namespace {

const QRegularExpression
    LinePattern(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)$"));

// The texts of a log file's lines, without their times; a line without its time fails.
QStringList texts(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("cannot read ") + path};
    QStringList result;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = LinePattern.match(line);
        result << (match.hasMatch() ? match.captured(1) : QStringLiteral("untimed: ") + line);
    }
    return result;
}

QString numbered(int n)
{
    return QStringLiteral("line %1").arg(n, 4, 10, QLatin1Char('0'));
}

} // namespace

class TestRaceLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempWorkDir> workDir;

private slots:
    void init()
    {
        CameraDataStore::instance().resetForTests();
        workDir = std::make_unique<TempWorkDir>();
        qputenv("XDG_STATE_HOME", (workDir->path() + "/state").toLocal8Bit());
    }
    void cleanup()
    {
        RaceLog::instance().setMaxFileBytesForTests(0);
        workDir.reset();
    }

    // Oldest file first, the kept lines run on without a gap up to the last one written, and
    // no file grows far past the limit.
    void rotationKeepsAFewBoundedFiles()
    {
        QCOMPARE(RaceLog::filePath(), workDir->path() + "/state/trevalo/trevalo.log");
        RaceLog::instance().setMaxFileBytesForTests(1000);
        for (int i = 0; i < 300; ++i)
            QVERIFY(RaceLog::instance().write(numbered(i)));
        const QDir folder(RaceLog::folder());
        QCOMPARE(folder.entryList(QDir::Files),
                 (QStringList{"trevalo.log", "trevalo.log.1", "trevalo.log.2"}));
        QStringList kept;
        for (const char *name : {"trevalo.log.2", "trevalo.log.1", "trevalo.log"}) {
            QVERIFY(QFileInfo(folder.filePath(name)).size() < 1000 + 40);
            kept += texts(folder.filePath(name));
        }
        QVERIFY(kept.size() > 60);
        for (int i = 0; i < kept.size(); ++i)
            QCOMPARE(kept[i], numbered(300 - kept.size() + i));
    }

    void runIsLogged_data()
    {
        QTest::addColumn<bool>("startRun");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QStringList>("expected");

        const QString start = QStringLiteral("START run: waypoints 1 to 2, venue \"Westmere "
                                             "Racecourse\", race 3 of 30, 1 loop(s), speed 10");
        QTest::newRow("START, a camera given up")
            << true << 1 << 2 << false
            << QStringList{start, "camera CAM1(PTZ) given up at waypoint 1", "run report written",
                           "START run ended"};
        QTest::newRow("START stopped")
            << true << 1 << 2 << true
            << QStringList{start, "run report written", "START run stopped"};
        QTest::newRow("GO TO") << false << 2 << 2 << false
                               << QStringList{"GO TO run: waypoint 2, venue \"Westmere "
                                              "Racecourse\", race 3 of 30, 1 loop(s), speed 10",
                                              "GO TO run ended"};
    }
    void runIsLogged()
    {
        QFETCH(bool, startRun);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, stop);
        QFETCH(QStringList, expected);
        MovingCamera stuck("127.0.12.1", 1.0);
        stuck.setShortfall(50); // stops short and stays there
        MovingCamera fine("127.0.12.2", 1.0);
        const std::string stuckName = EngineSetup::discover("CAM1", "127.0.12.1");
        const std::string fineName = EngineSetup::discover("CAM2", "127.0.12.2");
        EngineSetup::file(stuckName, 1, 3000, 3000);
        EngineSetup::file(fineName, 1, 300, 300);
        EngineSetup::file(fineName, 2, 600, 300);

        AutoPlayThread thread;
        RunRecorder recorder(thread);
        EngineSetup::configure(thread, first, last, 60, 1, startRun);
        RunLog::watch(&thread, startRun, first, last);
        thread.start();
        if (stop) {
            QVERIFY(recorder.waitFor(RunRecorder::Preset, 1, std::chrono::seconds(5)));
            thread.running = false;
        }
        QVERIFY(thread.wait(20000));

        const QStringList lines = texts(RaceLog::filePath());
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(lines[i].startsWith(expected[i]), qPrintable(lines[i]));
    }
};

QTEST_MAIN(TestRaceLog)
#include "tst_racelog.moc"
