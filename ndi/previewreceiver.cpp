#include "ndi/previewreceiver.h"

namespace {
const char *const ReceiverName = "NDI_RECEIVER_TESTAPP";
}

NdiReceiverHandle openPreviewReceiver(const char *ndiName, const char *urlAddress)
{
    NdiRecvCreateSettings settings{};
    settings.source.ndiName = ndiName;
    settings.source.urlAddress = urlAddress;
    settings.colorFormat = NdiColorFormatBgrxBgra;
    settings.bandwidth = NdiBandwidthLowest;
    settings.allowVideoFields = true;
    settings.receiverName = ReceiverName;
    return NDIlib_recv_create_v3(&settings);
}
