// Loads the vendor's NDI runtime on NDIlib_initialize and forwards the program's calls to it.
// Without a usable runtime every call is answered here with null, false or nothing.

#include "ndi/ndilib.h"

#include <QDebug>

#include <condition_variable>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <vector>

// Our definitions carry the runtime's names. Hidden, they never enter the executable's dynamic
// symbol table, so the runtime's calls to its own functions cannot bind to them.
#define NDI_FORWARDER extern "C" __attribute__((visibility("hidden")))

namespace {

struct RuntimeApi
{
    decltype(&NDIlib_initialize) initialize = nullptr;
    decltype(&NDIlib_destroy) destroy = nullptr;
    decltype(&NDIlib_find_create_v2) findCreate = nullptr;
    decltype(&NDIlib_find_wait_for_sources) findWait = nullptr;
    decltype(&NDIlib_find_get_current_sources) findGetSources = nullptr;
    decltype(&NDIlib_find_destroy) findDestroy = nullptr;
    decltype(&NDIlib_recv_create_v3) recvCreate = nullptr;
    decltype(&NDIlib_recv_destroy) recvDestroy = nullptr;
    decltype(&NDIlib_recv_capture_v2) recvCapture = nullptr;
    decltype(&NDIlib_recv_free_video_v2) recvFreeVideo = nullptr;
};

template<typename Fn>
bool resolve(void *library, const char *name, Fn &fn)
{
    fn = reinterpret_cast<Fn>(dlsym(library, name));
    if (!fn)
        qDebug() << "NDI runtime lacks" << name;
    return fn != nullptr;
}

bool resolveAll(void *library, RuntimeApi &api)
{
    return resolve(library, "NDIlib_initialize", api.initialize) &&
           resolve(library, "NDIlib_destroy", api.destroy) &&
           resolve(library, "NDIlib_find_create_v2", api.findCreate) &&
           resolve(library, "NDIlib_find_wait_for_sources", api.findWait) &&
           resolve(library, "NDIlib_find_get_current_sources", api.findGetSources) &&
           resolve(library, "NDIlib_find_destroy", api.findDestroy) &&
           resolve(library, "NDIlib_recv_create_v3", api.recvCreate) &&
           resolve(library, "NDIlib_recv_destroy", api.recvDestroy) &&
           resolve(library, "NDIlib_recv_capture_v2", api.recvCapture) &&
           resolve(library, "NDIlib_recv_free_video_v2", api.recvFreeVideo);
}

// Newest first: the folders the vendor's installers name, then the library search path.
std::vector<std::string> runtimeCandidates()
{
    std::vector<std::string> candidates;
    const struct
    {
        const char *envVar;
        const char *fileName;
    } versions[] = {{"NDI_RUNTIME_DIR_V6", "libndi.so.6"}, {"NDI_RUNTIME_DIR_V5", "libndi.so.5"}};
    for (const auto &version : versions) {
        const char *dir = std::getenv(version.envVar);
        if (dir && *dir)
            candidates.push_back(std::string(dir) + "/" + version.fileName);
    }
    for (const auto &version : versions)
        candidates.push_back(version.fileName);
    return candidates;
}

// The first runtime that loads is the one we use; a broken one is not silently passed over.
// RTLD_DEEPBIND would also keep the runtime's internal calls inside it, but AddressSanitizer
// refuses it, and our hidden forwarders already make it unnecessary.
void *openRuntime()
{
    for (const std::string &candidate : runtimeCandidates()) {
        if (void *library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL))
            return library;
    }
    return nullptr;
}

// Calls from discovery and video threads run concurrently; unloading must wait until none
// is inside the runtime, and no new call may enter once unloading has begun.
class RuntimeLoader
{
public:
    // Never destroyed: finders may still be released from other singletons' destructors.
    static RuntimeLoader &instance()
    {
        static RuntimeLoader *const loader = new RuntimeLoader;
        return *loader;
    }

    bool load()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return !library || accepting; });
        if (library)
            return true;
        void *opened = openRuntime();
        if (!opened)
            return false;
        RuntimeApi resolved;
        if (!resolveAll(opened, resolved) || !resolved.initialize()) {
            dlclose(opened);
            return false;
        }
        library = opened;
        api = resolved;
        accepting = true;
        return true;
    }

    void unload()
    {
        std::unique_lock<std::mutex> lock(mutex);
        if (!library || !accepting)
            return;
        accepting = false;
        changed.wait(lock, [this] { return callsInside == 0; });
        api.destroy();
        dlclose(library);
        library = nullptr;
        api = RuntimeApi();
        changed.notify_all();
    }

    // The api to call through, or null; a non-null result must be paired with leave().
    const RuntimeApi *enter()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!accepting)
            return nullptr;
        ++callsInside;
        return &api;
    }

    void leave()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (--callsInside == 0)
            changed.notify_all();
    }

private:
    std::mutex mutex;                // guards every member below
    std::condition_variable changed; // callsInside reached 0, or an unload finished
    void *library = nullptr;
    bool accepting = false; // false from the start of an unload
    RuntimeApi api;         // stays valid while callsInside > 0
    int callsInside = 0;
};

// One forwarded call: holds the runtime in place for the duration of the call.
class RuntimeCall
{
public:
    RuntimeCall()
        : api(RuntimeLoader::instance().enter())
    {
    }
    ~RuntimeCall()
    {
        if (api)
            RuntimeLoader::instance().leave();
    }
    RuntimeCall(const RuntimeCall &) = delete;
    RuntimeCall &operator=(const RuntimeCall &) = delete;

    const RuntimeApi *const api;
};

} // namespace

NDI_FORWARDER bool NDIlib_initialize(void)
{
    return RuntimeLoader::instance().load();
}

NDI_FORWARDER void NDIlib_destroy(void)
{
    RuntimeLoader::instance().unload();
}

NDI_FORWARDER NdiFinderHandle NDIlib_find_create_v2(const NdiFindCreateSettings *settings)
{
    RuntimeCall call;
    return call.api ? call.api->findCreate(settings) : nullptr;
}

NDI_FORWARDER bool NDIlib_find_wait_for_sources(NdiFinderHandle finder, uint32_t timeoutMs)
{
    RuntimeCall call;
    return call.api ? call.api->findWait(finder, timeoutMs) : false;
}

NDI_FORWARDER const NdiSource *NDIlib_find_get_current_sources(NdiFinderHandle finder,
                                                               uint32_t *count)
{
    RuntimeCall call;
    if (call.api)
        return call.api->findGetSources(finder, count);
    if (count)
        *count = 0;
    return nullptr;
}

NDI_FORWARDER void NDIlib_find_destroy(NdiFinderHandle finder)
{
    RuntimeCall call;
    if (call.api)
        call.api->findDestroy(finder);
}

NDI_FORWARDER NdiReceiverHandle NDIlib_recv_create_v3(const NdiRecvCreateSettings *settings)
{
    RuntimeCall call;
    return call.api ? call.api->recvCreate(settings) : nullptr;
}

NDI_FORWARDER void NDIlib_recv_destroy(NdiReceiverHandle receiver)
{
    RuntimeCall call;
    if (call.api)
        call.api->recvDestroy(receiver);
}

NDI_FORWARDER NdiFrameType NDIlib_recv_capture_v2(NdiReceiverHandle receiver, NdiVideoFrame *video,
                                                  NdiAudioFrame *audio, NdiMetadataFrame *metadata,
                                                  uint32_t timeoutMs)
{
    RuntimeCall call;
    return call.api ? call.api->recvCapture(receiver, video, audio, metadata, timeoutMs)
                    : NdiFrameTypeNone;
}

NDI_FORWARDER void NDIlib_recv_free_video_v2(NdiReceiverHandle receiver, const NdiVideoFrame *video)
{
    RuntimeCall call;
    if (call.api)
        call.api->recvFreeVideo(receiver, video);
}
