#include <QtTest>

#include <thread>

#include "store/cameradatastore.h"

namespace {

CameraDataStore &store()
{
    return CameraDataStore::instance();
}

void discover(const std::string &machine, const std::string &stream, const std::string &ip)
{
    NDISourceInfo source;
    source.machineName = machine;
    source.streamName = stream;
    source.ipAddress = ip;
    store().publishSources({source});
}

bool file(const std::string &name, int32_t wayPointNo, int32_t pan = 0)
{
    bool added = false;
    store().upsertWayPointNode(name, wayPointNo, WayPoint{pan, 0, 0, 0, 1.0f}, added);
    return added;
}

QStringList nodeNames(const WayPointEntry &entry)
{
    QStringList names;
    for (const WayPointNode &node : entry.node)
        names << QString::fromStdString(node.src_name);
    return names;
}

} // namespace

class TestStoreAutomation : public QObject
{
    Q_OBJECT

private slots:
    void init() { store().resetForTests(); }

    void filingAgainMovesTheCameraToTheEnd();
    void nodeTakesTheDiscoveredAddress_data();
    void nodeTakesTheDiscoveredAddress();
    void wayPointNumbers();
    void buildPlayList_data();
    void buildPlayList();
    void playListIsACopy();
    void removeCameraWayPointTouchesOnlyThatWayPoint();
    void clearWayPointsKeepsFlagsAndPositions();
    void sourceFlagsOnlyChangeForKnownNames();
    void concurrentUseFromSeveralThreads();
};

void TestStoreAutomation::filingAgainMovesTheCameraToTheEnd()
{
    QVERIFY(file("A(1)", 4, 100));
    QVERIFY(file("B(1)", 4));
    QVERIFY(!file("A(1)", 4, 200));

    const auto entries = store().copyWayPointEntries();
    QCOMPARE(nodeNames(entries.at(4)), QStringList({"B(1)", "A(1)"}));
    QCOMPARE(entries.at(4).node.back().pan, 200);
    QCOMPARE(entries.at(4).preset, uint16_t(4));
    QCOMPARE(store().getAutoPlaySources(),
             (CameraDataStore::SourceFlags{{"A(1)", 1}, {"B(1)", 1}}));
}

void TestStoreAutomation::nodeTakesTheDiscoveredAddress_data()
{
    QTest::addColumn<QString>("srcName");
    QTest::addColumn<QString>("ip");

    QTest::newRow("discovered") << "STUDIO-PC(PTZ Camera 1)"
                                << "192.0.2.10";
    QTest::newRow("spaces around the stream") << "STUDIO-PC( PTZ Camera 1 )"
                                              << "192.0.2.10";
    QTest::newRow("nested brackets") << "A(B (C))"
                                     << "192.0.2.11";
    QTest::newRow("not discovered") << "OTHER(PTZ Camera 1)"
                                    << "";
    QTest::newRow("machine name only") << "STUDIO-PC"
                                       << "";
}

void TestStoreAutomation::nodeTakesTheDiscoveredAddress()
{
    QFETCH(QString, srcName);
    QFETCH(QString, ip);
    discover("STUDIO-PC", "PTZ Camera 1", "192.0.2.10");
    discover("A", "B (C)", "192.0.2.11");

    file(srcName.toStdString(), 1);
    const WayPointNode node = store().copyWayPointEntries().at(1).node.at(0);
    QCOMPARE(QString::fromStdString(node.ip), ip);
    QCOMPARE(node.pan_speed, 9);
    QCOMPARE(node.tilt_speed, 9);
    QVERIFY(!node.moved && !node.arrived && !node.start.isValid());
}

// Number 0 files at the setup waypoint; an unnumbered one is held as 65535 and never played.
void TestStoreAutomation::wayPointNumbers()
{
    store().setCurrentSetupWayPoint(7);
    bool added = false;
    store().storeWayPoint("A(1)", WayPoint{1, 2, 3, 4, 0.5f}, 0, added);
    QVERIFY(added);
    file("B(1)", -1);

    const auto entries = store().copyWayPointEntries();
    QCOMPARE(int(entries.size()), 2);
    QCOMPARE(entries.at(7).node.at(0).delta, 0.5f);
    QCOMPARE(entries.at(-1).preset, uint16_t(65535));
    CameraDataStore::WayPointMap positions;
    QVERIFY(store().getCameraWayPoints("A(1)", positions));
    QCOMPARE(int(positions.size()), 1);
    QCOMPARE(positions.at(7).zoom, 4);
    QCOMPARE(int(store().buildPlayList(1, 100).size()), 1);
}

void TestStoreAutomation::buildPlayList_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("presets");

    // Waypoint 1: A; 2: B (disabled); 3: A and B; 5: C; 6: emptied by a reset; -1 (a script's
    // unnumbered one), 0 and 65535 (held as the unnumbered preset): E, never played.
    QTest::newRow("reversed range") << 5 << 3 << QList<int>{};
    QTest::newRow("single enabled") << 3 << 3 << QList<int>{3};
    QTest::newRow("single disabled") << 2 << 2 << QList<int>{};
    QTest::newRow("whole course") << 1 << 12 << QList<int>{1, 3, 5};
    QTest::newRow("empty entry skipped") << 6 << 6 << QList<int>{};
    QTest::newRow("extreme bounds") << INT32_MIN << INT32_MAX << QList<int>{1, 3, 5};
    QTest::newRow("unnumbered only") << -1 << 0 << QList<int>{};
}

void TestStoreAutomation::buildPlayList()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QList<int>, presets);
    file("A(1)", 1);
    file("B(1)", 2);
    file("A(1)", 3);
    file("B(1)", 3);
    file("C(1)", 5);
    file("D(1)", 6);
    for (int32_t unplayable : {-1, 0, 65535})
        file("E(1)", unplayable);
    store().removeCameraWayPoint("D(1)", 6);
    store().setAutoPlaySourceEnabled("B(1)", 0);

    QList<int> got;
    for (const WayPointEntry &entry : store().buildPlayList(first, last))
        got << entry.preset;
    QCOMPARE(got, presets);
    if (presets.contains(3)) {
        // A disabled camera still plays where an enabled one does.
        const auto list = store().buildPlayList(3, 3);
        QCOMPARE(nodeNames(list.at(0)), QStringList({"A(1)", "B(1)"}));
    }
}

void TestStoreAutomation::playListIsACopy()
{
    file("A(1)", 1, 100);
    std::vector<WayPointEntry> list = store().buildPlayList(1, 1);
    list[0].node[0].arrived = true;
    file("A(1)", 1, 200);
    QCOMPARE(list[0].node[0].pan, 100);
    QVERIFY(!store().buildPlayList(1, 1)[0].node[0].arrived);
}

void TestStoreAutomation::removeCameraWayPointTouchesOnlyThatWayPoint()
{
    file("A(1)", 1);
    file("A(1)", 2);
    file("B(1)", 2);
    for (int32_t wayPoint : {1, 2})
        store().setCameraWayPoint("A(1)", wayPoint, WayPoint{});
    store().removeCameraWayPoint("A(1)", 2);

    const auto entries = store().copyWayPointEntries();
    QCOMPARE(nodeNames(entries.at(1)), QStringList({"A(1)"}));
    QCOMPARE(nodeNames(entries.at(2)), QStringList({"B(1)"}));
    CameraDataStore::WayPointMap positions;
    QVERIFY(store().getCameraWayPoints("A(1)", positions));
    QCOMPARE(int(positions.size()), 1);
    QCOMPARE(positions.begin()->first, 1);

    store().removeCameraWayPoint("B(1)", 2);
    QVERIFY(!store().hasWayPoint(2));
    QVERIFY(store().hasWayPoint(1));

    // Positions filed without a node do not make a waypoint; a failed read leaves the map.
    store().setCameraWayPoint("C(1)", 3, WayPoint{1, 0, 0, 0, 1.0f});
    QVERIFY(!store().hasWayPoint(3));
    positions = {{9, WayPoint{}}};
    QVERIFY(!store().getCameraWayPoints("D(1)", positions));
    QCOMPARE(int(positions.size()), 1);
}

// Pan-tilt replies keep the focus and zoom; clearing waypoints keeps flags and positions.
void TestStoreAutomation::clearWayPointsKeepsFlagsAndPositions()
{
    int32_t pan = -1, tilt = -1, focus = -1, zoom = -1;
    QVERIFY(!store().getCameraPosition("192.0.2.1", pan, tilt, focus, zoom));
    QCOMPARE(pan, -1);
    store().setCameraPanTilt("192.0.2.2", 10, 20);
    QVERIFY(store().getCameraPosition("192.0.2.2", pan, tilt, focus, zoom));
    QCOMPARE(QList<int>({pan, tilt, focus, zoom}), QList<int>({10, 20, 0, 0}));
    store().setCameraPosition("192.0.2.1", 1, 2, 3, 4);
    store().setCameraPanTilt("192.0.2.1", 5, 6);

    bool added = false;
    store().storeWayPoint("A(1)", WayPoint{}, 1, added);
    store().clearWayPoints();
    QVERIFY(store().copyWayPointEntries().empty());
    CameraDataStore::WayPointMap positions;
    QVERIFY(!store().getCameraWayPoints("A(1)", positions));
    QCOMPARE(int(store().getAutoPlaySources().size()), 1);
    QVERIFY(store().getCameraPosition("192.0.2.1", pan, tilt, focus, zoom));
    QCOMPARE(QList<int>({pan, tilt, focus, zoom}), QList<int>({5, 6, 3, 4}));
    // Filing again after a clear does not report the camera as new.
    store().storeWayPoint("A(1)", WayPoint{}, 1, added);
    QVERIFY(!added);

    store().clearCameraPositions();
    QVERIFY(!store().getCameraPosition("192.0.2.1", pan, tilt, focus, zoom));
}

void TestStoreAutomation::sourceFlagsOnlyChangeForKnownNames()
{
    store().setAutoPlaySources({{"B(1)", 0}, {"A(1)", 1}});
    store().setAutoPlaySourceEnabled("C(1)", 1);
    store().setAutoPlaySourceEnabled("B(1)", 1);
    QCOMPARE(store().getAutoPlaySources(),
             (CameraDataStore::SourceFlags{{"A(1)", 1}, {"B(1)", 1}}));
    // A flag set before filing survives the filing.
    store().setAutoPlaySourceEnabled("A(1)", 0);
    QVERIFY(!file("A(1)", 1));
    QCOMPARE(store().getAutoPlaySources().at("A(1)"), 0);
}

// Panels file and read while the engine publishes positions and discovery publishes sources.
void TestStoreAutomation::concurrentUseFromSeveralThreads()
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([t] {
            const std::string name = "CAM" + std::to_string(t) + "(PTZ)";
            for (int i = 0; i < 200; ++i) {
                discover("CAM" + std::to_string(t), "PTZ", "192.0.2." + std::to_string(t));
                file(name, i % 7 + 1, i);
                store().setCameraPanTilt(std::to_string(t), i, i);
                store().buildPlayList(1, 7);
                CameraDataStore::WayPointMap positions;
                store().getCameraWayPoints(name, positions);
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int n = 1; n <= 7; ++n)
        QCOMPARE(int(store().copyWayPointEntries().at(n).node.size()), 3);
}

QTEST_GUILESS_MAIN(TestStoreAutomation)
#include "tst_storeautomation.moc"
