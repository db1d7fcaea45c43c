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

void CameraDataStore::clearNdiSourcesLocked() {}
