#include "ndi/previewreceiver.h"

#include "store/cameradatastore.h"
#include "store/ndisourcename.h"

#include <set>
#include <string>

namespace {
const char *const ReceiverName = "NDI_RECEIVER_TESTAPP";

struct ReceiverSource
{
    std::string ndiName;
    std::string urlAddress;
};

const char *nullWhenEmpty(const std::string &text)
{
    return text.empty() ? nullptr : text.c_str();
}

ReceiverSource receiverSourceFor(const std::string &sourceName, const std::string &urlAddress)
{
    NDISourceInfo key;
    splitSourceName(sourceName, key.machineName, key.streamName);
    std::set<NDISourceInfo> known;
    CameraDataStore::instance().copyKnownSources(known);
    const auto found = known.find(key);
    if (found != known.end() && !found->ndiName.empty())
        return {found->ndiName, found->urlAddress};
    return {networkSourceName(key.machineName, key.streamName), urlAddress};
}

} // namespace

NdiReceiverHandle openPreviewReceiver(const char *sourceName, const char *urlAddress)
{
    const ReceiverSource source =
        receiverSourceFor(sourceName ? sourceName : "", urlAddress ? urlAddress : "");
    NdiRecvCreateSettings settings{};
    settings.source.ndiName = nullWhenEmpty(source.ndiName);
    settings.source.urlAddress = nullWhenEmpty(source.urlAddress);
    settings.colorFormat = NdiColorFormatBgrxBgra;
    settings.bandwidth = NdiBandwidthLowest;
    settings.allowVideoFields = true;
    settings.receiverName = ReceiverName;
    return NDIlib_recv_create_v3(&settings);
}
