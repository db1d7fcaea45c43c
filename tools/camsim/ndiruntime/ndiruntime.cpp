// The simulated NDI runtime: the ten functions Trevalo calls, answered from the camera
// simulator over loopback. Only these ten leave the library (see exports.map), and they bind
// to themselves (-Bsymbolic), so nothing here can reach the program's own NDI symbols.
#include "ndi/ndilib.h"
#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/ndiruntime/simfinder.h"
#include "tools/camsim/ndiruntime/simreceiver.h"

#include <new>

#define CAMSIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

SimFinder *finderOf(NdiFinderHandle handle)
{
    return reinterpret_cast<SimFinder *>(handle);
}

SimReceiver *receiverOf(NdiReceiverHandle handle)
{
    return reinterpret_cast<SimReceiver *>(handle);
}

// By URL address as the program passes it; by name through the directory otherwise.
bool receiverEndpoint(const NdiSource &source, std::string &address, uint16_t &port)
{
    if (source.urlAddress && SimReceiver::splitUrl(source.urlAddress, address, port))
        return true;
    if (!source.ndiName)
        return false;
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
    return true;
}

CAMSIM_EXPORT void NDIlib_destroy(void) {}

CAMSIM_EXPORT NdiFinderHandle NDIlib_find_create_v2(const NdiFindCreateSettings *)
{
    return reinterpret_cast<NdiFinderHandle>(
        new (std::nothrow) SimFinder(CamSim::baseAddressFromEnvironment()));
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
    delete finderOf(finder);
}

CAMSIM_EXPORT NdiReceiverHandle NDIlib_recv_create_v3(const NdiRecvCreateSettings *settings)
{
    std::string address;
    uint16_t port = 0;
    if (!settings || !receiverEndpoint(settings->source, address, port))
        return nullptr;
    return reinterpret_cast<NdiReceiverHandle>(new (std::nothrow) SimReceiver(address, port));
}

CAMSIM_EXPORT void NDIlib_recv_destroy(NdiReceiverHandle receiver)
{
    delete receiverOf(receiver);
}

CAMSIM_EXPORT NdiFrameType NDIlib_recv_capture_v2(NdiReceiverHandle receiver,
                                                  NdiVideoFrame *video, NdiAudioFrame *,
                                                  NdiMetadataFrame *, uint32_t timeoutMs)
{
    return receiver ? receiverOf(receiver)->capture(video, timeoutMs) : NdiFrameTypeError;
}

CAMSIM_EXPORT void NDIlib_recv_free_video_v2(NdiReceiverHandle, const NdiVideoFrame *video)
{
    SimReceiver::release(video);
}
