#include "formfixture.h"

#include "automation/engine/autoplaythread.h"
#include "automation/racecourse.h"
#include "automation/runchart.h"
#include "position_editing/cameraposctrls.h"
#include "support/movingcamera.h"

#include <algorithm>

namespace {

const char CamA[] = "CAM-A(PTZ 1)", CamB[] = "CAM-B(PTZ 2)";

uint16_t panOf(int wayPoint, int camera)
{
    return uint16_t(1000 * wayPoint + 10 * camera);
}

int movesTo(const MovingCamera &camera, int wayPoint, int cameraNo = 1)
{
    const auto moves = camera.moves();
    return int(std::count_if(moves.begin(), moves.end(), [&](const MovingCamera::Move &m) {
        return m.pan == panOf(wayPoint, cameraNo);
    }));
}

bool sawStop(const MovingCamera &camera)
{
    const auto requests = camera.requests();
    return std::any_of(requests.begin(), requests.end(),
                       [](const ViscaRequest &r) { return r.kind == ViscaRequest::PanTiltStop; });
}

int reportCount()
{
    return QDir(QStringLiteral("reports")).entryList(QDir::Files).size();
}

} // namespace

class TestFormRun : public QObject
{
    Q_OBJECT

    FormFixture fixture;
    std::unique_ptr<MovingCamera> cameraA;
    std::unique_ptr<MovingCamera> cameraB;

    // Cameras that never report a position hold a run at its first waypoint until stopped.
    void silence()
    {
        cameraA->setPanTiltSilent(true);
        cameraB->setPanTiltSilent(true);
    }
    QString startStop() const { return fixture.widget<QPushButton>("StartStopPushButton")->text(); }

private slots:
    // Camera A has waypoints 1 to 3, camera B 1 and 3.
    void init()
    {
        cameraA = std::make_unique<MovingCamera>("127.0.4.1", 50.0);
        cameraB = std::make_unique<MovingCamera>("127.0.4.2", 50.0);
        fixture.setUp();
        CameraDataStore &store = CameraDataStore::instance();
        store.publishSources(
            {{"CAM-A", "PTZ 1", "127.0.4.1", 5961}, {"CAM-B", "PTZ 2", "127.0.4.2", 5961}});
        bool added = false;
        for (const auto &[camera, wayPoint] : {std::pair(1, 1), {1, 2}, {1, 3}, {2, 1}, {2, 3}})
            store.storeWayPoint(camera == 1 ? CamA : CamB,
                                WayPoint{panOf(wayPoint, camera), 0, 0, 0, 1.0f}, wayPoint, added);
    }
    void cleanup()
    {
        fixture.tearDown();
        cameraA.reset();
        cameraB.reset();
    }

    void startPlaysTheRangeReportsAndCharts()
    {
        fixture.click("StartStopPushButton");
        QCOMPARE(startStop(), QString("STOP"));
        QTRY_COMPARE_WITH_TIMEOUT(startStop(), QString("START"), 15000);
        // The finished engine goes once its thread has sent the last stop commands.
        QVERIFY(!fixture.form()->engine());
        QTRY_VERIFY(fixture.form()->findChildren<AutoPlayThread *>().isEmpty());
        for (int wayPoint : {1, 2, 3})
            QCOMPARE(movesTo(*cameraA, wayPoint), 1);
        QCOMPARE(movesTo(*cameraB, 3, 2), 1);
        QCOMPARE(reportCount(), 1);
        QTRY_VERIFY(fixture.widget<RunChart>("RunChart") &&
                    fixture.widget<RunChart>("RunChart")->isVisible());
    }

    // Either button stops its run at once, even with cameras that answer nothing; the stops
    // and the report follow from the engine's thread.
    void stopReturnsAtOnceAndStopsTheCameras()
    {
        silence();
        LoopbackCamera mute("127.0.4.3"); // every exchange with it waits out its time-out
        CameraDataStore::instance().publishSources({{"CAM-C", "PTZ 3", "127.0.4.3", 5961}});
        bool added = false;
        CameraDataStore::instance().storeWayPoint("CAM-C(PTZ 3)", WayPoint{}, 1, added);
        int runs = 0;
        for (const char *button : {"StartStopPushButton", "playStartStoptoolButton"}) {
            cameraA->clearRequests();
            cameraB->clearRequests();
            QDir(QStringLiteral("reports")).removeRecursively(); // a report's name counts seconds
            fixture.click(button);
            ++runs;
            QTRY_COMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString("1"));
            QTRY_COMPARE(movesTo(*cameraA, 1), runs);
            QElapsedTimer click;
            click.start();
            fixture.click(button);
            QVERIFY2(click.elapsed() < 500, "STOP waited on silent cameras");
            QVERIFY(!fixture.form()->engine() && !fixture.form()->playing());
            QCOMPARE(startStop(), QString("START"));
            QCOMPARE(fixture.widget<QLabel>("CurrentLoopValueLabel")->text(), QString());
            QTRY_VERIFY2(sawStop(*cameraA) && sawStop(*cameraB), button);
            QTRY_COMPARE(reportCount(), 1); // a stopped START run still reports
        }
    }

    // A stopped engine's finished() may still be queued when the next run starts; closing the
    // form during that run stops its cameras.
    void lateFinishedThenCloseDuringARun()
    {
        silence();
        fixture.click("StartStopPushButton");
        QTRY_COMPARE(movesTo(*cameraA, 1), 1);
        fixture.click("StartStopPushButton", 2);
        QTest::qWait(300);
        QVERIFY(fixture.form()->playing() && fixture.form()->engine());
        QCOMPARE(startStop(), QString("STOP"));
        QTRY_COMPARE(movesTo(*cameraA, 1), 2);
        cameraA->clearRequests();
        cameraB->clearRequests();
        fixture.restart();
        QVERIFY(sawStop(*cameraA) && sawStop(*cameraB));
    }

    // The run goes on without a camera that never answers; the race course and the badge of
    // the panel showing that camera say where it was given up.
    void silentCameraIsGivenUpAndShown()
    {
        fixture.panel(1)->AddSources({CamB});
        fixture.panel(1)->SelectSource(CamB);
        auto *badge = fixture.panel(1)->findChild<QLabel *>(QStringLiteral("healthBadge"));
        cameraB->setPanTiltSilent(true);
        fixture.click("StartStopPushButton");
        auto *course = fixture.widget<RaceCourse>("raceCourseWidget");
        QTRY_COMPARE(course->holdingText(), QString(CamB));
        QTRY_COMPARE(badge->text(), QString("Moving · WP 1"));
        QTRY_COMPARE_WITH_TIMEOUT(startStop(), QString("START"), 20000);
        QCOMPARE(course->givenUpAt(1) + course->givenUpAt(2) + course->givenUpAt(3),
                 QStringList({CamB, CamB}));
        QVERIFY(course->givenUpAt(2).isEmpty());
        QCOMPARE(movesTo(*cameraA, 3), 1);
        QVERIFY(!badge->text().contains(QLatin1String("WP"))); // the run's states end with it
    }
};

QTEST_MAIN(TestFormRun)
#include "tst_form_run.moc"
