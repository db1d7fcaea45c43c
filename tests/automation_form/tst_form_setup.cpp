#include "formfixture.h"

#include "automation/racecourse.h"
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

    void startUp_data();
    void startUp();
    void stepButtonsStopAtTheirBounds_data();
    void stepButtonsStopAtTheirBounds();
    void typedValues_data();
    void typedValues();
    void totalWayPointPullsTheOthersDown();
    void startAndEndNeverCross();
    void currentRaceFollowsTotalRaces();
    void resetRestoresStepButtons();
    void setupWayPointReachesPanelsAndStore();
    void panelRowGrowsToTenAndShrinks();
    void newSourceIsOfferedOnceToEveryPanel();
    void sourcesTable();
    void linkButtons_data();
    void linkButtons();

private:
    FormFixture fixture;
};

// Texts of line edits, or "on"/"off" for the enabled state of step buttons.
void TestFormSetup::startUp_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
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
    for (const auto &[name, expected] : rows)
        QTest::newRow(name) << name << expected;
}

void TestFormSetup::startUp()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const QByteArray key = name.toLatin1();
    if (name.endsWith("ToolButton"))
        QCOMPARE(fixture.enabled(key) ? "on" : "off", expected);
    else
        QCOMPARE(fixture.text(key), expected);
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString());
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString());
    QCOMPARE(fixture.widget<RaceCourse>("raceCourseWidget")->count(), int16_t(12));
}

void TestFormSetup::stepButtonsStopAtTheirBounds_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("down");
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("typedBeforeUp");
    QTest::addColumn<QString>("high");
    QTest::newRow("total waypoint") << "TotalWayPtlineEdit"
                                    << "LTotalWayPtsToolButton"
                                    << "RTotalWayPtsToolButton"
                                    << "3"
                                    << ""
                                    << "99";
    QTest::newRow("total races") << "TotalRaceslineEdit"
                                 << "LTotalRacesToolButton"
                                 << "RTotalRacesToolButton"
                                 << "2"
                                 << "990"
                                 << "999";
    QTest::newRow("loop count") << "LoopCountLlineEdit"
                                << "LLoopCountToolButton"
                                << "RLoopCountToolButton"
                                << "1"
                                << ""
                                << "99";
}

void TestFormSetup::stepButtonsStopAtTheirBounds()
{
    QFETCH(QString, field);
    QFETCH(QString, down);
    QFETCH(QString, up);
    QFETCH(QString, low);
    QFETCH(QString, typedBeforeUp);
    QFETCH(QString, high);
    fixture.click(down.toLatin1(), 120);
    QCOMPARE(fixture.text(field.toLatin1()), low);
    QVERIFY(!fixture.enabled(down.toLatin1()));
    if (!typedBeforeUp.isEmpty())
        fixture.type(field.toLatin1(), typedBeforeUp);
    fixture.click(up.toLatin1(), 120);
    QCOMPARE(fixture.text(field.toLatin1()), high);
    QVERIFY(!fixture.enabled(up.toLatin1()));
    QVERIFY(fixture.enabled(down.toLatin1()));
    // Other fields never bear on a bound.
    fixture.type("TotalWayPtlineEdit", "2");
    QVERIFY(fixture.enabled("RLoopCountToolButton") == (field != "LoopCountLlineEdit"));
}

void TestFormSetup::typedValues_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const char *total = "TotalWayPtlineEdit";
    QTest::newRow("waypoints 1") << total << "1"
                                 << "2";
    QTest::newRow("waypoints 0") << total << "0"
                                 << "2";
    QTest::newRow("waypoints text") << total << "abc"
                                    << "2";
    QTest::newRow("waypoints 99") << total << "99"
                                  << "99";
    QTest::newRow("waypoints 9999") << total << "9999"
                                    << "9999";
    QTest::newRow("waypoints 4 digits") << total << "12345"
                                        << "1234";
    const char *races = "TotalRaceslineEdit";
    QTest::newRow("races 0") << races << "0"
                             << "1";
    QTest::newRow("races negative") << races << "-7"
                                    << "1";
    QTest::newRow("races text") << races << "xy"
                                << "1";
    QTest::newRow("races 999") << races << "999"
                               << "999";
    const char *length = "RaceLengthLineEdit";
    QTest::newRow("length 0") << length << "0"
                              << "1";
    QTest::newRow("length text") << length << "far"
                                 << "1";
    QTest::newRow("length 1600") << length << "1600"
                                 << "1600";
    QTest::newRow("length 32767") << length << "32767"
                                  << "32767";
    QTest::newRow("length 40000") << length << "40000"
                                  << "32767";
}

void TestFormSetup::typedValues()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    fixture.type(field.toLatin1(), typed);
    QCOMPARE(fixture.text(field.toLatin1()), shown);
    const int value = shown.toInt();
    const RaceParameters &race = fixture.form()->raceParameters();
    if (field == "TotalWayPtlineEdit") {
        QCOMPARE(int(fixture.widget<RaceCourse>("raceCourseWidget")->count()),
                 std::min(value, 100));
        QCOMPARE(fixture.text("EndWayPtLlineEdit"),
                 QString("%1/%2").arg(std::min(value, 12)).arg(value));
        QCOMPARE(fixture.enabled("LTotalWayPtsToolButton"), value >= 4);
        QCOMPARE(fixture.enabled("RTotalWayPtsToolButton"), value < 99);
    } else if (field == "TotalRaceslineEdit") {
        QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("1/%1").arg(value));
    } else {
        QCOMPARE(int(race.raceLength), value);
    }
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

void TestFormSetup::startAndEndNeverCross()
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
}

void TestFormSetup::currentRaceFollowsTotalRaces()
{
    fixture.click("RCurrentRaceToolButton", 40);
    QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("30/30"));
    QVERIFY(!fixture.enabled("RCurrentRaceToolButton"));
    fixture.click("LTotalRacesToolButton", 5);
    QCOMPARE(fixture.text("CurrentRaceLineEdit"), QString("25/25"));
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
    auto *table = fixture.widget<QTableWidget>("srcTableWidget");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 0)->text() + (table->item(r, 0)->checkState() ? "+" : "-");
    QCOMPARE(rows, QStringList({"A(1)-", "B(0)-", "b(2)+", "c(3)+"}));
    QCOMPARE(store.getAutoPlaySources(), flags);
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));

    table->item(3, 0)->setCheckState(Qt::Unchecked);
    table->item(1, 0)->setCheckState(Qt::Checked);
    QCOMPARE(store.getAutoPlaySources().at("c(3)"), 0);
    QCOMPARE(store.getAutoPlaySources().at("B(0)"), 1);
}

void TestFormSetup::linkButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("path");
    QTest::newRow("facebook") << "fbToolButton"
                              << "/facebook";
    QTest::newRow("twitter") << "twToolButton"
                             << "/twitter";
    QTest::newRow("instagram") << "InstToolButton"
                               << "/instagram";
    QTest::newRow("youtube") << "ytToolButton"
                             << "/youtube";
    QTest::newRow("linkedin") << "liToolButton"
                              << "/linkedin";
    QTest::newRow("home") << "kvHomePushButton"
                          << "";
}

void TestFormSetup::linkButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, path);
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    fixture.click(button.toLatin1());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(recorder.urls, QList<QUrl>{QUrl("https://korvane.example" + path)});
}

QTEST_MAIN(TestFormSetup)
#include "tst_form_setup.moc"
