// The simulated NDI runtime: the ten functions Trevalo calls, answered from the camera
// simulator over loopback. Only these ten leave the library (see exports.map), and they bind
// to themselves (-Bsymbolic), so nothing here can reach the program's own NDI symbols.
#include "ndi/ndilib.h"
#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/ndiruntime/demooperator.h"
#include "tools/camsim/ndiruntime/simfinder.h"
#include "tools/camsim/ndiruntime/simreceiver.h"

#include <mutex>
#include <new>
#include <set>

#define CAMSIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Whatever a program still holds when it calls NDIlib_destroy (the loader forwards nothing
// after that): like a vendor runtime, destroy releases it all.
class Holdings
{
public:
    template<typename T>
    T *add(std::set<T *> Holdings::*kind, T *object)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (object)
            (this->*kind).insert(object);
        return object;
    }
    template<typename T>
    bool remove(std::set<T *> Holdings::*kind, T *object)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return (this->*kind).erase(object) > 0;
    }
    void releaseAll()
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (SimFinder *finder : finders)
            delete finder;
        for (SimReceiver *receiver : receivers)
            delete receiver;
        finders.clear();
        receivers.clear();
        for (uint8_t *frame : frames)
            SimReceiver::releaseFrame(frame);
        frames.clear();
    }

    std::set<SimFinder *> finders;
    std::set<SimReceiver *> receivers;
    std::set<uint8_t *> frames;

private:
    std::mutex mutex; // guards the three sets
};

Holdings holdings;

SimFinder *finderOf(NdiFinderHandle handle)
{
    return reinterpret_cast<SimFinder *>(handle);
}

SimReceiver *receiverOf(NdiReceiverHandle handle)
{
    return reinterpret_cast<SimReceiver *>(handle);
}

// As the vendor's receiver does: the source of the given name, wherever the directory puts it;
// the URL address only when the name is null or empty.
bool receiverEndpoint(const NdiSource &source, std::string &address, uint16_t &port)
{
    if (!source.ndiName || !*source.ndiName)
        return source.urlAddress && SimReceiver::splitUrl(source.urlAddress, address, port);
    SimFinder finder(CamSim::baseAddressFromEnvironment());
    uint32_t count = 0;
    const NdiSource *sources = finder.currentSources(&count);
    for (uint32_t i = 0; i < count; ++i) {
        if (std::string(sources[i].ndiName) == source.ndiName)
            return SimReceiver::splitUrl(sources[i].urlAddress, address, port);
    }
    return false;
}

} // namespace

CAMSIM_EXPORT bool NDIlib_initialize(void)
{
    DemoOperator::start();
    return true;
}

CAMSIM_EXPORT void NDIlib_destroy(void)
{
    DemoOperator::stop();
    holdings.releaseAll();
}

CAMSIM_EXPORT NdiFinderHandle NDIlib_find_create_v2(const NdiFindCreateSettings *)
{
    auto *finder = new (std::nothrow) SimFinder(CamSim::baseAddressFromEnvironment());
    return reinterpret_cast<NdiFinderHandle>(holdings.add(&Holdings::finders, finder));
}

CAMSIM_EXPORT bool NDIlib_find_wait_for_sources(NdiFinderHandle finder, uint32_t timeoutMs)
{
    return finder && finderOf(finder)->waitForSources(timeoutMs);
}

CAMSIM_EXPORT const NdiSource *NDIlib_find_get_current_sources(NdiFinderHandle finder,
                                                               uint32_t *count)
{
    if (finder)
        return finderOf(finder)->currentSources(count);
    if (count)
        *count = 0;
    return nullptr;
}

CAMSIM_EXPORT void NDIlib_find_destroy(NdiFinderHandle finder)
{
    if (holdings.remove(&Holdings::finders, finderOf(finder)))
        delete finderOf(finder);
}

CAMSIM_EXPORT NdiReceiverHandle NDIlib_recv_create_v3(const NdiRecvCreateSettings *settings)
{
    std::string address;
    uint16_t port = 0;
    if (!settings || !receiverEndpoint(settings->source, address, port))
        return nullptr;
    return reinterpret_cast<NdiReceiverHandle>(
        holdings.add(&Holdings::receivers, new (std::nothrow) SimReceiver(address, port)));
}

CAMSIM_EXPORT void NDIlib_recv_destroy(NdiReceiverHandle receiver)
{
    if (holdings.remove(&Holdings::receivers, receiverOf(receiver)))
        delete receiverOf(receiver);
}

CAMSIM_EXPORT NdiFrameType NDIlib_recv_capture_v2(NdiReceiverHandle receiver, NdiVideoFrame *video,
                                                  NdiAudioFrame *, NdiMetadataFrame *,
                                                  uint32_t timeoutMs)
{
    if (!receiver)
        return NdiFrameTypeError;
    const NdiFrameType type = receiverOf(receiver)->capture(video, timeoutMs);
    if (type == NdiFrameTypeVideo)
        holdings.add(&Holdings::frames, video->data);
    return type;
}

CAMSIM_EXPORT void NDIlib_recv_free_video_v2(NdiReceiverHandle, const NdiVideoFrame *video)
{
    if (video && holdings.remove(&Holdings::frames, video->data))
        SimReceiver::releaseFrame(video->data);
}
