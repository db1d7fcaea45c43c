#include <QtTest>

#include <memory>
#include <set>

#include "automation/engine/autoplaythread.h"
#include "store/cameradatastore.h"
#include "support/movingcamera.h"

using namespace std::chrono_literals;
using Kind = ViscaRequest::Kind;

namespace {

constexpr unsigned long kRunLimitMs = 20000;

// Camera n is discovered as "CAMn(PTZ)" on 127.0.2.n. It moves at `pace` units per ms per
// speed step (at 0.05 a move of 200 units at speed 10 takes 400 ms); at pace 0 it answers
// nothing at all.
struct TestCamera
{
    explicit TestCamera(int host, double pace = 0.05)
        : ip("127.0.2." + std::to_string(host))
        , name("CAM" + std::to_string(host) + "(PTZ)")
        , camera(pace > 0 ? std::make_unique<MovingCamera>(ip, pace) : nullptr)
        , silent(pace > 0 ? nullptr : std::make_unique<LoopbackCamera>(ip))
    {
        CameraDataStore::instance().publishSources(
            {{"CAM" + std::to_string(host), "PTZ", ip, 5961}});
    }

    // Files this camera's target at a waypoint, as STORE does.
    void file(int32_t wayPoint, int32_t pan, int32_t tilt = 0, float delta = 1.0f)
    {
        bool added = false;
        CameraDataStore::instance().storeWayPoint(name, WayPoint{pan, tilt, 0, 0, delta, 0, 0},
                                                  wayPoint, added);
    }

    std::vector<ViscaRequest> sent(Kind kind) const
    {
        std::vector<ViscaRequest> matching;
        for (const ViscaRequest &request :
             camera ? camera->requests() : ViscaRequest::decodeAll(silent->received()))
            if (request.kind == kind)
                matching.push_back(request);
        return matching;
    }

    // The last commands stopped pan-tilt, focus and zoom, in this order.
    bool endsWithStopCommands() const
    {
        const std::vector<ViscaRequest> r = camera->requests();
        const size_t n = r.size();
        return n >= 3 && r[n - 3].kind == Kind::PanTiltStop && r[n - 2].kind == Kind::Focus &&
               r[n - 2].value == 0 && r[n - 1].kind == Kind::Zoom && r[n - 1].value == 0;
    }

    std::string ip;
    std::string name;
    std::unique_ptr<MovingCamera> camera;
    std::unique_ptr<LoopbackCamera> silent;
};

// Sets a run up as the form does, at speed step 10.
void configure(AutoPlayThread &thread, int32_t first, int32_t last, int32_t loops, bool report)
{
    thread.speedStep = 10;
    thread.playList = CameraDataStore::instance().buildPlayList(first, last);
    thread.loopCount = loops;
    thread.writeReport = report;
}

// The run's report, or an empty object when there is not exactly one.
QJsonObject onlyReport()
{
    const QStringList files = QDir("reports").entryList({"*.kva"}, QDir::Files);
    QFile file(files.size() == 1 ? "reports/" + files[0] : QString());
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A spy's first arguments; read only once the run has ended.
QList<int> values(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values << arguments.value(0).toInt();
    return values;
}

} // namespace

class TestAutoPlayThread : public QObject
{
    Q_OBJECT

    QTemporaryDir workDir; // where a run's "reports" folder lands

private slots:
    void initTestCase() { QDir::setCurrent(workDir.path()); }
    void init()
    {
        CameraDataStore::instance().resetForTests();
        QDir("reports").removeRecursively();
    }

    void holdsFromALoadedReport_data()
    {
        QTest::addColumn<QList<int>>("travel"); // recorded at speed 10; 0: no record
        QTest::addColumn<QList<double>>("deltas");
        QTest::addColumn<QList<int>>("holds"); // at speed step 10

        auto row = [](const char *tag, QList<int> travel, QList<double> deltas, QList<int> holds) {
            QTest::newRow(tag) << travel << deltas << holds;
        };
        row("same pace: the quicker waits", {4000, 3000}, {1, 1}, {0, 1000});
        // 0.75 of step 10 is step 7: 3000 ms at 10 becomes 4285 ms, later than the slowest.
        row("a whole step falls short", {4000, 3000}, {1, 0.75}, {285, 0});
        row("an unrecorded camera is not held", {4000, 0, 2000}, {1, 1, 1}, {0, 0, 2000});
    }
    void holdsFromALoadedReport()
    {
        QFETCH(QList<int>, travel);
        QFETCH(QList<double>, deltas);
        QFETCH(QList<int>, holds);
        WayPointEntry entry;
        entry.node.resize(size_t(travel.size()));
        for (int i = 0; i < travel.size(); ++i) {
            entry.node[size_t(i)].recordedTravelMs = travel[i];
            entry.node[size_t(i)].recordedTravelSpeed = 10;
            entry.node[size_t(i)].delta = float(deltas[i]);
        }
        AutoPlayThread::planHolds(entry, 10);
        QList<int> planned;
        for (const WayPointNode &node : entry.node)
            planned << node.holdMs;
        QCOMPARE(planned, holds);
    }

    void stalledCameraIsNudgedThenGivenUp_data()
    {
        QTest::addColumn<float>("delta");
        QTest::addColumn<QList<int>>("speeds");

        QTest::newRow("half speed, then full again") << 0.5f << QList<int>{5, 2, 5};
        QTest::newRow("speed 1 is never halved to 0") << 0.1f << QList<int>{1, 1};
    }
    void stalledCameraIsNudgedThenGivenUp()
    {
        QFETCH(float, delta);
        QFETCH(QList<int>, speeds);
        TestCamera stuck(1, 1.0);
        stuck.camera->setShortfall(50); // it stops short and stays there
        // Positions are signed: stopping at 0xFFFE, 2 units short of 0, it arrives.
        TestCamera fine(2, 1.0);
        fine.camera->placeAt(0xFF38, 0);
        fine.camera->setShortfall(2);
        stuck.file(1, 3000, 3000, delta);
        fine.file(1, 0);
        fine.file(2, 300);

        AutoPlayThread thread;
        QSignalSpy presets(&thread, &AutoPlayThread::presetUpdate);
        configure(thread, 1, 2, 1, true);
        thread.start();
        QVERIFY(thread.wait(kRunLimitMs));

        QList<int> sentSpeeds;
        for (const ViscaRequest &move : stuck.sent(Kind::PanTiltAbs))
            sentSpeeds << move.panSpeed;
        QCOMPARE(sentSpeeds, speeds);
        // The run went on without the stalled camera, and its report says so.
        QCOMPARE(values(presets), (QList<int>{1, 2}));
        const QJsonValue nodes = QJsonValue(onlyReport())["autoPlayNode"][0]["node"];
        QCOMPARE(nodes[0]["given_up"].toBool(), true);
        QCOMPARE(nodes[1]["given_up"].toBool(), false);
    }

    void silentCameraHoldsUpNoOther()
    {
        TestCamera silent(1, 0);
        TestCamera a(2, 0.02);
        TestCamera b(3, 0.02);
        for (TestCamera *cam : {&silent, &a, &b})
            cam->file(1, 2000); // seconds away at speed 10

        AutoPlayThread thread;
        configure(thread, 1, 1, 1, false);
        thread.start();
        QTRY_VERIFY_WITH_TIMEOUT(!silent.sent(Kind::PanTiltAbs).empty(), 3000);
        // No move waits for the silent camera's exchanges (its 100 ms inquiry comes first).
        const auto silentMove = silent.sent(Kind::PanTiltAbs)[0].arrival;
        for (const TestCamera *cam : {&a, &b})
            QTRY_VERIFY(!cam->sent(Kind::PanTiltAbs).empty() &&
                        cam->sent(Kind::PanTiltAbs)[0].arrival - silentMove < 250ms);

        // Nor does STOP wait for its 200 ms command windows.
        const auto stopAt = LoopbackCamera::Clock::now();
        thread.running = false;
        QTRY_VERIFY_WITH_TIMEOUT(
            !a.sent(Kind::PanTiltStop).empty() && !b.sent(Kind::PanTiltStop).empty(), 1000);
        for (const TestCamera *cam : {&a, &b})
            QVERIFY(cam->sent(Kind::PanTiltStop)[0].arrival - stopAt < 150ms);
        thread.stopAndWait();
        QVERIFY(a.endsWithStopCommands() && b.endsWithStopCommands());
    }

    void goRequests_data()
    {
        QTest::addColumn<int>("triggerAt"); // waypoint whose start raises the requests
        QTest::addColumn<bool>("goStart");
        QTest::addColumn<bool>("goEnd");
        QTest::addColumn<QList<int>>("presets");
        QTest::addColumn<int>("arrivals");

        // A waypoint left at its start has no arrivals; after GO TO END the run ends as soon as
        // one camera has arrived at the last one.
        QTest::newRow("go to end at 2") << 2 << false << true << QList<int>{1, 2, 5} << 2 + 1;
        QTest::newRow("go to start at 3")
            << 3 << true << false << QList<int>{1, 2, 3, 1, 2, 3, 4, 5} << 7 * 2;
        // Go-start comes first; go-end waits for the next look, at waypoint 1.
        QTest::newRow("both at 3") << 3 << true << true << QList<int>{1, 2, 3, 1, 5} << 2 * 2 + 1;
    }
    void goRequests()
    {
        QFETCH(int, triggerAt);
        QFETCH(bool, goStart);
        QFETCH(bool, goEnd);
        QFETCH(QList<int>, presets);
        QFETCH(int, arrivals);

        TestCamera fast(1, 0.1);
        TestCamera slow(2, 0.02);
        for (TestCamera *cam : {&fast, &slow})
            for (int n = 1; n <= 5; ++n)
                cam->file(n, 100 * n);
        AutoPlayThread thread;
        QSignalSpy presetSpy(&thread, &AutoPlayThread::presetUpdate);
        QSignalSpy progress(&thread, &AutoPlayThread::progress);
        QObject::connect(
            &thread, &AutoPlayThread::presetUpdate, &thread,
            [&] {
                if (presetSpy.count() == triggerAt) { // the first time it starts
                    thread.goStartRequest = goStart;
                    thread.goEndRequest = goEnd;
                }
            },
            Qt::DirectConnection);
        configure(thread, 1, 5, 1, false);
        thread.start();
        QVERIFY(thread.wait(kRunLimitMs));

        QCOMPARE(values(presetSpy), presets);
        QCOMPARE(progress.count(), arrivals);
        for (const TestCamera *cam : {&fast, &slow})
            QCOMPARE(cam->sent(Kind::PanTiltAbs).back().pan, uint16_t(500));

        // One sequence number per exchange, from 1000 on, across every camera.
        std::set<uint32_t> sequences;
        for (const TestCamera *cam : {&fast, &slow})
            for (const ViscaRequest &request : cam->camera->requests())
                sequences.insert(request.sequence);
        QCOMPARE(*sequences.begin(), 1000u);
        QCOMPARE(thread.sequenceCounter.load(), uint32_t(1000 + sequences.size()));
    }

    void stopAtAwkwardMoments_data()
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
    void stopAtAwkwardMoments()
    {
        QFETCH(QString, moment);
        QFETCH(QList<int>, loops);
        QFETCH(int, stops);

        TestCamera cam(1, 1.0);
        cam.camera->setPanTiltSilent(moment == "exchange" || moment == "delete");
        TestCamera later(2, 1.0); // only at waypoint 2, which a stop during 1 never reaches
        cam.file(1, 100);
        cam.file(2, 0);
        later.file(2, 100);

        auto thread = std::make_unique<AutoPlayThread>();
        AutoPlayThread *raw = thread.get();
        QSignalSpy loopSpy(raw, &AutoPlayThread::loopUpdate);
        QSignalSpy finished(raw, &AutoPlayThread::finished);
        bool reportAtFinished = false; // these two belong to the engine's thread until it ends
        int stopsAtFinished = -1;
        const auto direct = Qt::DirectConnection;
        QObject::connect(
            raw, &AutoPlayThread::loopUpdate, raw,
            [&](int n) { raw->running = raw->running && (moment != "between loops" || n < 2); },
            direct);
        QObject::connect(
            raw, &AutoPlayThread::finished, raw,
            [&] {
                reportAtFinished = !onlyReport().isEmpty();
                stopsAtFinished = int(cam.sent(Kind::PanTiltStop).size());
                raw->running = raw->running && moment != "finished";
            },
            direct);
        configure(*thread, 1, 2, 3, true);
        if (moment == "before start")
            thread->running = false;
        thread->start();

        if (moment == "exchange" || moment == "delete")
            QTRY_VERIFY_WITH_TIMEOUT(!cam.camera->requests().empty(), 2000);
        if (moment == "delete") {
            thread.reset();
        } else {
            if (moment == "exchange")
                thread->stopAndWait();
            QVERIFY(thread->wait(kRunLimitMs));
            thread->stopAndWait(); // a second stop is harmless
        }

        QCOMPARE(finished.count(), 1);
        QCOMPARE(values(loopSpy), loops);
        // The report first, then finished, then the last stop commands.
        QVERIFY(reportAtFinished);
        QCOMPARE(stopsAtFinished, std::max(stops - 1, 0));
        for (const TestCamera *c : {&cam, &later}) {
            QCOMPARE(int(c->sent(Kind::PanTiltStop).size()), stops);
            QVERIFY(stops == 0 || c->endsWithStopCommands());
        }
    }
};

QTEST_GUILESS_MAIN(TestAutoPlayThread)
#include "tst_autoplaythread.moc"
