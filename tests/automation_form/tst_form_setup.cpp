#include "formfixture.h"

#include "automation/autoplaythread.h"
#include "automation/racecourse.h"
#include "automation/racelog.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"
#include "position_editing/camerasrcaddctrl.h"
#include "store/cameradatastore.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>

namespace {

// Remembers the addresses the form asks the desktop to open, instead of opening them.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestFormSetup : public QObject
{
    Q_OBJECT

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void startUp();
    void stepButtonsStopAtTheirBounds();
    void typedValues();
    void totalWayPointPullsTheOthersDown();
    void rememberedAcrossARestart();
    void startAndEndNeverCrossNorCurrentRaceTotal();
    void resetRestoresStepButtons();
    void setupWayPointReachesPanelsAndStore();
    void panelRowGrowsToTenAndShrinks();
    void newSourceIsOfferedOnceToEveryPanel();
    void sourcesTable();
    void linkButtons();

private:
    QString state(const char *name) const
    {
        return QString(name).endsWith("ToolButton") ? (fixture.enabled(name) ? "on" : "off")
                                                    : fixture.text(name);
    }

    FormFixture fixture;
};

// Texts of line edits, or "on"/"off" for the enabled state of step buttons.
void TestFormSetup::startUp()
{
    const QList<QPair<const char *, const char *>> rows{
        {"TotalRaceslineEdit", "30"},     {"TotalWayPtlineEdit", "12"},
        {"SetupWayptLineEdit", "1/12"},   {"CurrentRaceLineEdit", "1/30"},
        {"StartWayptLineEdit", "1/12"},   {"EndWayPtLlineEdit", "12/12"},
        {"RaceLengthLineEdit", "3000"},   {"LoopCountLlineEdit", "1"},
        {"RaceCourseNameLineEdit", ""},   {"LSetupWayptToolButton", "off"},
        {"RSetupWayptToolButton", "on"},  {"LCurrentRaceToolButton", "off"},
        {"RCurrentRaceToolButton", "on"}, {"LStartWayptToolButton", "off"},
        {"RStartWayptToolButton", "on"},  {"LEndWayptToolButton", "on"},
        {"REndWayptToolButton", "off"},   {"LLoopCountToolButton", "off"},
        {"RLoopCountToolButton", "on"},   {"LTotalRacesToolButton", "on"},
        {"RTotalWayPtsToolButton", "on"}};
    QStringList expected, actual;
    for (const auto &[name, value] : rows) {
        expected << QString("%1=%2").arg(name, value);
        actual << QString("%1=%2").arg(name, state(name));
    }
    QCOMPARE(actual, expected);
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString());
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString());
    QCOMPARE(fixture.widget<RaceCourse>("raceCourseWidget")->count(), int16_t(12));
}

// Field, its step buttons, the lower bound, a value typed before stepping up, the upper bound.
void TestFormSetup::stepButtonsStopAtTheirBounds()
{
    struct Row
    {
        const char *field, *down, *up, *low, *typedBeforeUp, *high;
    };
    for (const Row &row : {Row{"TotalWayPtlineEdit", "LTotalWayPtsToolButton",
                               "RTotalWayPtsToolButton", "3", nullptr, "99"},
                           Row{"TotalRaceslineEdit", "LTotalRacesToolButton",
                               "RTotalRacesToolButton", "2", "990", "999"},
                           Row{"LoopCountLlineEdit", "LLoopCountToolButton", "RLoopCountToolButton",
                               "1", nullptr, "99"}}) {
        fixture.click("ResetPushButton");
        fixture.click(row.down, 40);
        QCOMPARE(fixture.text(row.field), QString(row.low));
        QVERIFY2(!fixture.enabled(row.down), row.down);
        if (row.typedBeforeUp)
            fixture.type(row.field, row.typedBeforeUp);
        fixture.click(row.up, 110);
        QCOMPARE(fixture.text(row.field), QString(row.high));
        QVERIFY2(!fixture.enabled(row.up), row.up);
        QVERIFY2(fixture.enabled(row.down), row.down);
        // Other fields never bear on a bound.
        fixture.type("TotalWayPtlineEdit", "2");
        QCOMPARE(fixture.enabled("RLoopCountToolButton"),
                 row.up != QString("RLoopCountToolButton"));
    }
}

// Each value typed into a reset form, with what the form then shows.
void TestFormSetup::typedValues()
{
    const char *total = "TotalWayPtlineEdit", *races = "TotalRaceslineEdit",
               *length = "RaceLengthLineEdit";
    const QList<std::tuple<const char *, QString, QString>> rows{
        {total, "1", "2 end 2/2 course 2 steps off/on"},
        {total, "0", "2 end 2/2 course 2 steps off/on"},
        {total, "abc", "2 end 2/2 course 2 steps off/on"},
        {total, "99", "99 end 12/99 course 99 steps on/off"},
        {total, "9999", "9999 end 12/9999 course 100 steps on/off"},
        {total, "12345", "1234 end 12/1234 course 100 steps on/off"},
        {races, "0", "1 current 1/1"},
        {races, "-7", "1 current 1/1"},
        {races, "xy", "1 current 1/1"},
        {races, "999", "999 current 1/999"},
        {length, "0", "1 length 1"},
        {length, "far", "1 length 1"},
        {length, "1600", "1600 length 1600"},
        {length, "32767", "32767 length 32767"},
        {length, "40000", "32767 length 32767"}};
    QStringList expected, actual;
    for (const auto &[field, typed, shown] : rows) {
        fixture.click("ResetPushButton");
        fixture.type(field, typed);
        QString seen = fixture.text(field);
        if (field == total)
            seen += QString(" end %1 course %2 steps %3/%4")
                        .arg(fixture.text("EndWayPtLlineEdit"))
                        .arg(fixture.widget<RaceCourse>("raceCourseWidget")->count())
                        .arg(state("LTotalWayPtsToolButton"), state("RTotalWayPtsToolButton"));
        else if (field == races)
            seen += " current " + fixture.text("CurrentRaceLineEdit");
        else
            seen += " length " + QString::number(fixture.form()->raceParameters().raceLength);
        expected << QString("%1 '%2': %3").arg(field, typed, shown);
        actual << QString("%1 '%2': %3").arg(field, typed, seen);
    }
    QCOMPARE(actual, expected);
}

void TestFormSetup::totalWayPointPullsTheOthersDown()
{
    fixture.click("RSetupWayptToolButton", 9);
    fixture.click("RStartWayptToolButton", 7);
    fixture.click("LEndWayptToolButton", 2);
    fixture.type("TotalWayPtlineEdit", "9");
    QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("9/9"));
    QCOMPARE(fixture.text("StartWayptLineEdit"), QString("8/9"));
    QCOMPARE(fixture.text("EndWayPtLlineEdit"), QString("9/9"));
    fixture.type("TotalWayPtlineEdit", "5");
    QCOMPARE(fixture.text("StartWayptLineEdit"), QString("5/5"));
    for (const char *name : {"RSetupWayptToolButton", "RStartWayptToolButton",
                             "LEndWayptToolButton", "REndWayptToolButton"})
        QVERIFY2(!fixture.enabled(name), name);
    fixture.type("TotalWayPtlineEdit", "20");
    QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("5/20"));
    QCOMPARE(fixture.text("EndWayPtLlineEdit"), QString("5/20"));
    QVERIFY(fixture.enabled("RSetupWayptToolButton"));
    QVERIFY(fixture.enabled("REndWayptToolButton"));
}

void TestFormSetup::startAndEndNeverCrossNorCurrentRaceTotal()
{
    fixture.click("LEndWayptToolButton", 8);
    fixture.click("RStartWayptToolButton", 10);
    QCOMPARE(fixture.text("StartWayptLineEdit"), QString("4/12"));
    QCOMPARE(fixture.text("EndWayPtLlineEdit"), QString("4/12"));
    QVERIFY(!fixture.enabled("RStartWayptToolButton"));
    QVERIFY(!fixture.enabled("LEndWayptToolButton"));
    fixture.click("REndWayptToolButton");
    QVERIFY(fixture.enabled("RStartWayptToolButton"));
    QVERIFY(fixture.enabled("LEndWayptToolButton"));

    fixture.click("RCurrentRaceToolButton", 40);
    QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("30/30"));
    QVERIFY(!fixture.enabled("RCurrentRaceToolButton"));
    fixture.click("LTotalRacesToolButton", 5);
    QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("25/25"));
// The slider and the last script saved or loaded come back after a restart; a failed LOAD
// changes neither and goes to the race-day log.
void TestFormSetup::rememberedAcrossARestart()
{
    auto *slider = fixture.widget<QSlider>("horizontalSlider");
    QCOMPARE(slider->value(), 60);
    QCOMPARE(ScriptFileDialog::startLocation(), QString("./scripts/"));
    QVERIFY(QDir().mkpath("a") && QDir().mkpath("b"));
    ScriptFileDialog::setNextFileName("a/one.kva");
    fixture.click("scriptSavePushButton");
    QCOMPARE(fixture.form()->windowTitle(), QString("one.kva - Trevalo"));
    QVERIFY(QFile::copy("a/one.kva", "b/two.kva"));
    ScriptFileDialog::setNextFileName("b/two.kva");
    fixture.click("scriptLoadPushButton");
    QCOMPARE(fixture.form()->windowTitle(), QString("two.kva - Trevalo"));
    ScriptFileDialog::setNextFileName("b/missing.kva");
    fixture.click("scriptLoadPushButton");
    QVERIFY(fixture.takeFailure().startsWith("Could not load"));
    slider->setValue(83);

    fixture.restart();
    QCOMPARE(fixture.widget<QSlider>("horizontalSlider")->value(), 83);
    QCOMPARE(fixture.form()->speedStep(), AutoPlayThread::speedStepFromSlider(83));
    QCOMPARE(ScriptFileDialog::startLocation(), QDir::current().absoluteFilePath("b/two.kva"));
    QFile log(RaceLog::filePath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("warning shown: Could not load"));
    // A folder that has gone sends the dialogs back to the default.
    QVERIFY(QDir("b").removeRecursively());
    QCOMPARE(ScriptFileDialog::startLocation(), QString("./scripts/"));
}

    fixture.type("TotalRaceslineEdit", "5");
    QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("5/5"));
    fixture.click("RTotalRacesToolButton");
    QVERIFY(fixture.enabled("RCurrentRaceToolButton"));
}

void TestFormSetup::resetRestoresStepButtons()
{
    fixture.type("TotalRaceslineEdit", "999");
    fixture.type("TotalWayPtlineEdit", "99");
    fixture.click("LEndWayptToolButton", 98);
    fixture.click("RLoopCountToolButton", 5);
    fixture.type("RaceCourseNameLineEdit", "Hollow Downs");
    fixture.click("ResetPushButton");
    QCOMPARE(fixture.text("TotalRaceslineEdit"), QString("30"));
    QCOMPARE(fixture.text("TotalWayPtlineEdit"), QString("12"));
    QCOMPARE(fixture.text("EndWayPtLlineEdit"), QString("12/12"));
    QCOMPARE(fixture.text("LoopCountLlineEdit"), QString("1"));
    QCOMPARE(fixture.text("RaceCourseNameLineEdit"), QString("Hollow Downs"));
    for (const char *name : {"RTotalRacesToolButton", "RTotalWayPtsToolButton",
                             "RStartWayptToolButton", "LEndWayptToolButton"})
        QVERIFY2(fixture.enabled(name), name);
}

void TestFormSetup::setupWayPointReachesPanelsAndStore()
{
    fixture.click("RSetupWayptToolButton", 3);
    fixture.click("RStartWayptToolButton", 2);
    QCOMPARE(CameraDataStore::instance().getCurrentSetupWayPoint(), 4);
    for (CameraPosCtrls *panel : fixture.form()->cameraPanels()) {
        auto *box = panel->findChild<QSpinBox *>(QStringLiteral("wayPointSpinBox"));
        QCOMPARE(QString("%1..%2=%3").arg(box->minimum()).arg(box->maximum()).arg(box->value()),
                 QString("3..12=4"));
    }
}

void TestFormSetup::panelRowGrowsToTenAndShrinks()
{
    CentralMainWindow *form = fixture.form();
    auto *row = fixture.widget<QHBoxLayout>("SrcHorizontalLayout");
    CameraSrcAddCtrl *tile = form->sourceTile();
    QCOMPARE(form->cameraPanels().size(), 5);
    QCOMPARE(row->indexOf(tile), 5);
    for (int i = 0; i < 5; ++i) {
        CameraPosCtrls *panel = form->cameraPanels().at(i);
        auto *close = panel->findChild<QWidget *>(QStringLiteral("closeToolButton"));
        QCOMPARE(close && close->isVisibleTo(panel), i == 4); // the first four stay
    }
    fixture.widget<QSlider>("horizontalSlider")->setValue(77);
    auto *plus = tile->findChild<QPushButton *>();
    for (int i = 0; i < 7; ++i)
        QTest::mouseClick(plus, Qt::LeftButton);
    QCOMPARE(form->cameraPanels().size(), 10);
    QCOMPARE(row->indexOf(tile), -1);
    QVERIFY(!tile->isVisible());
    QCOMPARE(form->cameraPanels().at(9)->jogSpeed.load(), 77);

    CameraPosCtrls *closing = form->cameraPanels().at(6);
    QTest::mouseClick(closing->findChild<QAbstractButton *>(QStringLiteral("closeToolButton")),
                      Qt::LeftButton);
    QTRY_COMPARE(form->cameraPanels().size(), 9);
    QVERIFY(!form->cameraPanels().contains(closing));
    QCOMPARE(row->indexOf(tile), 9);
    QVERIFY(tile->isVisible());
    for (int i = 0; i < 9; ++i)
        QCOMPARE(row->indexOf(form->cameraPanels().at(i)), i);
}

void TestFormSetup::newSourceIsOfferedOnceToEveryPanel()
{
    fixture.offerSources({{"CAM-A", "PTZ 1", "127.0.4.21", 5961}});
    // Seen anew elsewhere (the store forgot it), and another source whose name reads alike.
    CameraDataStore::instance().resetForTests();
    fixture.offerSources({{"CAM-A", "PTZ 1", "127.0.4.22", 5961},
                          {"X(Y", "Z", "127.0.4.23", 5961},
                          {"X", "Y(Z", "127.0.4.24", 5961},
                          {"CAM-B", "PTZ 2", "127.0.4.25", 5961}});
    fixture.form()->UpdateSourceList(); // nothing new
    for (CameraPosCtrls *panel : fixture.form()->cameraPanels()) {
        const QStringList items = FormFixture::selectorItems(panel);
        for (const char *name : {"CAM-A(PTZ 1)", "X(Y(Z)", "CAM-B(PTZ 2)"})
            QCOMPARE(items.count(name), 1);
    }
}

void TestFormSetup::sourcesTable()
{
    CameraDataStore &store = CameraDataStore::instance();
    // Flags other than 0 and 1 show whether a rebuild wrote the check boxes back.
    const CameraDataStore::SourceFlags flags{{"b(2)", 2}, {"A(1)", -1}, {"c(3)", 1}, {"B(0)", 0}};
    store.setAutoPlaySources(flags);
    fixture.form()->UpdateNewSrcAdded();
    QCOMPARE(fixture.sourceRows(), QStringList({"A(1)-", "B(0)-", "b(2)+", "c(3)+"}));
    auto *table = fixture.widget<QTableWidget>("srcTableWidget");
    QCOMPARE(store.getAutoPlaySources(), flags);
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));

    table->item(3, 0)->setCheckState(Qt::Unchecked);
    table->item(1, 0)->setCheckState(Qt::Checked);
    QCOMPARE(store.getAutoPlaySources().at("c(3)"), 0);
    QCOMPARE(store.getAutoPlaySources().at("B(0)"), 1);
}

void TestFormSetup::linkButtons()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    for (const char *button : {"fbToolButton", "twToolButton", "InstToolButton", "ytToolButton",
                               "liToolButton", "kvHomePushButton"})
        fixture.click(button);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QList<QUrl> expected;
    for (const char *path : {"/facebook", "/twitter", "/instagram", "/youtube", "/linkedin", ""})
        expected << QUrl(QString("https://korvane.example") + path);
    QCOMPARE(recorder.urls, expected);
}

QTEST_MAIN(TestFormSetup)
#include "tst_form_setup.moc"
