#include "formfixture.h"

#include "automation/engine/autoplaythread.h"
#include "automation/engine/racelog.h"
#include "automation/racecourse.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"
#include "position_editing/camerasrcaddctrl.h"
#include "store/cameradatastore.h"

#include <QDesktopServices>
#include <QHBoxLayout>
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

    void parameterControls();
    void panelRowGrowsToTenAndShrinks();
    void newSourceIsOfferedOnceToEveryPanel();
    void sourcesTable();
    void linkButtons();
    void rememberedAcrossARestart();

private:
    // A widget with its text, or "on"/"off" for the enabled state of a step button.
    using Rows = QList<QPair<const char *, const char *>>;
    void compare(const Rows &rows) const
    {
        QStringList expected, actual;
        for (const auto &[name, value] : rows) {
            const bool button = QString(name).endsWith("ToolButton");
            const QString state =
                button ? (fixture.enabled(name) ? "on" : "off") : fixture.text(name);
            expected << QString("%1=%2").arg(name, value);
            actual << QString("%1=%2").arg(name, state);
        }
        QCOMPARE(actual, expected);
    }

    FormFixture fixture;
};

// One change through each kind of control; the rules behind them are RaceParameters' own.
void TestFormSetup::parameterControls()
{
    const Rows startUp{{"TotalRaceslineEdit", "30"},      {"TotalWayPtlineEdit", "12"},
                       {"SetupWayptLineEdit", "1/12"},    {"CurrentRaceLineEdit", "1/30"},
                       {"StartWayptLineEdit", "1/12"},    {"EndWayPtLlineEdit", "12/12"},
                       {"RaceLengthLineEdit", "3000"},    {"LoopCountLlineEdit", "1"},
                       {"LSetupWayptToolButton", "off"},  {"RSetupWayptToolButton", "on"},
                       {"LCurrentRaceToolButton", "off"}, {"RCurrentRaceToolButton", "on"},
                       {"LStartWayptToolButton", "off"},  {"RStartWayptToolButton", "on"},
                       {"LEndWayptToolButton", "on"},     {"REndWayptToolButton", "off"},
                       {"LLoopCountToolButton", "off"},   {"RLoopCountToolButton", "on"},
                       {"LTotalRacesToolButton", "on"},   {"RTotalRacesToolButton", "on"},
                       {"LTotalWayPtsToolButton", "on"},  {"RTotalWayPtsToolButton", "on"}};
    compare(startUp);
    QCOMPARE(fixture.widget<RaceCourse>("raceCourseWidget")->count(), int16_t(12));

    fixture.type("TotalRaceslineEdit", "999");
    fixture.click("RCurrentRaceToolButton", 2);
    fixture.click("RSetupWayptToolButton", 9);
    fixture.type("TotalWayPtlineEdit", "5");
    fixture.click("RStartWayptToolButton", 9);
    fixture.click("RLoopCountToolButton");
    fixture.type("RaceLengthLineEdit", "40000");
    fixture.type("RaceCourseNameLineEdit", "Hollow Downs");
    const Rows changed{{"TotalRaceslineEdit", "999"},    {"RTotalRacesToolButton", "off"},
                       {"CurrentRaceLineEdit", "3/999"}, {"LCurrentRaceToolButton", "on"},
                       {"TotalWayPtlineEdit", "5"},      {"SetupWayptLineEdit", "5/5"},
                       {"RSetupWayptToolButton", "off"}, {"StartWayptLineEdit", "5/5"},
                       {"RStartWayptToolButton", "off"}, {"EndWayPtLlineEdit", "5/5"},
                       {"LEndWayptToolButton", "off"},   {"REndWayptToolButton", "off"},
                       {"LoopCountLlineEdit", "2"},      {"LLoopCountToolButton", "on"},
                       {"RaceLengthLineEdit", "32767"}};
    compare(changed);
    QCOMPARE(fixture.widget<RaceCourse>("raceCourseWidget")->count(), int16_t(5));
    QCOMPARE(fixture.form()->raceParameters().venue, std::string("Hollow Downs"));
    // New positions go under the setup waypoint; the panels number theirs within Start..End.
    fixture.click("LStartWayptToolButton", 2);
    QCOMPARE(CameraDataStore::instance().getCurrentSetupWayPoint(), 5);
    for (CameraPosCtrls *panel : fixture.form()->cameraPanels()) {
        auto *box = panel->findChild<QSpinBox *>(QStringLiteral("wayPointSpinBox"));
        QCOMPARE(QString("%1..%2=%3").arg(box->minimum()).arg(box->maximum()).arg(box->value()),
                 QString("3..5=5"));
    }

    fixture.click("ResetPushButton");
    compare(startUp);
    QCOMPARE(fixture.widget<RaceCourse>("raceCourseWidget")->count(), int16_t(12));
    QCOMPARE(fixture.text("RaceCourseNameLineEdit"), QString("Hollow Downs"));
    QCOMPARE(fixture.form()->raceParameters().venue, std::string("Hollow Downs"));
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

QTEST_MAIN(TestFormSetup)
#include "tst_form_setup.moc"
