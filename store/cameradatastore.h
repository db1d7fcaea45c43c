#pragma once

#include <mutex>

// The process-wide data store. One non-recursive mutex guards every member and is held
// by every operation for its whole duration; callers only ever receive copies.
class CameraDataStore
{
public:
    static CameraDataStore &instance();

    // ---- NDI-source half (discovered sources, new-source queue) ----
    // (filled in by the discovery code)

    // ---- automation half (waypoints, play list, AutoPlay flags, run positions) ----
    // (filled in by the automation code)

    // Tests start from an empty store.
    void resetForTests();

private:
    CameraDataStore() = default;
    void clearNdiSourcesLocked();
    void clearAutomationLocked();

    std::mutex mutex; // guards every member below

    // ---- NDI-source members ----

    // ---- automation members ----
};
