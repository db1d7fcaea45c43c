#include "store/cameradatastore.h"

#include <QtTest>
#include <thread>

namespace {

CameraDataStore &store = CameraDataStore::instance();

bool file(const std::string &name, int32_t wayPointNo, int32_t pan = 0)
{
    bool added = false;
    store.storeWayPoint(name, WayPoint{pan, 0, 0, 0, 1.0f}, wayPointNo, added);
    return added;
}

// "number:preset name@ip=pan ..." per waypoint.
QStringList entries()
{
    QStringList list;
    for (const auto &[number, entry] : store.copyWayPointEntries()) {
        QString text = QString::number(number) + ":" + QString::number(entry.preset);
        for (const WayPointNode &node : entry.node)
            text += QString(" %1@%2=%3").arg(node.src_name.c_str(), node.ip.c_str()).arg(node.pan);
        list << text;
    }
    return list;
}

} // namespace

class TestStoreAutomation : public QObject
{
    Q_OBJECT

private slots:
    void init() { store.resetForTests(); }

    // Filing again moves the camera to the end of its waypoint; a node takes the discovered
    // address of its display name; 0 files at the setup waypoint, -1 as the unnumbered preset.
    void filing()
    {
        store.publishSources({{"A", "B (C)", "192.0.2.11", 5961}});
        store.setCurrentSetupWayPoint(7);
        QVERIFY(file("A(B (C))", 4, 100) && file("X(1)", 4) && !file("A(B (C))", 4, 200));
        file("X(1)", 0);
        file("Y(1)", -1);
        QCOMPARE(entries(), QStringList({"-1:65535 Y(1)@=0", "4:4 X(1)@=0 A(B (C))@192.0.2.11=200",
                                         "7:7 X(1)@=0"}));
        // A flag set before filing survives it.
        store.setAutoPlaySourceEnabled("X(1)", 0);
        QVERIFY(!file("X(1)", 1));
        QCOMPARE(store.getAutoPlaySources(),
                 (CameraDataStore::SourceFlags{{"A(B (C))", 1}, {"X(1)", 0}, {"Y(1)", 1}}));
    }

    // 1: A; 2: B (disabled); 3: A and B; 5: C; 6: emptied; -1 and 65535: never played.
    void buildPlayList()
    {
        const std::pair<const char *, int> filings[] = {{"A(1)", 1},  {"B(1)", 2},    {"A(1)", 3},
                                                        {"B(1)", 3},  {"C(1)", 5},    {"D(1)", 6},
                                                        {"E(1)", -1}, {"E(1)", 65535}};
        for (const auto &[name, wayPoint] : filings)
            file(name, wayPoint);
        store.removeCameraWayPoint("D(1)", 6);
        store.setAutoPlaySourceEnabled("B(1)", 0);
        for (const auto &[first, last, presets] :
             {std::tuple(5, 3, QList<int>{}), std::tuple(2, 4, QList<int>{3}),
              std::tuple(INT32_MIN, INT32_MAX, QList<int>{1, 3, 5})}) {
            QList<int> got;
            for (const WayPointEntry &entry : store.buildPlayList(first, last))
                got << entry.preset;
            QCOMPARE(got, presets);
        }
        // A disabled camera still plays where an enabled one does.
        QCOMPARE(int(store.buildPlayList(3, 3).at(0).node.size()), 2);
    }

    // Removing takes the camera out of that waypoint's entry and its table only; clearing the
    // waypoints keeps the flags and the positions read during a run.
    void removingAndClearing()
    {
        file("A(1)", 1);
        file("A(1)", 2);
        file("B(1)", 2);
        store.removeCameraWayPoint("A(1)", 2);
        QCOMPARE(entries(), QStringList({"1:1 A(1)@=0", "2:2 B(1)@=0"}));
        CameraDataStore::WayPointMap positions;
        QVERIFY(store.getCameraWayPoints("A(1)", positions) && positions.size() == 1);

        store.setCameraPosition("192.0.2.1", 1, 2, 3, 4);
        store.setCameraPanTilt("192.0.2.1", 5, 6); // keeps focus and zoom
        store.clearWayPoints();
        QVERIFY(entries().isEmpty() && !store.getCameraWayPoints("A(1)", positions));
        QCOMPARE(int(store.getAutoPlaySources().size()), 2);
        int32_t pan = -1, tilt = -1, focus = -1, zoom = -1;
        QVERIFY(store.getCameraPosition("192.0.2.1", pan, tilt, focus, zoom));
        QCOMPARE(QList<int>({pan, tilt, focus, zoom}), QList<int>({5, 6, 3, 4}));
        QVERIFY(!file("A(1)", 1)); // not new to the automation after a clear
    }

    // Panels file and read while the engine publishes positions and discovery publishes sources.
    void concurrentUseFromSeveralThreads()
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < 3; ++t) {
            threads.emplace_back([t] {
                for (int i = 0; i < 200; ++i) {
                    store.publishSources({{"CAM" + std::to_string(t), "PTZ", "192.0.2.1", 0}});
                    file("CAM" + std::to_string(t) + "(PTZ)", i % 7 + 1, i);
                    store.setCameraPanTilt(std::to_string(t), i, i);
                    store.buildPlayList(1, 7);
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(int(store.buildPlayList(7, 7).at(0).node.size()), 3);
    }
};

QTEST_GUILESS_MAIN(TestStoreAutomation)
#include "tst_storeautomation.moc"
