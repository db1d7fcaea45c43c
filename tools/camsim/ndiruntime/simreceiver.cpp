#include "tools/camsim/ndiruntime/simreceiver.h"

#include "tools/camsim/common/cameraview.h"
#include "tools/camsim/common/coursepanorama.h"

#include <climits>
#include <cstdlib>
#include <thread>

namespace {
constexpr int ViewQueryTimeoutMs = 100;
constexpr int BytesPerPixel = 4;
} // namespace

SimReceiver::SimReceiver(const std::string &address, uint16_t port)
    : stream(std::make_unique<UdpChannel>(address, port))
{
}

bool SimReceiver::splitUrl(const std::string &url, std::string &address, uint16_t &port)
{
    const size_t scheme = url.find("://");
    const std::string rest = scheme == std::string::npos ? url : url.substr(scheme + 3);
    const size_t colon = rest.find(':');
    if (colon == std::string::npos)
        return false;
    char *end = nullptr;
    const long number = std::strtol(rest.c_str() + colon + 1, &end, 10);
    if (*end || number <= 0 || number > 65535)
        return false;
    address = rest.substr(0, colon);
    port = uint16_t(number);
    return true;
}

NdiFrameType SimReceiver::capture(NdiVideoFrame *video, uint32_t timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!video || nextFrame > deadline) {
        std::this_thread::sleep_until(deadline);
        return NdiFrameTypeNone;
    }
    std::this_thread::sleep_until(nextFrame);
    CamSim::ViewState view;
    std::string answer;
    if (!stream->query(CamSim::ViewRequest, answer, ViewQueryTimeoutMs) ||
        !CamSim::decodeView(answer, view)) {
        // The camera is gone: wait out the time as a receiver without a stream does.
        nextFrame = deadline;
        std::this_thread::sleep_until(deadline);
        return NdiFrameTypeNone;
    }
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(view.frameRateD) / view.frameRateN));
    // A slow consumer gets the newest picture, not a backlog.
    nextFrame = std::max(nextFrame + period, Clock::now());

    const int width = CamSim::PreviewWidth;
    const int height = CamSim::PreviewHeight;
    auto *pixels = static_cast<uint8_t *>(std::malloc(size_t(width) * height * BytesPerPixel));
    if (!pixels)
        return NdiFrameTypeNone;
    renderCameraView(CoursePanorama::picture(), view, pixels, width, height, width * BytesPerPixel);
    *video = NdiVideoFrame{};
    video->width = width;
    video->height = height;
    video->fourCC = NdiFourCCBgrx;
    video->frameRateN = view.frameRateN;
    video->frameRateD = view.frameRateD;
    video->pictureAspectRatio = float(width) / float(height);
    video->frameFormat = NdiFrameFormatProgressive;
    video->timecode = frameCount++ * 10000000LL * view.frameRateD / view.frameRateN;
    video->data = pixels;
    video->lineStrideBytes = width * BytesPerPixel;
    video->metadata = nullptr;
    video->timestamp = INT64_MAX;
    return NdiFrameTypeVideo;
}

void SimReceiver::releaseFrame(uint8_t *pixels)
{
    std::free(pixels);
}
