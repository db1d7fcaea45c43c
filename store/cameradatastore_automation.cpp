#include "store/cameradatastore.h"

#include <algorithm>

#include "store/ndisourcename.h"

using Lock = std::lock_guard<std::mutex>;

namespace {
// The others keep their order.
void removeNodesOf(std::vector<WayPointNode> &nodes, const std::string &srcName)
{
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                               [&](const WayPointNode &n) { return n.src_name == srcName; }),
                nodes.end());
}
} // namespace

void CameraDataStore::clearAutomationLocked()
{
    currentSetupWayPoint = 0;
    cameraWayPoints.clear();
    cameraWayPointsChanged.clear();
    wayPointEntries.clear();
    autoPlaySources.clear();
    cameraPositions.clear();
}

void CameraDataStore::setCurrentSetupWayPoint(int32_t wayPointNo)
{
    Lock lock(mutex);
    currentSetupWayPoint = wayPointNo;
}

int32_t CameraDataStore::getCurrentSetupWayPoint()
{
    Lock lock(mutex);
    return currentSetupWayPoint;
}

void CameraDataStore::storeWayPoint(const std::string &srcName, const WayPoint &wayPoint,
                                    int32_t wayPointNo, bool &added)
{
    if (wayPointNo == 0)
        wayPointNo = getCurrentSetupWayPoint();
    upsertWayPointNode(srcName, wayPointNo, wayPoint, added);
    setCameraWayPoint(srcName, wayPointNo, wayPoint);
}

// Takes the mutex itself (through findSourceAddress), so it runs before the filing section.
std::string CameraDataStore::lookUpSourceAddress(const std::string &srcName)
{
    std::string machineName;
    std::string streamName;
    splitSourceName(srcName, machineName, streamName);
    std::string ip;
    uint16_t port = 0;
    findSourceAddress(machineName, streamName, ip, port);
    return ip;
}

void CameraDataStore::upsertWayPointNode(const std::string &srcName, int32_t wayPointNo,
                                         const WayPoint &wayPoint, bool &added)
{
    WayPointNode node = nodeFor(srcName, wayPoint);
    node.ip = lookUpSourceAddress(srcName);

    Lock lock(mutex);
    fileNodeLocked(wayPointNo, node, added);
}

void CameraDataStore::fileNodeLocked(int32_t wayPointNo, const WayPointNode &node, bool &added)
{
    auto entry = wayPointEntries.find(wayPointNo);
    if (entry == wayPointEntries.end()) {
        WayPointEntry fresh;
        fresh.preset = static_cast<uint16_t>(wayPointNo);
        entry = wayPointEntries.emplace(wayPointNo, fresh).first;
    }
    removeNodesOf(entry->second.node, node.src_name);
    entry->second.node.push_back(node);

    added = autoPlaySources.emplace(node.src_name, 1).second;
}

void CameraDataStore::setCameraWayPoint(const std::string &srcName, int32_t wayPointNo,
                                        const WayPoint &wayPoint)
{
    Lock lock(mutex);
    cameraWayPoints[srcName][wayPointNo] = wayPoint;
    cameraWayPointsChanged[srcName] = true;
}

bool CameraDataStore::getCameraWayPoints(const std::string &srcName, WayPointMap &wayPoints)
{
    Lock lock(mutex);
    const auto changed = cameraWayPointsChanged.find(srcName);
    if (changed != cameraWayPointsChanged.end())
        changed->second = false;
    const auto found = cameraWayPoints.find(srcName);
    if (found == cameraWayPoints.end())
        return false;
    wayPoints = found->second;
    return true;
}

void CameraDataStore::clearWayPoints()
{
    Lock lock(mutex);
    wayPointEntries.clear();
    cameraWayPoints.clear();
}

std::map<int32_t, WayPointEntry> CameraDataStore::copyWayPointEntries()
{
    Lock lock(mutex);
    return wayPointEntries;
}

bool CameraDataStore::hasWayPoint(int32_t wayPointNo)
{
    Lock lock(mutex);
    const auto entry = wayPointEntries.find(wayPointNo);
    return entry != wayPointEntries.end() && !entry->second.node.empty();
}

std::vector<WayPointEntry> CameraDataStore::buildPlayList(int32_t first, int32_t last)
{
    Lock lock(mutex);
    std::vector<WayPointEntry> playList;
    auto hasEnabledCamera = [this](const WayPointEntry &entry) {
        return std::any_of(entry.node.begin(), entry.node.end(), [this](const WayPointNode &n) {
            const auto flag = autoPlaySources.find(n.src_name);
            return flag != autoPlaySources.end() && flag->second == 1;
        });
    };
    // Only waypoints 1..65534 are played: a script's unnumbered one (-1, held as 65535), a 0 or
    // a number the 16-bit preset cannot hold would not be reset by the engine between loops.
    first = std::max(first, 1);
    last = std::min(last, int32_t(kUnnumberedPreset) - 1);
    if (first > last)
        return playList;
    // Walking the map's range instead of counting first..last avoids overflow at INT32_MAX.
    const auto end = wayPointEntries.upper_bound(last);
    for (auto it = wayPointEntries.lower_bound(first); it != end; ++it) {
        if (hasEnabledCamera(it->second))
            playList.push_back(it->second);
    }
    return playList;
}

CameraDataStore::SourceFlags CameraDataStore::getAutoPlaySources()
{
    Lock lock(mutex);
    return autoPlaySources;
}

void CameraDataStore::setAutoPlaySources(const SourceFlags &sources)
{
    Lock lock(mutex);
    autoPlaySources = sources;
}

void CameraDataStore::setAutoPlaySourceEnabled(const std::string &srcName, int32_t flag)
{
    Lock lock(mutex);
    const auto found = autoPlaySources.find(srcName);
    if (found != autoPlaySources.end())
        found->second = flag;
}

void CameraDataStore::clearCameraPositions()
{
    Lock lock(mutex);
    cameraPositions.clear();
}

void CameraDataStore::setCameraPanTilt(const std::string &ip, int32_t pan, int32_t tilt)
{
    Lock lock(mutex);
    CameraPosition &position = cameraPositions[ip];
    position.pan = pan;
    position.tilt = tilt;
}

void CameraDataStore::setCameraPosition(const std::string &ip, int32_t pan, int32_t tilt,
                                        int32_t focus, int32_t zoom)
{
    Lock lock(mutex);
    cameraPositions[ip] = CameraPosition{pan, tilt, focus, zoom};
}

bool CameraDataStore::getCameraPosition(const std::string &ip, int32_t &pan, int32_t &tilt,
                                        int32_t &focus, int32_t &zoom)
{
    Lock lock(mutex);
    const auto found = cameraPositions.find(ip);
    if (found == cameraPositions.end())
        return false;
    pan = found->second.pan;
    tilt = found->second.tilt;
    focus = found->second.focus;
    zoom = found->second.zoom;
    return true;
}

// The panel's RESET: the camera leaves one waypoint, in its own table and in the play list
// alike, so that it plays nowhere its table does not show; a waypoint left without cameras goes.
void CameraDataStore::removeCameraWayPoint(const std::string &srcName, int32_t wayPointNo)
{
    Lock lock(mutex);
    const auto camera = cameraWayPoints.find(srcName);
    if (camera != cameraWayPoints.end() && camera->second.erase(wayPointNo) > 0)
        cameraWayPointsChanged[srcName] = true;
    const auto entry = wayPointEntries.find(wayPointNo);
    if (entry == wayPointEntries.end())
        return;
    removeNodesOf(entry->second.node, srcName);
    if (entry->second.node.empty())
        wayPointEntries.erase(entry);
}
