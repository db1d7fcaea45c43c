#pragma once

#include "support/testndiruntime.h"

#include <atomic>
#include <chrono>
#include <thread>

// Feeds small black frames to every receiver while alive. A video thread leaves only after its
// capture returns, and with no frames that takes the full 2 s capture time-out; the pump keeps
// stops quick in tests that close or switch a running preview.
class FramePump
{
public:
    explicit FramePump(TestNdiRuntime &runtime, int width = 16, int height = 9)
        : thread([this, &runtime, width, height] {
            const QByteArray pixels = TestNdiRuntime::bgrxFrame(width, height, width * 4, 0, 0, 0);
            while (!stopping) {
                runtime.pushVideoFrame(std::string(), width, height, width * 4, pixels);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        })
    {
    }
    ~FramePump()
    {
        stopping = true;
        thread.join();
    }
    FramePump(const FramePump &) = delete;
    FramePump &operator=(const FramePump &) = delete;

private:
    std::atomic<bool> stopping{false};
    std::thread thread;
};
