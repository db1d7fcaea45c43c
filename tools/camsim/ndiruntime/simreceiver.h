#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "ndi/ndilib.h"
#include "tools/camsim/ndiruntime/udpchannel.h"

// A receiver of one simulated camera: asks the camera what it sees and draws that part of
// the course, at the camera's frame rate, in BGRX at preview size.
class SimReceiver
{
public:
    SimReceiver(const std::string &address, uint16_t port);

    NdiFrameType capture(NdiVideoFrame *video, uint32_t timeoutMs);
    static void releaseFrame(uint8_t *pixels);

    // "127.0.0.10:5961" (a scheme prefix allowed); false without a port.
    static bool splitUrl(const std::string &url, std::string &address, uint16_t &port);

private:
    using Clock = std::chrono::steady_clock;

    std::unique_ptr<UdpChannel> stream;
    Clock::time_point nextFrame = Clock::now();
    int64_t frameCount = 0;
};
