#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "automation/engine/noderunner.h"
#include "automation_engine/enginerun.h"
#include "support/movingcamera.h"

using namespace std::chrono_literals;
using Kind = ViscaRequest::Kind;
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// Pace of the test cameras at speed 1, in units per millisecond: at speed 10 a move of
// 200 units takes 400 ms, a few passes of the engine.
constexpr double kPace = 0.05;
constexpr unsigned long kRunLimitMs = 20000;

// Camera n of this program answers on 127.0.2.n and is discovered as "CAMn(PTZ)".
struct TestCamera
{
    TestCamera(int host, double pace = kPace)
        : ip("127.0.2." + std::to_string(host))
        , camera(ip, pace)
        , name(EngineSetup::discover("CAM" + std::to_string(host), ip))
    {
    }

    std::vector<ViscaRequest> sent(Kind kind) const
    {
        std::vector<ViscaRequest> matching;
        for (const ViscaRequest &request : camera.requests())
            if (request.kind == kind)
                matching.push_back(request);
        return matching;
    }

    std::vector<int> moveSpeeds() const
    {
        std::vector<int> speeds;
        for (const ViscaRequest &move : sent(Kind::PanTiltAbs))
            speeds.push_back(move.panSpeed);
        return speeds;
    }

    std::string ip;
    MovingCamera camera;
    std::string name;
};

// The run's report, named after the venue and race that configure() sets.
QJsonObject onlyReport()
{
    const QStringList files = QDir("reports").entryList({"*.kva"}, QDir::Files);
    if (files.size() != 1 || !files[0].startsWith("WestmereRacecourse_3_"))
        return {};
    QFile file("reports/" + files[0]);
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The three stop commands one camera receives at the end of a run, in order.
bool endsWithStopCommands(const std::vector<ViscaRequest> &requests)
{
    if (requests.size() < 3)
        return false;
    const ViscaRequest *last = &requests[requests.size() - 3];
    return last[0].kind == Kind::PanTiltStop && last[1].kind == Kind::Focus && last[1].value == 0 &&
           last[2].kind == Kind::Zoom && last[2].value == 0 &&
           last[1].sequence > last[0].sequence && last[2].sequence > last[1].sequence;
}

} // namespace

class TestAutoPlayThread : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        CameraDataStore::instance().resetForTests();
        workDir = std::make_unique<TempWorkDir>();
    }
    void cleanup() { workDir.reset(); }

    void visitSpeed_data();
    void visitSpeed();
    void holdsFromALoadedReport_data();
    void holdsFromALoadedReport();
    void firstVisitAndArrival_data();
    void firstVisitAndArrival();
    void sliderChangeResendsAtTheNewSpeed();
    void stalledCameraIsNudgedThenGivenUp_data();
    void stalledCameraIsNudgedThenGivenUp();
    void silentCameraHoldsUpNoOther();
    void arrivalAcrossZero();
    void goRequests_data();
    void goRequests();
    void stopStillReportsAndStopsEveryCamera();
    void runsWithoutMotion_data();
    void runsWithoutMotion();
    void twoLoopsOverEnabledAndDisabledCameras();
    void stopAtAwkwardMoments_data();
    void stopAtAwkwardMoments();

private:
    std::unique_ptr<TempWorkDir> workDir;
};

void TestAutoPlayThread::visitSpeed_data()
{
    QTest::addColumn<int>("slider");
    QTest::addColumn<float>("delta");
    QTest::addColumn<int>("speed");

    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("60, 1.0") << 60 << 1.0f << 10;
    QTest::newRow("60, 0.5") << 60 << 0.5f << 5;
    QTest::newRow("60, 0") << 60 << 0.0f << 1;
    QTest::newRow("100, 1.5") << 100 << 1.5f << 18;
    QTest::newRow("60, 0.66 truncates") << 60 << 0.66f << 6;
    QTest::newRow("huge") << 60 << 1e30f << 18;
    QTest::newRow("negative") << 60 << -0.5f << 1;
    QTest::newRow("infinite") << 60 << inf << 18;
    QTest::newRow("minus infinite") << 60 << -inf << 1;
    QTest::newRow("NaN counts as 1.0") << 60 << nan << 10;
    QTest::newRow("step 0 with infinity") << 0 << inf << 1;
}

void TestAutoPlayThread::visitSpeed()
{
    QFETCH(int, slider);
    QFETCH(float, delta);
    QFETCH(int, speed);
    QCOMPARE(AutoPlayThread::visitSpeed(AutoPlayThread::speedStepFromSlider(slider), delta), speed);
}

void TestAutoPlayThread::holdsFromALoadedReport_data()
{
    QTest::addColumn<QList<int>>("travel"); // recorded at speed 10; 0: no record
    QTest::addColumn<QList<double>>("deltas");
    QTest::addColumn<QList<int>>("holds"); // at speed step 10

    QTest::newRow("nothing recorded")
        << QList<int>{0, 0} << QList<double>{1, 1} << QList<int>{0, 0};
    QTest::newRow("same pace: the quicker waits")
        << QList<int>{4000, 3000} << QList<double>{1, 1} << QList<int>{0, 1000};
    // 0.75 of step 10 is step 7: 3000 ms at 10 becomes 4285 ms, later than the slowest.
    QTest::newRow("a whole step falls short")
        << QList<int>{4000, 3000} << QList<double>{1, 0.75} << QList<int>{285, 0};
    QTest::newRow("an unrecorded camera is not held")
        << QList<int>{4000, 0, 2000} << QList<double>{1, 1, 1} << QList<int>{0, 0, 2000};
}

void TestAutoPlayThread::holdsFromALoadedReport()
{
    QFETCH(QList<int>, travel);
    QFETCH(QList<double>, deltas);
    QFETCH(QList<int>, holds);
    WayPointEntry entry;
    for (int i = 0; i < travel.size(); ++i) {
        WayPointNode node;
        node.recordedTravelMs = travel[i];
        node.recordedTravelSpeed = 10;
        node.delta = float(deltas[i]);
        entry.node.push_back(node);
    }
    AutoPlayThread::planHolds(entry, 10);
    QList<int> planned;
    for (const WayPointNode &node : entry.node)
        planned << node.holdMs;
    QCOMPARE(planned, holds);
}

void TestAutoPlayThread::firstVisitAndArrival_data()
{
    QTest::addColumn<int>("startOffset"); // where the camera stands, from its target
    QTest::addColumn<int>("shortfall");   // how far short of a target it stops
    QTest::addColumn<bool>("focusAtTarget");
    QTest::addColumn<bool>("zoomAtTarget");
    QTest::addColumn<int>("moves");
    QTest::addColumn<bool>("arrives");

    QTest::newRow("exactly at target") << 0 << 0 << true << true << 0 << true;
    QTest::newRow("starts 9 off") << 9 << 0 << true << true << 1 << true;
    QTest::newRow("stops 9 short") << 200 << 9 << true << true << 1 << true;
    QTest::newRow("stops 10 short") << 200 << 10 << true << true << 1 << false;
    QTest::newRow("focus differs") << 0 << 0 << false << true << 0 << true;
    QTest::newRow("zoom differs") << 0 << 0 << true << false << 0 << true;
    QTest::newRow("everything differs") << 200 << 0 << false << false << 1 << true;
}

void TestAutoPlayThread::firstVisitAndArrival()
{
    QFETCH(int, startOffset);
    QFETCH(int, shortfall);
    QFETCH(bool, focusAtTarget);
    QFETCH(bool, zoomAtTarget);
    QFETCH(int, moves);
    QFETCH(bool, arrives);

    const uint16_t pan = 0x1000, tilt = 0x0800, focus = 0x0300, zoom = 0x0400;
    TestCamera cam(1);
    QVERIFY(cam.camera.isListening());
    cam.camera.placeAt(uint16_t(pan - startOffset), uint16_t(tilt + startOffset),
                       focusAtTarget ? focus : 0x0123, zoomAtTarget ? zoom : 0);
    cam.camera.setShortfall(shortfall);
    EngineSetup::file(cam.name, 1, pan, tilt, focus, zoom);

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    EngineSetup::configure(thread, 1, 1, 60, 1, false);
    thread.start();
    if (arrives) {
        QVERIFY(thread.wait(kRunLimitMs));
        QCOMPARE(recorder.values(RunRecorder::Progress), QList<int>{1});
    } else {
        QThread::msleep(1500);
        QVERIFY(recorder.values(RunRecorder::Progress).isEmpty());
        thread.stopAndWait();
    }

    QCOMPARE(int(cam.sent(Kind::PanTiltAbs).size()), moves);
    const auto focusMoves = cam.sent(Kind::FocusDirect);
    const auto zoomMoves = cam.sent(Kind::ZoomDirect);
    QCOMPARE(focusMoves.size(), size_t(focusAtTarget ? 0 : 1));
    QCOMPARE(zoomMoves.size(), size_t(zoomAtTarget ? 0 : 1));
    if (!focusMoves.empty())
        QCOMPARE(focusMoves[0].value, focus);
    if (!zoomMoves.empty())
        QCOMPARE(zoomMoves[0].value, zoom);
    for (const ViscaRequest &move : cam.sent(Kind::PanTiltAbs)) {
        QCOMPARE(move.panSpeed, 10);
        QCOMPARE(move.tiltSpeed, 10);
        QCOMPARE(move.pan, pan);
        QCOMPARE(move.tilt, tilt);
    }

    // The store keeps what the camera reported last.
    int32_t p = 0, t = 0, f = 0, z = 0;
    QVERIFY(CameraDataStore::instance().getCameraPosition(cam.ip, p, t, f, z));
    // A moving camera may be taken as arrived a few units before it stops.
    const int distance = std::abs(p - pan);
    if (arrives) {
        QVERIFY2(distance >= std::min(shortfall, startOffset),
                 qPrintable(QString::number(distance)));
        QVERIFY2(distance < NodeRunner::kArrivalTolerance, qPrintable(QString::number(distance)));
    } else {
        QCOMPARE(distance, shortfall);
    }
    QCOMPARE(f, int(focusAtTarget ? focus : 0x0123));
    QCOMPARE(recorder.values(RunRecorder::Finished).size(), 1);
}

void TestAutoPlayThread::sliderChangeResendsAtTheNewSpeed()
{
    TestCamera cam(1, 0.002); // slow: the move takes seconds
    EngineSetup::file(cam.name, 1, 1000, 0);

    AutoPlayThread thread;
    EngineSetup::configure(thread, 1, 1, 60, 1, false);
    thread.start();
    QTRY_VERIFY_WITH_TIMEOUT(cam.sent(Kind::PanTiltAbs).size() == 1, 2000);
    QThread::msleep(250); // a couple of polls at an unchanged speed send nothing
    QCOMPARE(cam.moveSpeeds(), std::vector<int>{10});

    thread.speedStep = AutoPlayThread::speedStepFromSlider(100);
    QTRY_VERIFY_WITH_TIMEOUT(cam.sent(Kind::PanTiltAbs).size() == 2, 1000);
    QThread::msleep(250);
    thread.stopAndWait();
    QCOMPARE(cam.moveSpeeds(), (std::vector<int>{10, 18}));
    QCOMPARE(cam.sent(Kind::PanTiltAbs).back().pan, uint16_t(1000));
}

void TestAutoPlayThread::stalledCameraIsNudgedThenGivenUp_data()
{
    QTest::addColumn<float>("delta");
    QTest::addColumn<std::vector<int>>("speeds");

    QTest::newRow("half speed, then full again") << 0.5f << std::vector<int>{5, 2, 5};
    QTest::newRow("speed 1 is never halved to 0") << 0.1f << std::vector<int>{1, 1};
}

void TestAutoPlayThread::stalledCameraIsNudgedThenGivenUp()
{
    QFETCH(float, delta);
    QFETCH(std::vector<int>, speeds);
    TestCamera stuck(1, 1.0);
    stuck.camera.setShortfall(50); // it stops short and stays there
    TestCamera fine(2, 1.0);
    EngineSetup::file(stuck.name, 1, 3000, 3000, 0, 0, delta);
    EngineSetup::file(fine.name, 1, 300, 300);
    EngineSetup::file(fine.name, 2, 600, 300);

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    EngineSetup::configure(thread, 1, 2, 60, 1, true);
    thread.start();
    QVERIFY(thread.wait(kRunLimitMs));

    QCOMPARE(stuck.moveSpeeds(), speeds);
    for (const ViscaRequest &move : stuck.sent(Kind::PanTiltAbs))
        QVERIFY(move.panSpeed >= 1);
    // The run went on without it, and says so.
    QCOMPARE(recorder.values(RunRecorder::GivenUp), QList<int>{1});
    QCOMPARE(recorder.values(RunRecorder::Preset), (QList<int>{1, 2}));
    const QJsonArray nodes = onlyReport()["autoPlayNode"].toArray()[0].toObject()["node"].toArray();
    QCOMPARE(nodes[0].toObject()["given_up"].toBool(), true);
    QCOMPARE(nodes[0].toObject()["delta"].toDouble(), double(delta)); // kept for the next run
    QCOMPARE(nodes[1].toObject()["given_up"].toBool(), false);
}

void TestAutoPlayThread::silentCameraHoldsUpNoOther()
{
    TestCamera silent(1, 1.0);
    silent.camera.setPanTiltSilent(true);
    TestCamera a(2, 0.02);
    TestCamera b(3, 0.02);
    for (const TestCamera *cam : {&silent, &a, &b})
        EngineSetup::file(cam->name, 1, 2000, 0); // seconds away at speed 10

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    EngineSetup::configure(thread, 1, 1, 60, 1, false);
    thread.start();
    QTRY_VERIFY_WITH_TIMEOUT(a.sent(Kind::PanTiltAbs).size() == 1 &&
                                 b.sent(Kind::PanTiltAbs).size() == 1 &&
                                 silent.sent(Kind::PanTiltAbs).size() == 1,
                             2000);
    // All moves leave together although one camera answers no inquiry.
    const auto first =
        std::min({a.sent(Kind::PanTiltAbs)[0].arrival, b.sent(Kind::PanTiltAbs)[0].arrival});
    const auto last =
        std::max({a.sent(Kind::PanTiltAbs)[0].arrival, b.sent(Kind::PanTiltAbs)[0].arrival});
    QVERIFY(last - first < 60ms);
    QVERIFY(silent.sent(Kind::PanTiltAbs)[0].arrival - first < 250ms);

    const auto stopAt = LoopbackCamera::Clock::now();
    thread.running = false;
    QTRY_VERIFY_WITH_TIMEOUT(
        !a.sent(Kind::PanTiltStop).empty() && !b.sent(Kind::PanTiltStop).empty(), 1000);
    for (const TestCamera *cam : {&a, &b})
        QVERIFY(cam->sent(Kind::PanTiltStop)[0].arrival - stopAt < 150ms);
    thread.stopAndWait();
    for (const TestCamera *cam : {&silent, &a, &b})
        QVERIFY(endsWithStopCommands(cam->camera.requests()));
    QVERIFY(recorder.values(RunRecorder::Progress).isEmpty());
}

void TestAutoPlayThread::arrivalAcrossZero()
{
    TestCamera cam(1, 0.1);
    cam.camera.placeAt(0xFF38, 0); // 200 units left of centre
    cam.camera.setShortfall(2);    // stops at 0xFFFE
    EngineSetup::file(cam.name, 1, 0, 0);

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    EngineSetup::configure(thread, 1, 1, 60, 1, false);
    thread.start();
    QVERIFY(thread.wait(kRunLimitMs));
    QCOMPARE(recorder.values(RunRecorder::Progress), QList<int>{1});
    QVERIFY(recorder.values(RunRecorder::GivenUp).isEmpty());
}

void TestAutoPlayThread::goRequests_data()
{
    QTest::addColumn<int>("triggerAt"); // waypoint whose first command raises the requests
    QTest::addColumn<bool>("goStart");
    QTest::addColumn<bool>("goEnd");
    QTest::addColumn<QList<int>>("presets");
    QTest::addColumn<int>("arrivalsAtLast");

    QTest::newRow("go to end at 2") << 2 << false << true << QList<int>{1, 2, 5} << 1;
    QTest::newRow("go to start at 3")
        << 3 << true << false << QList<int>{1, 2, 3, 1, 2, 3, 4, 5} << 2;
    // Go-start comes first; go-end waits for the next node, the first of waypoint 1.
    QTest::newRow("both at 3") << 3 << true << true << QList<int>{1, 2, 3, 1, 5} << 1;
}

void TestAutoPlayThread::goRequests()
{
    QFETCH(int, triggerAt);
    QFETCH(bool, goStart);
    QFETCH(bool, goEnd);
    QFETCH(QList<int>, presets);
    QFETCH(int, arrivalsAtLast);

    TestCamera fast(1, 0.1);
    TestCamera slow(2, 0.02);
    for (int n = 1; n <= 5; ++n) {
        EngineSetup::file(fast.name, n, uint16_t(100 * n), 0);
        EngineSetup::file(slow.name, n, uint16_t(100 * n), 0);
    }

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    bool raised = false; // touched only on the engine's thread
    int lastWayPointArrivals = 0;
    bool atLast = false;
    recorder.on[RunRecorder::Preset] = [&](int n) {
        atLast = n == 5;
        if (n != triggerAt || raised)
            return;
        raised = true;
        thread.goStartRequest = goStart;
        thread.goEndRequest = goEnd;
    };
    recorder.on[RunRecorder::Progress] = [&](int) { lastWayPointArrivals += atLast ? 1 : 0; };
    EngineSetup::configure(thread, 1, 5, 60, 1, false);
    thread.start();
    QVERIFY(thread.wait(kRunLimitMs));

    QCOMPARE(recorder.values(RunRecorder::Preset), presets);
    QCOMPARE(recorder.values(RunRecorder::Loop), QList<int>{1});
    QCOMPARE(lastWayPointArrivals, arrivalsAtLast);
    // Every camera of the last waypoint was commanded there.
    for (const TestCamera *cam : {&fast, &slow})
        QCOMPARE(cam->sent(Kind::PanTiltAbs).back().pan, uint16_t(500));
}

void TestAutoPlayThread::stopStillReportsAndStopsEveryCamera()
{
    TestCamera nine(9);
    TestCamera ten(10);
    EngineSetup::file(nine.name, 1, 100, 0);
    EngineSetup::file("GHOST(PTZ)", 1, 100, 0); // never discovered: no address, never arrives
    EngineSetup::file(ten.name, 2, 100, 0);

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    bool reportAtFinished = false;
    recorder.on[RunRecorder::Finished] = [&](int) { reportAtFinished = !onlyReport().isEmpty(); };
    EngineSetup::configure(thread, 1, 2, 60, 1, true);
    thread.start();
    QVERIFY(recorder.waitFor(RunRecorder::Progress, 1, 10s));
    thread.stopAndWait();
    thread.stopAndWait(); // a second stop is harmless

    QCOMPARE(recorder.values(RunRecorder::Finished).size(), 1);
    QVERIFY(reportAtFinished);
    const QJsonArray wayPoints = onlyReport()["autoPlayNode"].toArray();
    QCOMPARE(wayPoints.size(), 2);
    QVERIFY(wayPoints[0]["node"][0]["elapsed_time_msec"].toInt() > 0);
    QCOMPARE(wayPoints[0]["node"][1]["elapsed_time_msec"].toInt(), 0);

    // Waypoint 2 was never reached, yet its camera is stopped too.
    QCOMPARE(ten.camera.requests().size() % 3, size_t(0));
    QVERIFY(endsWithStopCommands(ten.camera.requests()));
    QVERIFY(endsWithStopCommands(nine.camera.requests()));
}

void TestAutoPlayThread::runsWithoutMotion_data()
{
    QTest::addColumn<int>("loopCount");
    QTest::addColumn<bool>("filed");
    QTest::addColumn<QList<int>>("loops");

    QTest::newRow("loop count 0") << 0 << true << QList<int>{};
    QTest::newRow("empty play list") << 2 << false << QList<int>{1, 2};
}

void TestAutoPlayThread::runsWithoutMotion()
{
    QFETCH(int, loopCount);
    QFETCH(bool, filed);
    QFETCH(QList<int>, loops);
    TestCamera cam(1);
    if (filed)
        EngineSetup::file(cam.name, 1, 100, 0);

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    EngineSetup::configure(thread, 1, 1, 60, loopCount, true);
    thread.start();
    QVERIFY(thread.wait(kRunLimitMs));

    QCOMPARE(recorder.values(RunRecorder::Loop), loops);
    QCOMPARE(recorder.values(RunRecorder::Finished).size(), 1);
    QVERIFY(cam.camera.requests().empty());
    const QJsonObject report = onlyReport();
    QCOMPARE(report["loop_count"].toInt(), loopCount);
    QCOMPARE(report.contains("autoPlayNode"), filed);
    if (filed) {
        const QJsonValue node = report["autoPlayNode"][0]["node"][0];
        // Never timed: no start or end, no elapsed time, the delta it had.
        QCOMPARE(node["start"].toString() + node["end"].toString(), QString());
        QCOMPARE(node["elapsed_time_msec"].toInt(-1), 0);
        QCOMPARE(node["delta"].toDouble(), 1.0);
    }
}

void TestAutoPlayThread::twoLoopsOverEnabledAndDisabledCameras()
{
    TestCamera enabled(1, 0.1);
    TestCamera disabled(2, 0.1);
    EngineSetup::file(enabled.name, 1, 200, 100);
    EngineSetup::file(disabled.name, 1, 300, 100);
    EngineSetup::file(enabled.name, 2, 400, 50);
    EngineSetup::file(disabled.name, 3, 400, 50); // waypoint 3 has no enabled camera
    CameraDataStore::instance().setAutoPlaySourceEnabled(disabled.name, 0);

    AutoPlayThread thread;
    RunRecorder recorder(thread);
    EngineSetup::configure(thread, 1, 3, 60, 2, false);
    thread.start();
    QVERIFY(thread.wait(kRunLimitMs));

    QCOMPARE(recorder.values(RunRecorder::Loop), QList<int>({1, 2}));
    QCOMPARE(recorder.values(RunRecorder::Preset), QList<int>({1, 2, 1, 2}));
    QCOMPARE(recorder.values(RunRecorder::Progress), QList<int>({1, 2, 3, 4, 5, 6}));
    // Moved and waited for although disabled; in loop 2 it is already there and gets no move.
    QCOMPARE(disabled.sent(Kind::PanTiltAbs).size(), size_t(1));
    QVERIFY(!QDir("reports").exists());

    // One sequence number per exchange, from 1000 on, across every camera.
    std::set<uint32_t> sequences;
    for (const TestCamera *cam : {&enabled, &disabled})
        for (const ViscaRequest &request : cam->camera.requests())
            sequences.insert(request.sequence);
    QCOMPARE(*sequences.begin(), 1000u);
    QCOMPARE(*sequences.rbegin(), uint32_t(1000 + sequences.size() - 1));
    QCOMPARE(thread.sequenceCounter.load(), uint32_t(1000 + sequences.size()));

    int32_t pan = 0, tilt = 0, focus = 0, zoom = 0;
    QVERIFY(CameraDataStore::instance().getCameraPosition(enabled.ip, pan, tilt, focus, zoom));
    QCOMPARE(QList<int>({pan, tilt}), QList<int>({400, 50}));
}

void TestAutoPlayThread::stopAtAwkwardMoments_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QList<int>>("loops");
    QTest::addColumn<int>("stops");

    // A stop in the middle of a waypoint stops the cameras at once, and again at the end.
    QTest::newRow("before start") << "before start" << QList<int>{} << 0;
    QTest::newRow("during an exchange") << "exchange" << QList<int>{1} << 2;
    QTest::newRow("between loops") << "between loops" << QList<int>{1, 2} << 1;
    QTest::newRow("at finished") << "finished" << QList<int>{1, 2, 3} << 1;
    QTest::newRow("object deleted mid-run") << "delete" << QList<int>{1} << 2;
}

void TestAutoPlayThread::stopAtAwkwardMoments()
{
    QFETCH(QString, moment);
    QFETCH(QList<int>, loops);
    QFETCH(int, stops);

    TestCamera cam(1, 1.0);
    cam.camera.setPanTiltSilent(moment == "exchange" || moment == "delete");
    EngineSetup::file(cam.name, 1, 100, 0);
    EngineSetup::file(cam.name, 2, 0, 0);

    auto thread = std::make_unique<AutoPlayThread>();
    RunRecorder recorder(*thread);
    AutoPlayThread *raw = thread.get();
    if (moment == "between loops")
        recorder.on[RunRecorder::Loop] = [raw](int n) { raw->running = n < 2; };
    if (moment == "finished")
        recorder.on[RunRecorder::Finished] = [raw](int) { raw->running = false; };
    EngineSetup::configure(*thread, 1, 2, 100, 3, true);
    if (moment == "before start")
        thread->running = false;
    thread->start();

    if (moment == "exchange" || moment == "delete")
        QTRY_VERIFY_WITH_TIMEOUT(!cam.camera.requests().empty(), 2000);
    if (moment == "delete") {
        thread.reset();
    } else {
        if (moment == "exchange")
            thread->stopAndWait();
        QVERIFY(thread->wait(kRunLimitMs));
        thread->stopAndWait();
    }

    QCOMPARE(recorder.values(RunRecorder::Finished).size(), 1);
    QCOMPARE(recorder.values(RunRecorder::Loop), loops);
    QCOMPARE(int(cam.sent(Kind::PanTiltStop).size()), stops);
    if (stops)
        QVERIFY(endsWithStopCommands(cam.camera.requests()));
    QCOMPARE(onlyReport().isEmpty(), false);
}

QTEST_GUILESS_MAIN(TestAutoPlayThread)
#include "tst_autoplaythread.moc"
