#pragma once

#include <mutex>
#include <set>
#include <vector>

#include "store/ndisourceinfo.h"
#include "store/waypoint.h" // automation records

// The process-wide data store. One non-recursive mutex guards every member and is held
// by every operation for its whole duration; callers only ever receive copies.
class CameraDataStore
{
public:
    static CameraDataStore &instance();

    // ---- NDI-source half (discovered sources, new-source queue) ----
    // Adds every source not yet known (by machine and stream name) and queues it as new.
    void publishSources(const std::vector<NDISourceInfo> &batch);
    // Hands out the queue and the changed flag, then clears both.
    void takeNewSources(std::vector<NDISourceInfo> &sources, bool &changed);
    void copyKnownSources(std::set<NDISourceInfo> &sources);
    // False, outputs untouched, when no known source has these names.
    bool findSourceAddress(const std::string &machineName, const std::string &streamName,
                           std::string &ipAddress, uint16_t &port);

    // ---- automation half (waypoints, play list, AutoPlay flags, run positions) ----
    using WayPointMap = std::map<int32_t, WayPoint>;    // waypoint number -> position
    using SourceFlags = std::map<std::string, int32_t>; // display name -> 1 enabled, 0 not

    void setCurrentSetupWayPoint(int32_t wayPointNo);
    int32_t getCurrentSetupWayPoint();
    // Files a position; number 0 means the current Setup Waypoint. `added`: the camera was
    // new to the AutoPlay sources.
    void storeWayPoint(const std::string &srcName, const WayPoint &wayPoint, int32_t wayPointNo,
                       bool &added);
    void upsertWayPointNode(const std::string &srcName, int32_t wayPointNo,
                            const WayPoint &wayPoint, bool &added);
    void setCameraWayPoint(const std::string &srcName, int32_t wayPointNo,
                           const WayPoint &wayPoint);
    // False, output untouched, for a camera without a table; either way marks it as read.
    bool getCameraWayPoints(const std::string &srcName, WayPointMap &wayPoints);
    // Takes the camera out of one waypoint: its table and the waypoint's entry.
    void removeCameraWayPoint(const std::string &srcName, int32_t wayPointNo);
    void clearWayPoints();
    std::map<int32_t, WayPointEntry> copyWayPointEntries();
    bool hasWayPoint(int32_t wayPointNo);
    // The waypoints first..last (within 1..65534) that have at least one enabled camera, each
    // with all its nodes.
    std::vector<WayPointEntry> buildPlayList(int32_t first, int32_t last);
    SourceFlags getAutoPlaySources();
    void setAutoPlaySources(const SourceFlags &sources);
    void setAutoPlaySourceEnabled(const std::string &srcName, int32_t flag);
    void clearCameraPositions();
    void setCameraPanTilt(const std::string &ip, int32_t pan, int32_t tilt);
    void setCameraPosition(const std::string &ip, int32_t pan, int32_t tilt, int32_t focus,
                           int32_t zoom);
    // False, outputs untouched, for an address not read during the run.
    bool getCameraPosition(const std::string &ip, int32_t &pan, int32_t &tilt, int32_t &focus,
                           int32_t &zoom);

    // Tests start from an empty store.
    void resetForTests();

private:
    CameraDataStore() = default;
    void clearNdiSourcesLocked();
    void clearAutomationLocked();

    std::mutex mutex; // guards every member below

    // ---- NDI-source members ----
    std::set<NDISourceInfo> knownSources; // only grows; the first address seen stays
    bool sourcesChanged = false;
    std::vector<NDISourceInfo> newSources; // in the order they were first seen

    // ---- automation members ----
    std::string lookUpSourceAddress(const std::string &srcName);
    void fileNodeLocked(int32_t wayPointNo, const WayPointNode &node, bool &added);

    int32_t currentSetupWayPoint = 0;
    std::map<std::string, WayPointMap> cameraWayPoints;
    std::map<std::string, bool> cameraWayPointsChanged; // cleared when the panel reads them
    std::map<int32_t, WayPointEntry> wayPointEntries;   // the entry's preset equals its key
    SourceFlags autoPlaySources;
    std::map<std::string, CameraPosition> cameraPositions; // by IP address, read during a run
};
