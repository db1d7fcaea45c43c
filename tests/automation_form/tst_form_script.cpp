#include "formfixture.h"

#include "automation/runchart.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"
#include "store/cameradatastore.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

namespace {

const std::string CamA = "CAM-A(PTZ 1)";
const std::string CamB = "CAM-B(PTZ 2)";
const std::string CamC = "CAM-C(PTZ 3)";

void file(const std::string &name, int wayPoint, int32_t pan)
{
    WayPoint position;
    position.pan = pan;
    position.tilt = pan + 1;
    position.focus = pan + 2;
    position.zoom = pan + 3;
    bool added = false;
    CameraDataStore::instance().storeWayPoint(name, position, wayPoint, added);
}

QStringList entries()
{
    QStringList list;
    for (const auto &[number, entry] : CameraDataStore::instance().copyWayPointEntries()) {
        QString text = QString::number(number) + ":";
        for (const WayPointNode &node : entry.node)
            text += QString::fromStdString(node.src_name) + "=" + QString::number(node.pan) + "x" +
                    QString::number(double(node.delta)) + " ";
        list << text.trimmed();
    }
    return list;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(data);
}

} // namespace

class TestFormScript : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { fixture.tearDown(); }

    void saveThenLoadGivesTheSetUpBack();
    void runReportLoadsItsDeltasAndSaveDropsThem();
    void cancelledOrUnreadableLoadChangesNothing();
    void badFileChangesNothingAndSaysWhy();
    void failedSaveIsShown();
    void openReportChartsItAndSavesThePicture();

private:
    QStringList fields() const;
    QStringList selections() const;
    void load(const QString &path);

    FormFixture fixture;
};

void TestFormScript::init()
{
    fixture.setUp();
    fixture.offerSources({{"CAM-A", "PTZ 1", "127.0.4.31", 5961},
                          {"CAM-B", "PTZ 2", "127.0.4.32", 5961},
                          {"CAM-C", "PTZ 3", "127.0.4.33", 5961}});
}

QStringList TestFormScript::fields() const
{
    QStringList values;
    for (const char *name : {"TotalRaceslineEdit", "TotalWayPtlineEdit", "SetupWayptLineEdit",
                             "CurrentRaceLineEdit", "StartWayptLineEdit", "EndWayPtLlineEdit",
                             "RaceLengthLineEdit", "LoopCountLlineEdit", "RaceCourseNameLineEdit"})
        values << fixture.text(name);
    return values;
}

QStringList TestFormScript::selections() const
{
    QStringList names;
    for (CameraPosCtrls *panel : fixture.form()->cameraPanels())
        names << FormFixture::selector(panel)->currentText();
    return names;
}

void TestFormScript::load(const QString &path)
{
    ScriptFileDialog::setNextFileName(path);
    fixture.click("scriptLoadPushButton");
    QVERIFY(!ScriptFileDialog::hasNextFileName());
}

void TestFormScript::saveThenLoadGivesTheSetUpBack()
{
    file(CamA, 1, 100);
    file(CamA, 2, 200);
    file(CamB, 2, 210);
    file(CamC, 3, 320);
    CameraDataStore::instance().setAutoPlaySourceEnabled(CamC, 0);
    fixture.type("TotalRaceslineEdit", "40");
    fixture.type("TotalWayPtlineEdit", "20");
    fixture.click("RSetupWayptToolButton", 4);
    fixture.click("RCurrentRaceToolButton", 6);
    fixture.click("RStartWayptToolButton", 2);
    fixture.click("REndWayptToolButton", 3);
    fixture.click("RLoopCountToolButton", 2);
    fixture.type("RaceLengthLineEdit", "2400");
    fixture.type("RaceCourseNameLineEdit", "Hollow Downs");
    const QStringList saved = fields();
    QCOMPARE(saved, QStringList({"40", "20", "5/20", "7/40", "3/20", "15/20", "2400", "3",
                                 "Hollow Downs"}));

    QVERIFY(!QDir(QStringLiteral("scripts")).exists());
    ScriptFileDialog::setNextFileName(QStringLiteral("scripts/race.kva"));
    fixture.click("scriptSavePushButton");
    QFile script(QStringLiteral("scripts/race.kva"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    // Waypoint 3 only had the unchecked camera: kept, with no nodes.
    const QJsonArray savedWayPoints =
        QJsonDocument::fromJson(script.readAll()).object()["autoPlayNode"].toArray();
    QCOMPARE(savedWayPoints.size(), 3);
    QCOMPARE(savedWayPoints[2].toObject(), (QJsonObject{{"preset", 3}, {"node", QJsonArray()}}));

    fixture.click("ResetPushButton");
    fixture.type("RaceCourseNameLineEdit", "Elsewhere");
    FormFixture::selector(fixture.form()->cameraPanels().at(3))->setCurrentText("CAM-C(PTZ 3)");
    QVERIFY(CameraDataStore::instance().copyWayPointEntries().empty());

    load(QStringLiteral("scripts/race.kva"));
    QCOMPARE(fields(), saved);
    QCOMPARE(entries(),
             QStringList({"1:CAM-A(PTZ 1)=100x1", "2:CAM-A(PTZ 1)=200x1 CAM-B(PTZ 2)=210x1"}));
    QCOMPARE(CameraDataStore::instance().getAutoPlaySources(),
             (CameraDataStore::SourceFlags{{CamA, 1}, {CamB, 1}}));
    QCOMPARE(selections(), QStringList({"CAM-A(PTZ 1)", "CAM-B(PTZ 2)", "None", "None", "None"}));
    QCOMPARE(fixture.sourceRows(), QStringList({"CAM-A(PTZ 1)+", "CAM-B(PTZ 2)+"}));
    QCOMPARE(CameraDataStore::instance().copyWayPointEntries().at(2).node.at(1).ip,
             std::string("127.0.4.32"));
}

void TestFormScript::runReportLoadsItsDeltasAndSaveDropsThem()
{
    const QJsonObject nodeA{
        {"src_name", "CAM-A(PTZ 1)"}, {"ip", "10.9.9.9"}, {"pan", 500}, {"pan_speed", 3},
        {"elapsed_time_msec", 2000},  {"delta", 0.5}};
    const QJsonObject nodeGhost{{"src_name", "GHOST(X)"}, {"pan", 600}, {"delta", 1}};
    const QJsonObject report{
        {"version", 1.0},
        {"race_no", 3.7},
        {"loop_count", 2.5},
        {"race_length", "3000"},
        {"start", "10:00:00.000"},
        {"elapsed_time_msec", 9000},
        {"total_wp_no", 4},
        {"end_wp", 4},
        {"autoPlayNode",
         QJsonArray{QJsonObject{
             {"preset", 4}, {"max_time", 4000}, {"node", QJsonArray{nodeA, nodeGhost}}}}}};
    writeFile(QStringLiteral("report.kva"), QJsonDocument(report).toJson());
    load(QStringLiteral("report.kva"));
    QCOMPARE(entries(), QStringList({"4:CAM-A(PTZ 1)=500x0.5 GHOST(X)=600x1"}));
    QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("3/30"));
    QCOMPARE(fixture.text("LoopCountLlineEdit"), QString("1")); // 2.5 reads as 0, held to 1
    QCOMPARE(fixture.text("RaceLengthLineEdit"), QString("3000"));
    QCOMPARE(fixture.text("EndWayPtLlineEdit"), QString("4/4"));
    QCOMPARE(fixture.sourceRows(), QStringList({"CAM-A(PTZ 1)+", "GHOST(X)-"}));
    QCOMPARE(selections().first(), QString("CAM-A(PTZ 1)"));
    QCOMPARE(CameraDataStore::instance().copyWayPointEntries().at(4).node.at(0).ip,
             std::string("127.0.4.31"));

    ScriptFileDialog::setNextFileName(QStringLiteral("again.kva"));
    fixture.click("scriptSavePushButton");
    QFile again(QStringLiteral("again.kva"));
    QVERIFY(again.open(QIODevice::ReadOnly));
    const QByteArray saved = again.readAll();
    QVERIFY(saved.contains("\"pan\": 500"));
    QVERIFY(!saved.contains("delta"));
    QVERIFY(!saved.contains("GHOST")); // disabled in the table
}

void TestFormScript::cancelledOrUnreadableLoadChangesNothing()
{
    file(CamA, 2, 100);
    CameraDataStore::instance().setAutoPlaySourceEnabled(CamA, 0);
    fixture.form()->UpdateNewSrcAdded();
    fixture.click("RLoopCountToolButton", 4);
    fixture.click("RSetupWayptToolButton", 2);
    const QStringList before = fields();
    const QStringList stored = entries();
    for (const char *path : {"", "scripts/none.kva", "scripts"}) { // cancelled, missing, a folder
        QDir(QStringLiteral("scripts")).removeRecursively();
        load(path);
        QVERIFY2(QDir(QStringLiteral("scripts")).exists(), path); // made for the dialog anyway
        QCOMPARE(fields(), before);
        QCOMPARE(entries(), stored);
        QCOMPARE(fixture.sourceRows(), QStringList{"CAM-A(PTZ 1)-"});
        const QString failure = fixture.takeFailure();
        QVERIFY2(*path ? failure.contains(path) : failure.isEmpty(), qPrintable(failure));
    }
}

// A file that is cut short, not JSON, or not a script leaves the whole set-up as it was.
void TestFormScript::badFileChangesNothingAndSaysWhy()
{
    file(CamA, 1, 100);
    file(CamB, 3, 300);
    CameraDataStore::instance().setAutoPlaySourceEnabled(CamB, 0);
    fixture.form()->UpdateNewSrcAdded();
    fixture.click("RLoopCountToolButton", 4);
    fixture.type("TotalRaceslineEdit", "50");
    fixture.type("RaceCourseNameLineEdit", "Hollow Downs");
    FormFixture::selector(fixture.form()->cameraPanels().at(0))->setCurrentText("CAM-B(PTZ 2)");
    ScriptFileDialog::setNextFileName(QStringLiteral("good.kva"));
    fixture.click("scriptSavePushButton");
    QFile good(QStringLiteral("good.kva"));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray saved = good.readAll();

    const QStringList before = fields();
    const QStringList stored = entries();
    const QStringList rows = fixture.sourceRows();
    const QStringList selected = selections();
    const QList<QByteArray> files{saved.left(saved.size() / 2),
                                  QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18),
                                  QByteArray("[{\"race_no\": 5}]")};
    for (const QByteArray &data : files) {
        writeFile(QStringLiteral("bad.kva"), data);
        load(QStringLiteral("bad.kva"));
        QCOMPARE(fields(), before);
        QCOMPARE(entries(), stored);
        QCOMPARE(fixture.sourceRows(), rows);
        QCOMPARE(selections(), selected);
        const QString failure = fixture.takeFailure();
        QVERIFY2(failure.contains("bad.kva") && failure.contains("unchanged"), qPrintable(failure));
    }
}

void TestFormScript::failedSaveIsShown()
{
    writeFile(QStringLiteral("blocker"), "a file where a folder should be");
    for (const QString &path : {QString(), QStringLiteral("blocker/race.kva")}) {
        ScriptFileDialog::setNextFileName(path);
        fixture.click("scriptSavePushButton");
        const QString failure = fixture.takeFailure();
        QVERIFY2(path.isEmpty() ? failure.isEmpty() : failure.contains(path), qPrintable(failure));
    }
}

// OPEN REPORT refuses a script, charts a report in one reused window and saves the picture
// beside the report; a picture that cannot be written is said so.
void TestFormScript::openReportChartsItAndSavesThePicture()
{
    const QString report = QStringLiteral("reports/Westmere_3_20240305_07094.kva");
    QVERIFY(QDir().mkpath(QStringLiteral("reports")));
    writeFile(report, R"({"venue": "Westmere", "race_no": 3, "elapsed_time_msec": 9000,
        "autoPlayNode": [{"preset": 1, "node": [
            {"src_name": "A", "elapsed_time_msec": 3000, "end": "10:00:03.000"},
            {"src_name": "B", "elapsed_time_msec": 3420, "end": "10:00:03.420"}]}]})");
    writeFile(QStringLiteral("race.kva"), R"({"venue": "Westmere", "autoPlayNode": []})");

    for (const QString &path : {QStringLiteral("race.kva"), report, report}) {
        ScriptFileDialog::setNextFileName(path);
        fixture.click("OpenReportPushButton");
        QCOMPARE(fixture.takeFailure().contains(path), path == "race.kva");
    }
    const QList<RunChart *> charts = fixture.form()->findChildren<RunChart *>();
    QCOMPARE(charts.size(), 1);
    RunChart *chart = charts.front();
    QVERIFY(chart->isVisible());
    QCOMPARE(chart->chartView()->chart()->title(),
             QString("Westmere  \u00b7  Race 3  \u00b7  2024-03-05  \u00b7  median spread 420 ms"));

    auto *save = chart->findChild<QPushButton *>(QString::fromLatin1(RunChart::SaveButtonName));
    QTest::mouseClick(save, Qt::LeftButton);
    const QImage picture(QStringLiteral("reports/Westmere_3_20240305_07094.png"));
    QCOMPARE(picture.size(), chart->chartView()->size());

    QFile::remove(QStringLiteral("reports/Westmere_3_20240305_07094.png"));
    QVERIFY(QDir().mkpath(QStringLiteral("reports/Westmere_3_20240305_07094.png")));
    QTest::mouseClick(save, Qt::LeftButton);
    auto *box =
        chart->findChild<QMessageBox *>(QString::fromLatin1(ScriptFileDialog::FailureBoxName));
    QVERIFY(box && box->text().contains("Westmere_3_20240305_07094.png"));
}

QTEST_MAIN(TestFormScript)
#include "tst_form_script.moc"
