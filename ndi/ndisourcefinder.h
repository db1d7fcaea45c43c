#pragma once

#include "ndi/ndilib.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Finds NDI sources in the background for the program's lifetime and publishes every source
// it sees into the CameraDataStore.
class NDISourceFinder
{
public:
    static NDISourceFinder &instance();

    // False when already running.
    bool start();
    // Returns once every worker has left its current wait slice (a tenth of a second at most).
    void stop();

    NDISourceFinder(const NDISourceFinder &) = delete;
    NDISourceFinder &operator=(const NDISourceFinder &) = delete;

private:
    NDISourceFinder() = default;
    ~NDISourceFinder();

    // What one worker thread looks after: a run of consecutive finders.
    struct WorkerSlice
    {
        uint32_t finderCount = 0;
        uint32_t firstFinder = 0;
        std::vector<std::string> groups;
    };

    void createFinders(const std::vector<std::string> &groups);
    void startWorkers(const std::vector<std::string> &groups);
    void workerLoop(WorkerSlice slice);
    bool serviceFinder(NdiFinderHandle finder, bool &changed);
    void idleWait();

    std::vector<NdiFinderHandle> finders; // a null entry is a finder the runtime refused
    uint32_t finderCount = 0;
    uint32_t workerCount = 0;
    std::vector<std::thread> workers;
    bool running = false;

    // Lets stop() cut short the pause of a worker that has no finder to wait on.
    std::mutex idleMutex;
    std::condition_variable idleWake;
};
