#include "store/cameradatastore.h"

CameraDataStore &CameraDataStore::instance()
{
    static CameraDataStore store;
    return store;
}

void CameraDataStore::resetForTests()
{
    std::lock_guard<std::mutex> lock(mutex);
    clearNdiSourcesLocked();
    clearAutomationLocked();
}

void CameraDataStore::clearNdiSourcesLocked()
{
    knownSources.clear();
    sourcesChanged = false;
    newSources.clear();
}

void CameraDataStore::publishSources(const std::vector<NDISourceInfo> &batch)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (const NDISourceInfo &source : batch) {
        if (!knownSources.insert(source).second)
            continue;
        sourcesChanged = true;
        newSources.push_back(source);
    }
}

void CameraDataStore::takeNewSources(std::vector<NDISourceInfo> &sources, bool &changed)
{
    std::lock_guard<std::mutex> lock(mutex);
    sources = newSources;
    changed = sourcesChanged;
    newSources.clear();
    sourcesChanged = false;
}

void CameraDataStore::copyKnownSources(std::set<NDISourceInfo> &sources)
{
    std::lock_guard<std::mutex> lock(mutex);
    sources = knownSources;
}

bool CameraDataStore::findSourceAddress(const std::string &machineName,
                                        const std::string &streamName, std::string &ipAddress,
                                        uint16_t &port)
{
    std::lock_guard<std::mutex> lock(mutex);
    NDISourceInfo key;
    key.machineName = machineName;
    key.streamName = streamName;
    const auto it = knownSources.find(key);
    if (it == knownSources.end())
        return false;
    ipAddress = it->ipAddress;
    port = it->port;
    return true;
}
