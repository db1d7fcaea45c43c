#include "ndi/videostreamthread.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstring>

namespace {
// A source that sends nothing holds a capture for its whole time-out, and a stop waits for the
// capture in progress: short captures keep closing a panel or the program quick.
constexpr uint32_t CaptureTimeoutMs = 100;
constexpr qint64 FramePeriodMs = 10;
} // namespace

VideoStreamThread::VideoStreamThread(NdiReceiverHandle source, QObject *parent)
    : QThread(parent)
    , receiver(source)
{
    // Frames cross to the GUI thread in a queued signal, which looks the type up by name.
    qRegisterMetaType<uint8_t *>("uint8_t*");
}

void VideoStreamThread::run()
{
    NdiVideoFrame frame{};
    while (running.load()) {
        QElapsedTimer clock;
        clock.start();
        if (NDIlib_recv_capture_v2(receiver, &frame, nullptr, nullptr, CaptureTimeoutMs) ==
            NdiFrameTypeVideo) {
            copyAndEmit(frame);
            NDIlib_recv_free_video_v2(receiver, &frame);
        }
        const qint64 left = FramePeriodMs - clock.elapsed();
        if (left > 0)
            msleep(static_cast<unsigned long>(left));
    }
    emit ResultReady(0, 0, nullptr);
}

// One copy, so the runtime gets its buffer back at once. A line stride wider than the picture is
// dropped here, so the copy is always packed.
void VideoStreamThread::copyAndEmit(const NdiVideoFrame &frame)
{
    if (frame.width <= 0 || frame.height <= 0 || !frame.data)
        return;
    const size_t lineBytes = size_t(frame.width) * 4;
    const size_t stride = std::max(lineBytes, size_t(std::max(frame.lineStrideBytes, 0)));
    auto *copy = new uint8_t[lineBytes * size_t(frame.height)];
    if (stride == lineBytes) {
        std::memcpy(copy, frame.data, lineBytes * size_t(frame.height));
    } else {
        for (int32_t line = 0; line < frame.height; ++line)
            std::memcpy(copy + line * lineBytes, frame.data + line * stride, lineBytes);
    }
    emit ResultReady(frame.width, frame.height, copy);
}
