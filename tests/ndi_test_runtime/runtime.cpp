// A stand-in for the vendor's NDI runtime, built as libndi.so.6. Sources and frames are set by
// the test through the control functions; every call the program makes is counted.

#include "testndicontrol.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#define TESTNDI_EXPORT extern "C" __attribute__((visibility("default")))

struct NdiFinderObject
{
    uint64_t waitedGeneration = 0;
    std::vector<std::string> names;
    std::vector<std::string> urls;
    std::vector<NdiSource> records; // point into names and urls; valid until the next fetch
};

// Like the vendor's receiver: it connects to the source of the name it was given and uses the
// URL address only when that name is null or empty.
struct NdiReceiverObject
{
    std::string sourceName;
    std::string urlAddress;
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
    bool refuseReceivers = false;
    bool blockingWaits = false; // waits last their whole time-out and find nothing
    std::vector<std::pair<std::string, std::string>> sources;
    uint64_t sourceGeneration = 0;
    std::set<NdiFinderObject *> finders;
    std::set<NdiReceiverObject *> receivers;
    std::map<std::string, PushedFrame> frames; // by source name; "" reaches every receiver
    uint64_t frameSerial = 0;
    std::set<uint8_t *> framesOut; // captured and not yet freed
    int capturesInside = 0;        // captures waiting for a frame, the lock let go
    int64_t counters[TestNdiCounterCount] = {};
    bool haveFinderSettings = false;
    TestNdiFinderSettings lastFinder = {};
    bool haveReceiverSettings = false;
    TestNdiReceiverSettings lastReceiver = {};
};

RuntimeState &state()
{
    static RuntimeState runtime;
    return runtime;
}

using Lock = std::unique_lock<std::mutex>;

template<size_t N>
void copyText(char (&target)[N], const char *text)
{
    std::strncpy(target, text ? text : "", N - 1);
    target[N - 1] = '\0';
}

void count(TestNdiCounter counter)
{
    ++state().counters[counter];
}

// Every runtime call but initialise goes through here: a call with a handle the runtime did
// not hand out, or before initialise, is the program's fault and is counted as such.
template<typename Handle>
bool validCall(const std::set<Handle *> &live, Handle *handle)
{
    if (state().initialized && live.count(handle))
        return true;
    count(TestNdiMisuses);
    return false;
}

bool validCreate()
{
    if (state().initialized)
        return true;
    count(TestNdiMisuses);
    return false;
}

void recordFinderSettings(const NdiFindCreateSettings *settings)
{
    RuntimeState &s = state();
    s.haveFinderSettings = true;
    s.lastFinder = {};
    if (!settings)
        return;
    s.lastFinder.showLocalSources = settings->showLocalSources;
    s.lastFinder.groupsNull = settings->groups == nullptr;
    s.lastFinder.extraIpsNull = settings->extraIps == nullptr;
    copyText(s.lastFinder.groups, settings->groups);
}

void recordReceiverSettings(const NdiRecvCreateSettings *settings)
{
    RuntimeState &s = state();
    s.haveReceiverSettings = true;
    s.lastReceiver = {};
    if (!settings)
        return;
    copyText(s.lastReceiver.ndiName, settings->source.ndiName);
    copyText(s.lastReceiver.urlAddress, settings->source.urlAddress);
    copyText(s.lastReceiver.receiverName, settings->receiverName);
    s.lastReceiver.receiverNameNull = settings->receiverName == nullptr;
    s.lastReceiver.colorFormat = settings->colorFormat;
    s.lastReceiver.bandwidth = settings->bandwidth;
    s.lastReceiver.allowVideoFields = settings->allowVideoFields;
}

// The name of the source a receiver is connected to; empty when it has none.
std::string connectedSource(const NdiReceiverObject *receiver)
{
    if (!receiver->sourceName.empty())
        return receiver->sourceName;
    for (const auto &source : state().sources) {
        if (!receiver->urlAddress.empty() && source.second == receiver->urlAddress)
            return source.first;
    }
    return {};
}

// The newest frame this receiver has not had yet, from its own source or for everyone.
const PushedFrame *nextFrame(const NdiReceiverObject *receiver)
{
    const PushedFrame *best = nullptr;
    for (const std::string &key : {connectedSource(receiver), std::string()}) {
        const auto it = state().frames.find(key);
        if (it != state().frames.end() && it->second.serial > receiver->lastFrameSerial &&
            (!best || it->second.serial > best->serial))
            best = &it->second;
    }
    return best;
}

void fillVideoRecord(const PushedFrame &frame, NdiVideoFrame *video)
{
    uint8_t *copy = new uint8_t[frame.pixels.size()];
    std::memcpy(copy, frame.pixels.data(), frame.pixels.size());
    state().framesOut.insert(copy);
    *video = NdiVideoFrame();
    video->width = frame.width;
    video->height = frame.height;
    video->fourCC = NdiFourCCBgrx;
    video->frameRateN = 30000;
    video->frameRateD = 1001;
    video->pictureAspectRatio = frame.height ? float(frame.width) / float(frame.height) : 0.0f;
    video->frameFormat = NdiFrameFormatProgressive;
    video->timecode = int64_t(frame.serial);
    video->data = copy;
    video->lineStrideBytes = frame.lineStrideBytes;
    video->metadata = nullptr;
    video->timestamp = INT64_MAX;
}

} // namespace

// ---- the runtime's own functions ----

TESTNDI_EXPORT bool NDIlib_initialize(void)
{
    Lock lock(state().mutex);
    count(TestNdiInitializeCalls);
    state().initialized = state().initializeResult;
    return state().initializeResult;
}

// Like the vendor's runtime, shutting down releases whatever the program still holds, so
// its handles are unknown from here on.
TESTNDI_EXPORT void NDIlib_destroy(void)
{
    Lock lock(state().mutex);
    RuntimeState &s = state();
    count(TestNdiDestroyCalls);
    // Going away under a waiting capture would free the receiver it still reads.
    if (s.capturesInside > 0)
        count(TestNdiMisuses);
    s.initialized = false;
    for (NdiFinderObject *finder : s.finders)
        delete finder;
    s.finders.clear();
    for (NdiReceiverObject *receiver : s.receivers)
        delete receiver;
    s.receivers.clear();
    for (uint8_t *frame : s.framesOut)
        delete[] frame;
    s.framesOut.clear();
}

TESTNDI_EXPORT NdiFinderHandle NDIlib_find_create_v2(const NdiFindCreateSettings *settings)
{
    Lock lock(state().mutex);
    if (!validCreate())
        return nullptr;
    recordFinderSettings(settings);
    if (state().refuseFinders)
        return nullptr;
    NdiFinderObject *finder = new NdiFinderObject;
    finder->waitedGeneration = state().sourceGeneration;
    state().finders.insert(finder);
    count(TestNdiFindersCreated);
    return finder;
}

TESTNDI_EXPORT bool NDIlib_find_wait_for_sources(NdiFinderHandle finder, uint32_t timeoutMs)
{
    Lock lock(state().mutex);
    if (!validCall(state().finders, finder))
        return false;
    count(TestNdiSourceWaits);
    const bool changed =
        state().changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [finder] {
            return !state().blockingWaits && finder->waitedGeneration != state().sourceGeneration;
        });
    finder->waitedGeneration = state().sourceGeneration;
    return changed;
}

TESTNDI_EXPORT const NdiSource *NDIlib_find_get_current_sources(NdiFinderHandle finder,
                                                                uint32_t *sourceCount)
{
    Lock lock(state().mutex);
    if (sourceCount)
        *sourceCount = 0;
    if (!validCall(state().finders, finder))
        return nullptr;
    count(TestNdiSourceFetches);
    finder->names.clear();
    finder->urls.clear();
    for (const auto &source : state().sources) {
        finder->names.push_back(source.first);
        finder->urls.push_back(source.second);
    }
    finder->records.clear();
    for (size_t i = 0; i < finder->names.size(); ++i)
        finder->records.push_back({finder->names[i].c_str(), finder->urls[i].c_str()});
    if (sourceCount)
        *sourceCount = uint32_t(finder->records.size());
    return finder->records.empty() ? nullptr : finder->records.data();
}

TESTNDI_EXPORT void NDIlib_find_destroy(NdiFinderHandle finder)
{
    Lock lock(state().mutex);
    if (!validCall(state().finders, finder))
        return;
    state().finders.erase(finder);
    delete finder;
    count(TestNdiFindersDestroyed);
}

TESTNDI_EXPORT NdiReceiverHandle NDIlib_recv_create_v3(const NdiRecvCreateSettings *settings)
{
    Lock lock(state().mutex);
    if (!validCreate())
        return nullptr;
    recordReceiverSettings(settings);
    if (state().refuseReceivers)
        return nullptr;
    NdiReceiverObject *receiver = new NdiReceiverObject;
    if (settings && settings->source.ndiName)
        receiver->sourceName = settings->source.ndiName;
    if (settings && settings->source.urlAddress)
        receiver->urlAddress = settings->source.urlAddress;
    state().receivers.insert(receiver);
    count(TestNdiReceiversCreated);
    return receiver;
}

TESTNDI_EXPORT void NDIlib_recv_destroy(NdiReceiverHandle receiver)
{
    Lock lock(state().mutex);
    if (!validCall(state().receivers, receiver))
        return;
    state().receivers.erase(receiver);
    delete receiver;
    count(TestNdiReceiversDestroyed);
}

TESTNDI_EXPORT NdiFrameType NDIlib_recv_capture_v2(NdiReceiverHandle receiver, NdiVideoFrame *video,
                                                   NdiAudioFrame *, NdiMetadataFrame *,
                                                   uint32_t timeoutMs)
{
    Lock lock(state().mutex);
    if (!validCall(state().receivers, receiver))
        return NdiFrameTypeError;
    const PushedFrame *frame = nullptr;
    ++state().capturesInside;
    state().changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        frame = video && !state().blockingWaits ? nextFrame(receiver) : nullptr;
        return frame != nullptr;
    });
    --state().capturesInside;
    if (!frame)
        return NdiFrameTypeNone;
    receiver->lastFrameSerial = frame->serial;
    fillVideoRecord(*frame, video);
    count(TestNdiFramesCaptured);
    return NdiFrameTypeVideo;
}

#ifndef TESTNDI_OMIT_FREE_VIDEO
TESTNDI_EXPORT void NDIlib_recv_free_video_v2(NdiReceiverHandle receiver,
                                              const NdiVideoFrame *video)
{
    Lock lock(state().mutex);
    if (!validCall(state().receivers, receiver))
        return;
    if (!video || !state().framesOut.erase(video->data)) {
        count(TestNdiMisuses);
        return;
    }
    delete[] video->data;
    count(TestNdiFramesFreed);
}
#endif

// ---- control functions for tests ----

TESTNDI_EXPORT void testndi_reset(void)
{
    Lock lock(state().mutex);
    RuntimeState &s = state();
    s.initializeResult = true;
    s.refuseFinders = false;
    s.refuseReceivers = false;
    s.blockingWaits = false;
    s.sources.clear();
    ++s.sourceGeneration;
    s.frames.clear();
    std::fill(std::begin(s.counters), std::end(s.counters), 0);
    s.haveFinderSettings = false;
    s.haveReceiverSettings = false;
    // Finders created before the reset must not see it as a change.
    for (NdiFinderObject *finder : s.finders)
        finder->waitedGeneration = s.sourceGeneration;
}

TESTNDI_EXPORT void testndi_set_sources(const NdiSource *sources, uint32_t sourceCount)
{
    Lock lock(state().mutex);
    state().sources.clear();
    for (uint32_t i = 0; i < sourceCount; ++i)
        state().sources.emplace_back(sources[i].ndiName ? sources[i].ndiName : "",
                                     sources[i].urlAddress ? sources[i].urlAddress : "");
    ++state().sourceGeneration;
    state().changed.notify_all();
}

TESTNDI_EXPORT void testndi_push_video_frame(const char *ndiName, int32_t width, int32_t height,
                                             int32_t lineStrideBytes, const uint8_t *pixels)
{
    Lock lock(state().mutex);
    PushedFrame &frame = state().frames[ndiName ? ndiName : ""];
    frame.serial = ++state().frameSerial;
    frame.width = width;
    frame.height = height;
    frame.lineStrideBytes = lineStrideBytes;
    const size_t size =
        size_t(lineStrideBytes > 0 ? lineStrideBytes : 0) * size_t(height > 0 ? height : 0);
    frame.pixels.assign(pixels, pixels + (pixels ? size : 0));
    frame.pixels.resize(size);
    state().changed.notify_all();
}

TESTNDI_EXPORT int64_t testndi_count(TestNdiCounter counter)
{
    Lock lock(state().mutex);
    return counter >= 0 && counter < TestNdiCounterCount ? state().counters[counter] : -1;
}

TESTNDI_EXPORT void testndi_set_initialize_result(bool result)
{
    Lock lock(state().mutex);
    state().initializeResult = result;
}

TESTNDI_EXPORT void testndi_set_refuse_finders(bool refuse)
{
    Lock lock(state().mutex);
    state().refuseFinders = refuse;
}

TESTNDI_EXPORT void testndi_set_refuse_receivers(bool refuse)
{
    Lock lock(state().mutex);
    state().refuseReceivers = refuse;
}

TESTNDI_EXPORT void testndi_set_blocking_waits(bool blocking)
{
    Lock lock(state().mutex);
    state().blockingWaits = blocking;
}

TESTNDI_EXPORT bool testndi_last_finder_settings(TestNdiFinderSettings *settings)
{
    Lock lock(state().mutex);
    if (settings && state().haveFinderSettings)
        *settings = state().lastFinder;
    return state().haveFinderSettings;
}

TESTNDI_EXPORT bool testndi_last_receiver_settings(TestNdiReceiverSettings *settings)
{
    Lock lock(state().mutex);
    if (settings && state().haveReceiverSettings)
        *settings = state().lastReceiver;
    return state().haveReceiverSettings;
}
