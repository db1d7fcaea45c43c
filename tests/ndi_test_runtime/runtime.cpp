// A stand-in for the vendor's NDI runtime, built as libndi.so.6. Sources and frames are set by
// the test through the control functions; every call the program makes is counted.

#include "testndicontrol.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#define TESTNDI_EXPORT extern "C" __attribute__((visibility("default")))

using SourceList = std::vector<std::pair<std::string, std::string>>; // NDI name, URL address

struct NdiFinderObject
{
    uint64_t waitedGeneration = 0;
    SourceList sources;             // as of the last fetch
    std::vector<NdiSource> records; // point into sources; valid until the next fetch
};

// Like the vendor's receiver, it connects to the source of the name it was given.
struct NdiReceiverObject
{
    std::string sourceName;
    uint64_t lastFrameSerial = 0;
};

namespace {

struct PushedFrame
{
    uint64_t serial = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t lineStrideBytes = 0;
    std::vector<uint8_t> pixels;
};

struct RuntimeState
{
    std::mutex mutex;                // guards every member below
    std::condition_variable changed; // sources or frames changed
    bool initialized = false;
    bool initializeResult = true;
    bool refuseFinders = false;
    bool blockingWaits = false; // waits last their whole time-out and find nothing
    SourceList sources;
    uint64_t sourceGeneration = 0;
    std::set<NdiFinderObject *> finders;
    std::set<NdiReceiverObject *> receivers;
    std::map<std::string, PushedFrame> frames; // by source name; "" reaches every receiver
    uint64_t frameSerial = 0;
    std::set<uint8_t *> framesOut; // captured and not yet freed
    int capturesInside = 0;        // captures waiting for a frame, the lock let go
    int64_t counters[TestNdiCounterCount] = {};
    bool haveReceiverSettings = false;
    TestNdiReceiverSettings lastReceiver = {};
};

RuntimeState rt;

using Lock = std::unique_lock<std::mutex>;

// Every runtime call but initialise goes through here: a call before initialise, or with a
// handle the runtime did not hand out, is the program's fault and is counted as such.
bool valid(bool knownHandle = true)
{
    if (rt.initialized && knownHandle)
        return true;
    ++rt.counters[TestNdiMisuses];
    return false;
}

// The newest frame this receiver has not had yet, from its own source or for everyone.
const PushedFrame *nextFrame(const NdiReceiverObject *receiver)
{
    const PushedFrame *best = nullptr;
    for (const std::string &key : {receiver->sourceName, std::string()}) {
        const auto it = rt.frames.find(key);
        if (it != rt.frames.end() && it->second.serial > receiver->lastFrameSerial &&
            (!best || it->second.serial > best->serial))
            best = &it->second;
    }
    return best;
}

} // namespace

// ---- the runtime's own functions ----

TESTNDI_EXPORT bool NDIlib_initialize(void)
{
    Lock lock(rt.mutex);
    ++rt.counters[TestNdiInitializeCalls];
    rt.initialized = rt.initializeResult;
    return rt.initializeResult;
}

// Like the vendor's runtime, shutting down releases whatever the program still holds, so
// its handles are unknown from here on.
TESTNDI_EXPORT void NDIlib_destroy(void)
{
    Lock lock(rt.mutex);
    ++rt.counters[TestNdiDestroyCalls];
    // Going away under a waiting capture would free the receiver it still reads.
    if (rt.capturesInside > 0)
        ++rt.counters[TestNdiMisuses];
    rt.initialized = false;
    for (NdiFinderObject *finder : rt.finders)
        delete finder;
    rt.finders.clear();
    for (NdiReceiverObject *receiver : rt.receivers)
        delete receiver;
    rt.receivers.clear();
    for (uint8_t *frame : rt.framesOut)
        delete[] frame;
    rt.framesOut.clear();
}

TESTNDI_EXPORT NdiFinderHandle NDIlib_find_create_v2(const NdiFindCreateSettings *)
{
    Lock lock(rt.mutex);
    if (!valid() || rt.refuseFinders)
        return nullptr;
    auto *finder = new NdiFinderObject{rt.sourceGeneration, {}, {}};
    rt.finders.insert(finder);
    ++rt.counters[TestNdiFindersCreated];
    return finder;
}

TESTNDI_EXPORT bool NDIlib_find_wait_for_sources(NdiFinderHandle finder, uint32_t timeoutMs)
{
    Lock lock(rt.mutex);
    if (!valid(rt.finders.count(finder)))
        return false;
    ++rt.counters[TestNdiSourceWaits];
    const bool changed = rt.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [finder] {
        return !rt.blockingWaits && finder->waitedGeneration != rt.sourceGeneration;
    });
    finder->waitedGeneration = rt.sourceGeneration;
    return changed;
}

TESTNDI_EXPORT const NdiSource *NDIlib_find_get_current_sources(NdiFinderHandle finder,
                                                                uint32_t *sourceCount)
{
    Lock lock(rt.mutex);
    *sourceCount = 0;
    if (!valid(rt.finders.count(finder)))
        return nullptr;
    ++rt.counters[TestNdiSourceFetches];
    finder->sources = rt.sources;
    finder->records.clear();
    for (const auto &source : finder->sources)
        finder->records.push_back({source.first.c_str(), source.second.c_str()});
    *sourceCount = uint32_t(finder->records.size());
    return finder->records.empty() ? nullptr : finder->records.data();
}

TESTNDI_EXPORT void NDIlib_find_destroy(NdiFinderHandle finder)
{
    Lock lock(rt.mutex);
    if (!valid(rt.finders.count(finder)))
        return;
    rt.finders.erase(finder);
    delete finder;
    ++rt.counters[TestNdiFindersDestroyed];
}

TESTNDI_EXPORT NdiReceiverHandle NDIlib_recv_create_v3(const NdiRecvCreateSettings *settings)
{
    Lock lock(rt.mutex);
    if (!valid() || !settings)
        return nullptr;
    rt.haveReceiverSettings = true;
    rt.lastReceiver = {};
    const char *name = settings->source.ndiName ? settings->source.ndiName : "";
    const char *url = settings->source.urlAddress ? settings->source.urlAddress : "";
    std::strncpy(rt.lastReceiver.ndiName, name, sizeof rt.lastReceiver.ndiName - 1);
    std::strncpy(rt.lastReceiver.urlAddress, url, sizeof rt.lastReceiver.urlAddress - 1);
    rt.lastReceiver.bandwidth = settings->bandwidth;
    NdiReceiverObject *receiver = new NdiReceiverObject;
    receiver->sourceName = name;
    rt.receivers.insert(receiver);
    ++rt.counters[TestNdiReceiversCreated];
    return receiver;
}

TESTNDI_EXPORT void NDIlib_recv_destroy(NdiReceiverHandle receiver)
{
    Lock lock(rt.mutex);
    if (!valid(rt.receivers.count(receiver)))
        return;
    rt.receivers.erase(receiver);
    delete receiver;
    ++rt.counters[TestNdiReceiversDestroyed];
}

TESTNDI_EXPORT NdiFrameType NDIlib_recv_capture_v2(NdiReceiverHandle receiver, NdiVideoFrame *video,
                                                   NdiAudioFrame *, NdiMetadataFrame *,
                                                   uint32_t timeoutMs)
{
    Lock lock(rt.mutex);
    if (!valid(rt.receivers.count(receiver)))
        return NdiFrameTypeError;
    const PushedFrame *frame = nullptr;
    ++rt.capturesInside;
    rt.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        frame = video && !rt.blockingWaits ? nextFrame(receiver) : nullptr;
        return frame != nullptr;
    });
    --rt.capturesInside;
    if (!frame)
        return NdiFrameTypeNone;
    receiver->lastFrameSerial = frame->serial;
    uint8_t *copy = new uint8_t[frame->pixels.size()];
    std::copy(frame->pixels.begin(), frame->pixels.end(), copy);
    rt.framesOut.insert(copy);
    *video = NdiVideoFrame();
    video->width = frame->width;
    video->height = frame->height;
    video->fourCC = NdiFourCCBgrx;
    video->data = copy;
    video->lineStrideBytes = frame->lineStrideBytes;
    ++rt.counters[TestNdiFramesCaptured];
    return NdiFrameTypeVideo;
}

#ifndef TESTNDI_OMIT_FREE_VIDEO
TESTNDI_EXPORT void NDIlib_recv_free_video_v2(NdiReceiverHandle receiver,
                                              const NdiVideoFrame *video)
{
    Lock lock(rt.mutex);
    if (!valid(rt.receivers.count(receiver)))
        return;
    if (!video || !rt.framesOut.erase(video->data)) {
        ++rt.counters[TestNdiMisuses];
        return;
    }
    delete[] video->data;
    ++rt.counters[TestNdiFramesFreed];
}
#endif

// ---- control functions for tests ----

TESTNDI_EXPORT void testndi_reset(void)
{
    Lock lock(rt.mutex);
    rt.initializeResult = true;
    rt.refuseFinders = false;
    rt.blockingWaits = false;
    rt.sources.clear();
    rt.frames.clear();
    std::fill(std::begin(rt.counters), std::end(rt.counters), 0);
    rt.haveReceiverSettings = false;
}

TESTNDI_EXPORT void testndi_set_sources(const NdiSource *sources, uint32_t sourceCount)
{
    Lock lock(rt.mutex);
    rt.sources.clear();
    for (uint32_t i = 0; i < sourceCount; ++i)
        rt.sources.emplace_back(sources[i].ndiName, sources[i].urlAddress);
    ++rt.sourceGeneration;
    rt.changed.notify_all();
}

TESTNDI_EXPORT void testndi_push_video_frame(const char *ndiName, int32_t width, int32_t height,
                                             int32_t lineStrideBytes, const uint8_t *pixels)
{
    Lock lock(rt.mutex);
    PushedFrame &frame = rt.frames[ndiName];
    frame = {++rt.frameSerial, width, height, lineStrideBytes,
             std::vector<uint8_t>(pixels, pixels + size_t(lineStrideBytes) * size_t(height))};
    rt.changed.notify_all();
}

TESTNDI_EXPORT int64_t testndi_count(TestNdiCounter counter)
{
    Lock lock(rt.mutex);
    return rt.counters[counter];
}

TESTNDI_EXPORT void testndi_set_initialize_result(bool result)
{
    Lock lock(rt.mutex);
    rt.initializeResult = result;
}

TESTNDI_EXPORT void testndi_set_refuse_finders(bool refuse)
{
    Lock lock(rt.mutex);
    rt.refuseFinders = refuse;
}

TESTNDI_EXPORT void testndi_set_blocking_waits(bool blocking)
{
    Lock lock(rt.mutex);
    rt.blockingWaits = blocking;
}

TESTNDI_EXPORT bool testndi_last_receiver_settings(TestNdiReceiverSettings *settings)
{
    Lock lock(rt.mutex);
    if (settings && rt.haveReceiverSettings)
        *settings = rt.lastReceiver;
    return rt.haveReceiverSettings;
}
