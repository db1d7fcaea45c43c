#include "ndi/ndisourcefinder.h"

#include "store/cameradatastore.h"
#include "store/ndisourcename.h"

#include <QDebug>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>

namespace {

// Set by start before any worker runs, cleared by stop before the workers are joined.
std::atomic<bool> runFlag{false};

constexpr uint32_t waitTimeoutMs = 1000;
// A wait on a quiet network lasts its whole time-out and stop() joins the workers, so each
// finder's second is waited in slices that look at the run flag in between.
constexpr uint32_t waitSliceMs = 100;
constexpr uint32_t maxWorkers = 2;

// True when the finder's list changed within a second; gives up early once stop is asked.
bool waitForChange(NdiFinderHandle finder)
{
    for (uint32_t waited = 0; waited < waitTimeoutMs && runFlag; waited += waitSliceMs) {
        if (NDIlib_find_wait_for_sources(finder, waitSliceMs))
            return true;
    }
    return false;
}

std::vector<NDISourceInfo> toBatch(const NdiSource *sources, uint32_t count)
{
    std::vector<NDISourceInfo> batch;
    batch.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        batch.push_back(makeSourceInfo(sources[i].ndiName, sources[i].urlAddress));
    return batch;
}

} // namespace

NDISourceFinder &NDISourceFinder::instance()
{
    static NDISourceFinder finder;
    return finder;
}

NDISourceFinder::~NDISourceFinder()
{
    stop();
}

bool NDISourceFinder::start()
{
    if (running)
        return false;
    // One group entry, empty: no group filter; and no extra addresses.
    const std::vector<std::string> groups{std::string()};
    runFlag = true;
    createFinders(groups);
    startWorkers(groups);
    running = true;
    return true;
}

void NDISourceFinder::createFinders(const std::vector<std::string> &groups)
{
    finders.clear();
    for (const std::string &group : groups) {
        NdiFindCreateSettings settings{};
        settings.showLocalSources = true;
        settings.groups = group.empty() ? nullptr : group.c_str();
        settings.extraIps = nullptr;
        finders.push_back(NDIlib_find_create_v2(&settings));
    }
    finderCount = static_cast<uint32_t>(finders.size());
    workerCount = std::min(finderCount, maxWorkers);
}

void NDISourceFinder::startWorkers(const std::vector<std::string> &groups)
{
    if (workerCount == 0)
        return;
    const uint32_t base = finderCount / workerCount;
    const uint32_t rest = finderCount % workerCount;
    uint32_t next = 0;
    for (uint32_t i = 0; i < workerCount; ++i) {
        WorkerSlice slice;
        slice.firstFinder = next;
        slice.finderCount = i + 1 == workerCount ? finderCount - next : base + (i < rest ? 1 : 0);
        slice.groups.assign(groups.begin() + next, groups.begin() + next + slice.finderCount);
        next += slice.finderCount;
        try {
            workers.emplace_back(&NDISourceFinder::workerLoop, this, std::move(slice));
        } catch (const std::system_error &error) {
            // Its finders stay idle; the other workers carry on.
            qDebug() << "NDI discovery worker not started:" << error.what();
        }
    }
}

void NDISourceFinder::workerLoop(WorkerSlice slice)
{
    std::vector<bool> changed(slice.finderCount, true);
    while (runFlag) {
        bool waited = false;
        for (uint32_t i = 0; i < slice.finderCount && runFlag; ++i) {
            bool finderChanged = changed[i];
            waited |= serviceFinder(finders[slice.firstFinder + i], finderChanged);
            changed[i] = finderChanged;
        }
        if (!waited)
            idleWait();
    }
}

// One finder's turn: publish its list if it changed, then wait for the next change.
// Returns false for a null finder, which has nothing to wait on.
bool NDISourceFinder::serviceFinder(NdiFinderHandle finder, bool &changed)
{
    if (!finder)
        return false;
    if (changed) {
        uint32_t count = 0;
        const NdiSource *sources = NDIlib_find_get_current_sources(finder, &count);
        if (sources && count != 0)
            CameraDataStore::instance().publishSources(toBatch(sources, count));
        changed = false;
    }
    changed = waitForChange(finder);
    return true;
}

// Without NDI every finder is null; pace the loop instead of spinning.
void NDISourceFinder::idleWait()
{
    std::unique_lock<std::mutex> lock(idleMutex);
    idleWake.wait_for(lock, std::chrono::milliseconds(waitTimeoutMs), [] { return !runFlag; });
}

void NDISourceFinder::stop()
{
    {
        std::lock_guard<std::mutex> lock(idleMutex);
        runFlag = false;
    }
    idleWake.notify_all();
    for (std::thread &worker : workers)
        worker.join();
    for (NdiFinderHandle finder : finders) {
        if (finder)
            NDIlib_find_destroy(finder);
    }
    finders.clear();
    finderCount = 0;
    workers.clear();
    workerCount = 0;
    running = false;
}
