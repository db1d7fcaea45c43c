#include "formfixture.h"

#include "automation/engine/autoplaythread.h"
#include "automation/racecourse.h"
#include "automation/runchart.h"
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
#include <tuple>

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
    void stopEndsARunWithStopCommands();
    void goToWhileIdle();
    void goToWhilePlaying();
    void goToDuringAGoToGoesWhereAskedLast();
    void sliderGivesSpeedSteps();
    void raceCourseMarksTheRun();
    void finishedAfterStopChangesNothing();
    void closingTheWindowDuringARun();
    void silentCameraIsGivenUpAndShown();

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
    // The finished engine goes once its thread has sent the last stop commands.
    QTRY_VERIFY(fixture.form()->findChildren<AutoPlayThread *>().isEmpty());
    for (int wayPoint : {1, 2, 3})
        QCOMPARE(movesTo(*cameraA, panOf(wayPoint, 1)), 1);
    QCOMPARE(movesTo(*cameraB, panOf(3, 2)), 1);
    QCOMPARE(reportCount(), 1);
    // The report written is charted at once.
    QTRY_VERIFY(fixture.widget<RunChart>("RunChart") &&
                fixture.widget<RunChart>("RunChart")->isVisible());
    QCOMPARE(fixture.widget<RunChart>("RunChart")->windowTitle(),
             "Run chart - " + QDir(QStringLiteral("reports")).entryList(QDir::Files).value(0));
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString());
    QCOMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString());
    for (int n = 1; n <= 12; ++n)
        QVERIFY(!fixture.widget<RaceCourse>("raceCourseWidget")->isReached(n));
}

// Either button stops the run it started.
void TestFormRun::stopEndsARunWithStopCommands()
{
    silence(true);
    int runs = 0;
    for (const char *button : {"StartStopPushButton", "playStartStoptoolButton"}) {
        ++runs;
        cameraA->clearRequests();
        cameraB->clearRequests();
        QDir(QStringLiteral("reports")).removeRecursively(); // a report's name counts seconds
        fixture.click(button);
        QTRY_COMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString("1"));
        QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString("Current Loop"));
        QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), runs);
        QElapsedTimer click;
        click.start();
        fixture.click(button);
        QVERIFY2(click.elapsed() < 250, "STOP waited on silent cameras");
        QVERIFY(!fixture.form()->engine());
        QVERIFY(!fixture.form()->playing());
        QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("START"));
        QVERIFY(fixture.enabled("StartStopPushButton"));
        // The click returns at once; the stops and the report follow from the engine's thread.
        QTRY_VERIFY2(sawStop(*cameraA), button);
        QTRY_VERIFY2(sawStop(*cameraB), button);
        QTRY_COMPARE(reportCount(), 1); // a stopped START run still reports
        QCOMPARE(fixture.widget<QLabel>("CurrentLoopLabel")->text(), QString());
    }
}

// GO TO START and GO TO END while idle each play their one waypoint, without a report.
void TestFormRun::goToWhileIdle()
{
    fixture.click("RStartWayptToolButton");
    fixture.click("LEndWayptToolButton", 9);
    size_t runs = 0;
    for (const auto &[button, wayPoint] :
         {std::pair("GoStartPushButton", 2), std::pair("GoEndPushButton", 3)}) {
        fixture.click(button);
        QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("%1/12").arg(wayPoint));
        QCOMPARE(fixture.widget<QPushButton>("StartStopPushButton")->text(), QString("STOP"));
        QTRY_COMPARE_WITH_TIMEOUT(fixture.widget<QPushButton>("StartStopPushButton")->text(),
                                  QString("START"), 10000);
        QCOMPARE(movesTo(*cameraA, panOf(wayPoint, 1)), 1);
        QCOMPARE(cameraA->moves().size(), ++runs);
        QCOMPARE(reportCount(), 0);
    }
}

// While playing, GO TO START moves the first waypoint again and GO TO END jumps to the last;
// the run goes on, on the same engine.
void TestFormRun::goToWhilePlaying()
{
    silence(true);
    for (const auto &[button, wayPoint] :
         {std::pair("GoStartPushButton", 1), std::pair("GoEndPushButton", 3)}) {
        const int firstMoves = movesTo(*cameraA, panOf(1, 1));
        fixture.click("StartStopPushButton");
        QTRY_COMPARE(movesTo(*cameraA, panOf(1, 1)), firstMoves + 1);
        const int moves = movesTo(*cameraA, panOf(wayPoint, 1));
        fixture.click(button);
        QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("1/12"));
        QTRY_COMPARE_WITH_TIMEOUT(movesTo(*cameraA, panOf(wayPoint, 1)), moves + 1, 5000);
        QVERIFY(fixture.form()->playing());
        QCOMPARE(fixture.form()->findChildren<AutoPlayThread *>().size(), 1);
        fixture.click("StartStopPushButton");
    }
}

// A GO TO move plays one waypoint; a GO TO pressed during it replaces it with the new move.
void TestFormRun::goToDuringAGoToGoesWhereAskedLast()
{
    silence(true);
    fixture.click("RStartWayptToolButton");  // Start Waypoint 2
    fixture.click("LEndWayptToolButton", 9); // End Waypoint 3
    for (const auto &[first, from, second, to] :
         {std::tuple("GoEndPushButton", 3, "GoStartPushButton", 2),
          std::tuple("GoStartPushButton", 2, "GoEndPushButton", 3)}) {
        const int firstMoves = movesTo(*cameraA, panOf(from, 1));
        fixture.click(first);
        QTRY_COMPARE(movesTo(*cameraA, panOf(from, 1)), firstMoves + 1);
        const int moves = movesTo(*cameraA, panOf(to, 1));
        fixture.click(second);
        QCOMPARE(fixture.text("SetupWayptLineEdit"), QString("%1/12").arg(to));
        QTRY_COMPARE_WITH_TIMEOUT(movesTo(*cameraA, panOf(to, 1)), moves + 1, 5000);
        QVERIFY(fixture.form()->playing());
        QCOMPARE(fixture.form()->findChildren<AutoPlayThread *>().size(), 1);
        fixture.click("StartStopPushButton");
        QVERIFY(!fixture.form()->playing());
    }
}

void TestFormRun::sliderGivesSpeedSteps()
{
    auto *slider = fixture.widget<QSlider>("horizontalSlider");
    QCOMPARE(panel(0)->jogSpeed.load(), 50); // untouched until the slider first moves
    silence(true);
    fixture.click("StartStopPushButton");
    for (const auto &[value, step] : {std::pair(6, 1), std::pair(60, 10), std::pair(100, 18)}) {
        slider->setValue(value);
        QCOMPARE(fixture.form()->engine()->speedStep.load(), step);
        QCOMPARE(fixture.form()->speedStep(), step);
        for (CameraPosCtrls *p : fixture.form()->cameraPanels())
            QCOMPARE(p->jogSpeed.load(), value);
    }
    fixture.click("StartStopPushButton");
    fixture.click("StartStopPushButton"); // a new run starts at the slider's step
    QCOMPARE(fixture.form()->engine()->speedStep.load(), 18);
    fixture.click("StartStopPushButton");
}

void TestFormRun::raceCourseMarksTheRun()
{
    auto *course = fixture.widget<RaceCourse>("raceCourseWidget");
    auto marked = [course] {
        QList<int> reached;
        for (int n = 1; n <= 12; ++n)
            if (course->isReached(n))
                reached << n;
        return reached;
    };
    file(CamA, 1, 6);
    fixture.click("LEndWayptToolButton", 7); // End Waypoint 5: waypoint 6 lies beyond it
    fixture.form()->HandlePresetUpdate(2);   // idle: nothing
    QVERIFY(marked().isEmpty());
    silence(true);
    fixture.click("StartStopPushButton");
    // Waypoint 1 is being played and waypoint 2 has positions: the leg 1-2 shows.
    QTRY_COMPARE(marked(), QList<int>({1, 2}));
    // The next waypoint with positions, none, the end waypoint.
    for (const auto &[preset, expected] :
         {std::pair(2, QList<int>{2, 3}), std::pair(3, QList<int>{3}),
          std::pair(5, QList<int>{5})}) {
        fixture.form()->HandlePresetUpdate(preset);
        QCOMPARE(marked(), expected);
    }
    fixture.click("StartStopPushButton");
    QVERIFY(marked().isEmpty());

    fixture.click("LEndWayptToolButton", 4); // a one-waypoint run: no leg
    fixture.click("StartStopPushButton");
    QTRY_VERIFY(course->isReached(1));
    fixture.form()->HandlePresetUpdate(1);
    QCOMPARE(marked(), QList<int>{1});
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

// The run goes on without a camera that never answers, and the race course shows where, and
// so does the badge of the panel showing that camera.
void TestFormRun::silentCameraIsGivenUpAndShown()
{
    panel(1)->AddSources({CamB});
    panel(1)->SelectSource(CamB);
    const QLabel *badge = panel(1)->findChild<QLabel *>(QStringLiteral("healthBadge"));
    cameraB->setPanTiltSilent(true);
    fixture.click("StartStopPushButton");
    // Camera A is there at once; the race course names the one the run waits for.
    QTRY_COMPARE(fixture.widget<RaceCourse>("raceCourseWidget")->holdingText(),
                 QString("CAM-B(PTZ 2)"));
    QTRY_COMPARE(badge->text(), QString("Moving · WP 1"));
    QTRY_COMPARE_WITH_TIMEOUT(fixture.widget<QPushButton>("StartStopPushButton")->text(),
                              QString("START"), 20000);
    const RaceCourse *course = fixture.widget<RaceCourse>("raceCourseWidget");
    for (int wayPoint : {1, 3})
        QCOMPARE(course->givenUpAt(wayPoint), QStringList{"CAM-B(PTZ 2)"});
    QVERIFY(course->givenUpAt(2).isEmpty());
    QVERIFY(movesTo(*cameraA, panOf(3, 1)) >= 1); // the run went on past the silent camera
    // The run's states on the badge end with the run.
    QVERIFY(!badge->text().contains(QLatin1String("WP")));
}

QTEST_MAIN(TestFormRun)
#include "tst_form_run.moc"
