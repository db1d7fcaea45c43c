#include "formfixture.h"

#include "automation/engine/autoplaythread.h"
#include "automation/engine/racelog.h"

namespace {

const std::string CamA = "CAM-A(PTZ 1)", CamB = "CAM-B(PTZ 2)", CamC = "CAM-C(PTZ 3)";

void file(const std::string &name, int wayPoint, int32_t pan)
{
    bool added = false;
    CameraDataStore::instance().storeWayPoint(name, WayPoint{pan, 1, 2, 3, 1.0f}, wayPoint, added);
}

// "waypoint:name=pan ..." per waypoint of the store.
QStringList entries()
{
    QStringList list;
    for (const auto &[number, entry] : CameraDataStore::instance().copyWayPointEntries()) {
        QString text = QString::number(number) + ":";
        for (const WayPointNode &node : entry.node)
            text += QString::fromStdString(node.src_name) + "=" + QString::number(node.pan) + " ";
        list << text.trimmed();
    }
    return list;
}

} // namespace

class TestFormScript : public QObject
{
    Q_OBJECT

    FormFixture fixture;

    QStringList fields() const
    {
        QStringList values;
        for (const char *name :
             {"TotalRaceslineEdit", "TotalWayPtlineEdit", "SetupWayptLineEdit",
              "CurrentRaceLineEdit", "StartWayptLineEdit", "EndWayPtLlineEdit",
              "RaceLengthLineEdit", "LoopCountLlineEdit", "RaceCourseNameLineEdit"})
            values << fixture.text(name);
        return values;
    }
    // Everything a LOAD sets.
    QStringList setUp() const
    {
        return fields() + entries() + fixture.sourceRows() + fixture.selections();
    }
    void load(const QString &path)
    {
        ScriptFileDialog::setNextFileName(path);
        fixture.click("scriptLoadPushButton");
    }

private slots:
    void init()
    {
        fixture.setUp();
        fixture.offerSources({{"CAM-A", "PTZ 1", "127.0.4.31", 5961},
                              {"CAM-B", "PTZ 2", "127.0.4.32", 5961},
                              {"CAM-C", "PTZ 3", "127.0.4.33", 5961}});
    }
    void cleanup() { fixture.tearDown(); }

    // SAVE and LOAD give the whole set-up back: fields, positions, the flags of the table (an
    // unchecked camera is not saved) and the panels' sources; a LOAD that fails changes nothing
    // and says why, and so does a failed SAVE. The last script and the slider outlive a restart.
    void scriptsGiveTheSetUpBack()
    {
        for (const auto &[name, wayPoint] : {std::pair(CamA, 1), {CamA, 2}, {CamB, 2}, {CamC, 3}})
            file(name, wayPoint, 100 * wayPoint + 10 * (name == CamB));
        CameraDataStore::instance().setAutoPlaySourceEnabled(CamC, 0);
        fixture.form()->UpdateNewSrcAdded();
        fixture.type("TotalRaceslineEdit", "40");
        fixture.click("RCurrentRaceToolButton", 6);
        fixture.click("RLoopCountToolButton", 2);
        fixture.type("RaceCourseNameLineEdit", "Hollow Downs");
        ScriptFileDialog::setNextFileName(QStringLiteral("scripts/race.kva"));
        fixture.click("scriptSavePushButton");
        const QStringList before = setUp();
        QFile script(QStringLiteral("scripts/race.kva")), bad(QStringLiteral("bad.kva"));
        QVERIFY(script.open(QIODevice::ReadOnly) && bad.open(QIODevice::WriteOnly));
        bad.write(script.readAll().chopped(20)); // cut short
        bad.close();
        for (const QString &path : {QString(), QStringLiteral("missing.kva"), bad.fileName()}) {
            load(path);
            QCOMPARE(setUp(), before);
            QCOMPARE(fixture.takeFailure().contains(path + ": "), !path.isEmpty());
        }
        ScriptFileDialog::setNextFileName(QStringLiteral("bad.kva/race.kva"));
        fixture.click("scriptSavePushButton");
        QVERIFY(fixture.takeFailure().contains("bad.kva/race.kva"));

        fixture.click("ResetPushButton");
        fixture.type("RaceCourseNameLineEdit", "Elsewhere");
        fixture.panel(3)->findChild<QComboBox *>("srcSelectComboBox")->setCurrentIndex(3);
        load(script.fileName());
        QCOMPARE(fields(), QStringList({"40", "12", "1/12", "7/40", "1/12", "12/12", "3000", "3",
                                        "Hollow Downs"}));
        QCOMPARE(entries(),
                 QStringList({"1:CAM-A(PTZ 1)=100", "2:CAM-A(PTZ 1)=200 CAM-B(PTZ 2)=210"}));
        QCOMPARE(fixture.sourceRows(), QStringList({"CAM-A(PTZ 1)+", "CAM-B(PTZ 2)+"}));
        QCOMPARE(fixture.selections(),
                 QStringList({"CAM-A(PTZ 1)", "CAM-B(PTZ 2)", "None", "None", "None"}));
        QCOMPARE(fixture.form()->windowTitle(), QString("race.kva - Trevalo"));
        fixture.widget<QSlider>("horizontalSlider")->setValue(83);
        fixture.restart();
        QCOMPARE(fixture.widget<QSlider>("horizontalSlider")->value(), 83);
        QCOMPARE(fixture.form()->speedStep(), AutoPlayThread::speedStepFromSlider(83));
        QCOMPARE(ScriptFileDialog::startLocation(), QFileInfo(script).absoluteFilePath());
        QFile log(RaceLog::filePath());
        QVERIFY(log.open(QIODevice::ReadOnly) && log.readAll().contains("shown: Could not load"));
    }
};

QTEST_MAIN(TestFormScript)
#include "tst_form_script.moc"
