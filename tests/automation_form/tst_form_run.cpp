#include "formfixture.h"

#include "automation/autoplaythread.h"
#include "automation/racecourse.h"
#include "position_editing/cameraposctrls.h"
#include "shell/zumainwindow.h"
#include "store/cameradatastore.h"
#include "support/movingcamera.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const char CamA[] = "CAM-A(PTZ 1)";
const char CamB[] = "CAM-B(PTZ 2)";

uint16_t panOf(int wayPoint, int camera)
{
    return uint16_t(1000 * wayPoint + 10 * camera);
}

void file(const std::string &name, int camera, int wayPoint)
{
    WayPoint position;
    position.pan = panOf(wayPoint, camera);
    position.tilt = 200 * wayPoint;
    position.focus = 300 + wayPoint;
    position.zoom = 400 + wayPoint;
    bool added = false;
    CameraDataStore::instance().storeWayPoint(name, position, wayPoint, added);
}

int movesTo(const MovingCamera &camera, uint16_t pan)
{
    const auto moves = camera.moves();
    return int(std::count_if(moves.begin(), moves.end(),
                             [pan](const MovingCamera::Move &m) { return m.pan == pan; }));
}

bool sawStop(const MovingCamera &camera)
{
    for (const ViscaRequest &request : camera.requests())
        if (request.kind == ViscaRequest::PanTiltStop)
            return true;
    return false;
}

int reportCount()
{
    return QDir(QStringLiteral("reports")).entryList(QDir::Files).size();
}

} // namespace

class TestFormRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startPlaysTheRangeAndWritesAReport();
    void stopEndsARunWithStopCommands_data();
    void stopEndsARunWithStopCommands();
    void goToWhileIdle_data();
    void goToWhileIdle();
    void goToWhilePlaying_data();
    void goToWhilePlaying();
    void sliderGivesSpeedSteps_data();
    void sliderGivesSpeedSteps();
    void raceCourseFollowsTheRun();
    void presetMarks_data();
    void presetMarks();
    void finishedAfterStopChangesNothing();
    void closingTheWindowDuringARun();

private:
    void silence(bool silent);
    CameraPosCtrls *panel(int i) const { return fixture.form()->cameraPanels().at(i); }

    FormFixture fixture;
    std::unique_ptr<MovingCamera> cameraA;
    std::unique_ptr<MovingCamera> cameraB;
};

void TestFormRun::init()
{
    cameraA = std::make_unique<MovingCamera>("127.0.4.1", 50.0);
    cameraB = std::make_unique<MovingCamera>("127.0.4.2", 50.0);
    fixture.setUp();
    CameraDataStore::instance().publishSources(
        {{"CAM-A", "PTZ 1", "127.0.4.1", 5961}, {"CAM-B", "PTZ 2", "127.0.4.2", 5961}});
    for (int wayPoint : {1, 2, 3})
        file(CamA, 1, wayPoint);
    for (int wayPoint : {1, 3})
        file(CamB, 2, wayPoint);
}

void TestFormRun::cleanup()
{
    fixture.tearDown();
    cameraA.reset();
    cameraB.reset();
}

// Cameras that never report a position keep a run at its first waypoint until stopped.
void TestFormRun::silence(bool silent)
{
    cameraA->setPanTiltSilent(silent);
    cameraB->setPanTiltSilent(silent);
}

void TestFormRun::startPlaysTheRangeAndWritesAReport()
{
    fixture.click("StartStopPushButton");
    QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("STOP"));
    QVERIFY(fixture.form()->engine());
    QTRY_COMPARE_WITH_TIMEOUT(fixture.widget<QPushButton>("StartStopPushButton")->text(),
                              QString("START"), 15000);
    QVERIFY(!fixture.form()->engine());
    QVERIFY(fixture.form()->findChildren<AutoPlayThread *>().isEmpty());
    for (int wayPoint : {1, 2, 3})
        QCOMPARE(movesTo(*cameraA, panOf(wayPoint, 1)), 1);
    QCOMPARE(movesTo(*cameraB, panOf(3, 2)), 1);
    QCOMPARE(reportCount(), 1);
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString());
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString());
    for (int n = 1; n <= 12; ++n)
        QVERIFY(!fixture.widget<RaceCourse>("raceCourseWidget")->isReached(n));
}

void TestFormRun::stopEndsARunWithStopCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("START/STOP") << "StartStopPushButton";
    QTest::newRow("play button") << "playStartStoptoolButton";
}

void TestFormRun::stopEndsARunWithStopCommands()
{
    QFETCH(QString, button);
    silence(true);
    fixture.click(button.toLatin1());
    QTRY_COMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString("1"));
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString("Current Loop"));
    QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), 1);
    fixture.click(button.toLatin1());
    QVERIFY(!fixture.form()->engine());
    QVERIFY(!fixture.form()->playing());
    QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("START"));
    QVERIFY(fixture.enabled("StartStopPushButton"));
    QVERIFY(sawStop(*cameraA));
    QVERIFY(sawStop(*cameraB));
    QCOMPARE(reportCount(), 1); // a stopped START run still reports
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString());
}

void TestFormRun::goToWhileIdle_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("wayPoint");
    QTest::newRow("start") << "GoStartPushButton" << 2;
    QTest::newRow("end") << "GoEndPushButton" << 3;
}

void TestFormRun::goToWhileIdle()
{
    QFETCH(QString, button);
    QFETCH(int, wayPoint);
    fixture.click("RStartWayptToolButton");
    fixture.click("LEndWayptToolButton", 9);
    fixture.click(button.toLatin1());
    QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("%1/12").arg(wayPoint));
    QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("STOP"));
    QTRY_COMPARE_WITH_TIMEOUT(fixture.widget<QPushButton>("StartStopPushButton")->text(),
                              QString("START"), 10000);
    QCOMPARE(movesTo(*cameraA, panOf(wayPoint, 1)), 1);
    QCOMPARE(cameraA->moves().size(), size_t(1));
    QCOMPARE(reportCount(), 0);
}

void TestFormRun::goToWhilePlaying_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("wayPoint");
    QTest::addColumn<int>("moves");
    QTest::newRow("start moves the first waypoint again") << "GoStartPushButton" << 1 << 2;
    QTest::newRow("end jumps to the last waypoint") << "GoEndPushButton" << 3 << 1;
}

void TestFormRun::goToWhilePlaying()
{
    QFETCH(QString, button);
    QFETCH(int, wayPoint);
    QFETCH(int, moves);
    silence(true);
    fixture.click("StartStopPushButton");
    QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), 1);
    fixture.click(button.toLatin1());
    QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("1/12"));
    QTRY_COMPARE_WITH_TIMEOUT(movesTo(*cameraA, panOf(wayPoint, 1)), moves, 5000);
    QVERIFY(fixture.form()->playing());
    QCOMPARE(fixture.form()->findChildren<AutoPlayThread *>().size(), 1);
    fixture.click("StartStopPushButton");
}

void TestFormRun::sliderGivesSpeedSteps_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("step");
    QTest::newRow("6") << 6 << 1;
    QTest::newRow("60") << 60 << 10;
    QTest::newRow("100") << 100 << 18;
}

void TestFormRun::sliderGivesSpeedSteps()
{
    QFETCH(int, value);
    QFETCH(int, step);
    auto *slider = fixture.widget<QSlider>("horizontalSlider");
    QCOMPARE(panel(0)->jogSpeed.load(), 50); // untouched until the slider first moves
    silence(true);
    fixture.click("StartStopPushButton");
    slider->setValue(value == 60 ? 59 : 60);
    slider->setValue(value);
    QCOMPARE(fixture.form()->engine()->speedStep.load(), step);
    QCOMPARE(fixture.form()->speedStep(), step);
    for (CameraPosCtrls *p : fixture.form()->cameraPanels())
        QCOMPARE(p->jogSpeed.load(), value);
    fixture.click("StartStopPushButton");
    fixture.click("StartStopPushButton"); // a new run starts at the slider's step
    QCOMPARE(fixture.form()->engine()->speedStep.load(), step);
    fixture.click("StartStopPushButton");
}

void TestFormRun::raceCourseFollowsTheRun()
{
    auto *course = fixture.widget<RaceCourse>("raceCourseWidget");
    silence(true);
    fixture.click("StartStopPushButton");
    // Waypoint 1 is being played and waypoint 2 has positions: the leg 1-2 shows.
    QTRY_VERIFY(course->isReached(1) && course->isReached(2));
    QVERIFY(!course->isReached(3));
    fixture.click("StartStopPushButton");
    QVERIFY(!course->isReached(1) && !course->isReached(2));
}

void TestFormRun::presetMarks_data()
{
    QTest::addColumn<int>("endClicks");
    QTest::addColumn<int>("preset");
    QTest::addColumn<QList<int>>("marked");
    // End Waypoint 5 (waypoint 6 with positions lies beyond it), or 1 for a one-waypoint run.
    QTest::newRow("next has positions") << 7 << 2 << QList<int>{2, 3};
    QTest::newRow("next has none") << 7 << 3 << QList<int>{3};
    QTest::newRow("at the end waypoint") << 7 << 5 << QList<int>{5};
    QTest::newRow("one-waypoint run: no leg") << 11 << 1 << QList<int>{1};
}

void TestFormRun::presetMarks()
{
    QFETCH(int, endClicks);
    QFETCH(int, preset);
    QFETCH(QList<int>, marked);
    file(CamA, 1, 6);
    fixture.click("LEndWayptToolButton", endClicks);
    auto *course = fixture.widget<RaceCourse>("raceCourseWidget");
    fixture.form()->HandlePresetUpdate(preset); // idle: nothing
    QVERIFY(!course->isReached(preset));
    silence(true);
    fixture.click("StartStopPushButton");
    QTRY_VERIFY(course->isReached(1));
    fixture.form()->HandlePresetUpdate(preset);
    QList<int> reached;
    for (int n = 1; n <= 12; ++n)
        if (course->isReached(n))
            reached << n;
    QCOMPARE(reached, marked);
    fixture.click("StartStopPushButton");
}

void TestFormRun::finishedAfterStopChangesNothing()
{
    silence(true);
    fixture.click("StartStopPushButton");
    QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), 1);
    fixture.click("StartStopPushButton");
    QMetaObject::invokeMethod(fixture.form(), "HandleAutoPlayFinished", Qt::QueuedConnection);
    QTest::qWait(50);
    QVERIFY(!fixture.form()->playing());
    QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("START"));

    // The stopped engine's own finished() is still queued when the next run starts.
    fixture.click("StartStopPushButton");
    QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), 2);
    fixture.click("StartStopPushButton");
    fixture.click("StartStopPushButton");
    QTest::qWait(300);
    QVERIFY(fixture.form()->playing());
    QVERIFY(fixture.form()->engine());
    QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("STOP"));
    fixture.click("StartStopPushButton");
}

void TestFormRun::closingTheWindowDuringARun()
{
    ZuMainWindow window(nullptr);
    CentralMainWindow *form = fixture.release();
    window.contentLayout()->addWidget(form);
    connect(&window, &ZuMainWindow::requestClose, &window, &QWidget::close); // as main does
    window.show();
    silence(true);
    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("StartStopPushButton")),
                      Qt::LeftButton);
    QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), 1);
    QVERIFY(!sawStop(*cameraA));
    emit window.requestClose();
    QVERIFY(!window.isVisible());
    delete form;
    QVERIFY(sawStop(*cameraA));
    QVERIFY(sawStop(*cameraB));
}

QTEST_MAIN(TestFormRun)
#include "tst_form_run.moc"
