// The files a run leaves behind: its report and the race-day log.
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "automation/engine/racelog.h"
#include "automation/engine/runchartdata.h"
#include "automation/engine/runreport.h"

namespace {

// One waypoint whose cameras, in order, were seen at their targets `elapsed` ms after its
// start, their moves having taken `travel` ms at `speeds`; travel 0: never arrived.
WayPointEntry entryWith(uint16_t preset, const QList<int> &elapsed, QList<int> travel = {},
                        QList<int> speeds = {})
{
    WayPointEntry entry;
    entry.preset = preset;
    for (int i = 0; i < elapsed.size(); ++i) {
        WayPointNode node;
        node.src_name = "CAM" + std::to_string(i) + "(PTZ)";
        node.elapsed = elapsed[i];
        node.travelMs = travel.value(i, elapsed[i]);
        node.arrived = node.travelMs > 0;
        node.moveSpeed = speeds.value(i, 10);
        entry.node.push_back(node);
    }
    return entry;
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

    QTemporaryDir workDir; // where the "reports" folder lands

private slots:
    void initTestCase() { QDir::setCurrent(workDir.path()); }

    void fileName_data()
    {
        QTest::addColumn<QByteArray>("venue");
        QTest::addColumn<QString>("expected"); // before "_3_20240305_07094.kva"

        QTest::newRow("ordinary") << QByteArray("Westmere Racecourse") << "WestmereRacecourse";
        QTest::newRow("empty") << QByteArray() << "TEST";
        QTest::newRow("every white space") << QByteArray(" a\tb\nc\vd\fe\rf ") << "abcdef";
        QTest::newRow("slashes") << QByteArray("../../etc/x\\y") << "___.._etc_x_y";
        QTest::newRow("leading dots would hide it") << QByteArray(". .") << "__";
        QTest::newRow("control bytes") << QByteArray("a\001b\177c\000", 6) << "a_b_c_";
        QTest::newRow("held to 50 characters") << QByteArray(60, 'v') << QString(50, 'v');
        QTest::newRow("UTF-8 kept")
            << QByteArray("Z\xc3\xbcrich") << QString::fromUtf8("Z\xc3\xbcrich");
    }
    void fileName()
    {
        QFETCH(QByteArray, venue);
        QFETCH(QString, expected);
        const QString name = RunReport::fileName(venue.toStdString(), 3,
                                                 QDateTime(QDate(2024, 3, 5), QTime(7, 9, 4)));
        QCOMPARE(name, expected + "_3_20240305_07094.kva");
        // Whatever the venue, the report lands inside "reports".
        QCOMPARE(QFileInfo(RunReport::filePath(name)).absoluteDir(),
                 QDir(workDir.path() + "/reports"));
    }

    // A file-size limit (as a full disk) cuts the write short: the report is not claimed
    // written, and no truncated file is left.
    void writeFailureLeavesNoShortFile()
    {
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        QString path;
        const bool written =
            RunReport::write({}, std::vector<WayPointEntry>(50, entryWith(1, {1000, 2000, 3000})),
                             QTime(10, 0), QTime(10, 1), &path);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QVERIFY(!path.isEmpty() && !QFile::exists(path));
    }

    void deltas_data()
    {
        QTest::addColumn<QList<int>>("elapsed"); // from the waypoint's common start
        QTest::addColumn<QList<int>>("travel");  // the move's own time; 0: never arrived
        QTest::addColumn<QList<int>>("speeds");  // of the move; the run's speed step is 10
        QTest::addColumn<QList<double>>("deltas");

        // A later start is no slower camera: only the move's own time sets the pace.
        QTest::newRow("started late") << QList<int>{4000, 2600} << QList<int>{4000, 2000}
                                      << QList<int>{10, 10} << QList<double>{1, 0.5};
        // Slowed by an earlier report and now on time: it keeps its pace.
        QTest::newRow("already slowed") << QList<int>{4000, 4000} << QList<int>{4000, 4000}
                                        << QList<int>{10, 5} << QList<double>{1, 0.5};
        QTest::newRow("one never arrived keeps its pace")
            << QList<int>{0, 3000} << QList<int>{0, 3000} << QList<int>{10, 10}
            << QList<double>{1, 1};
        QTest::newRow("none arrived")
            << QList<int>{0, 0} << QList<int>{0, 0} << QList<int>{10, 10} << QList<double>{1, 1};
    }
    void deltas()
    {
        QFETCH(QList<int>, elapsed);
        QFETCH(QList<int>, travel);
        QFETCH(QList<int>, speeds);
        QFETCH(QList<double>, deltas);

        RunReportInfo info;
        info.speedStep = 10;
        // A run across midnight lasts 750 ms, not minus a day.
        const QJsonObject json = RunReport::toJson(info, {entryWith(4, elapsed, travel, speeds)},
                                                   QTime(23, 59, 59, 500), QTime(0, 0, 0, 250));
        QCOMPARE(json["elapsed_time_msec"].toInt(), 750);
        QList<double> written;
        for (const QJsonValue &node : json["autoPlayNode"][0]["node"].toArray())
            written << node["delta"].toDouble();
        QCOMPARE(written, deltas);
    }

    void chart_data(); // outside the class: moc does not read raw strings
    void chart()
    {
        QFETCH(QByteArray, report);
        QFETCH(QString, plays);
        QFETCH(int, medianSpread);
        RunChartData data;
        QString error;
        QCOMPARE(data.parse(report, error), !plays.isEmpty());
        QCOMPARE(chartText(data), plays);
        QCOMPARE(data.medianSpreadMsec(), medianSpread);
    }

    // Oldest file first, the kept lines run on without a gap up to the last one written, and
    // no file grows far past the limit.
    void raceLogRotatesThroughAFewBoundedFiles()
    {
        qputenv("XDG_STATE_HOME", (workDir.path() + "/state").toLocal8Bit());
        RaceLog::instance().setMaxFileBytesForTests(1000);
        for (int i = 0; i < 300; ++i)
            QVERIFY(RaceLog::instance().write(QString("line %1").arg(i, 4, 10, QChar('0'))));
        const QDir folder(workDir.path() + "/state/trevalo");
        QCOMPARE(folder.entryList(QDir::Files),
                 (QStringList{"trevalo.log", "trevalo.log.1", "trevalo.log.2"}));
        QStringList lines;
        for (const char *name : {"trevalo.log.2", "trevalo.log.1", "trevalo.log"}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.size() < 1000 + 40 && file.open(QIODevice::ReadOnly));
            lines += QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        }
        QVERIFY(lines.size() > 60);
        const QRegularExpression timed("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ");
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i].remove(timed),
                     QString("line %1").arg(300 - lines.size() + i, 4, 10, QChar('0')));
    }
};

void TestRunReport::chart_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QString>("plays"); // empty: refused, nothing charted
    QTest::addColumn<int>("medianSpread");

    // What a run writes reads back: the given-up camera is no arrival and not the slowest.
    WayPointEntry first = entryWith(2, {3000, 3420, 0});
    first.node[2].givenUp = true;
    const std::vector<WayPointEntry> run{first, entryWith(65535, {2500, 2000, 2600})};
    QTest::newRow("written by a run")
        << QJsonDocument(RunReport::toJson({}, run, QTime(10, 0), QTime(10, 1))).toJson()
        << "2: CAM0(PTZ)=3000 CAM1(PTZ)=3420* CAM2(PTZ)=x ~420 | "
           "-1: CAM0(PTZ)=2500 CAM1(PTZ)=2000 CAM2(PTZ)=2600* ~600"
        << 510;
    // Older reports have no "given_up": 0 ms there means the camera never arrived, and a
    // play where none arrived does not count towards the median.
    QTest::newRow("older report") << QByteArray(R"({"elapsed_time_msec": 9, "autoPlayNode": [
           {"preset": 1, "node": [{"src_name": "A", "elapsed_time_msec": 0},
                                  {"src_name": "B", "elapsed_time_msec": 1500},
                                  {"src_name": "C", "elapsed_time_msec": 1800}]},
           {"preset": 2, "node": [{"src_name": "A", "elapsed_time_msec": 0}]}]})")
                                  << "1: A=- B=1500 C=1800* ~300 | 2: A=- ~0" << 300;
    // A saved script has the report's layout but no times.
    QTest::newRow("script") << QByteArray(R"({"autoPlayNode": [{"preset": 1, "node": [{}]}]})")
                            << QString() << 0;
}

QTEST_GUILESS_MAIN(TestRunReport)
#include "tst_runreport.moc"
