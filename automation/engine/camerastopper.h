#pragma once

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Stops pan-tilt, focus and zoom of every camera at once, one thread per camera, so that a
// silent camera does not hold back the stop of the others.
class CameraStopper
{
public:
    explicit CameraStopper(std::atomic<uint32_t> &sequenceCounter)
        : counter(sequenceCounter)
    {
    }
    ~CameraStopper() { wait(); }
    CameraStopper(const CameraStopper &) = delete;
    CameraStopper &operator=(const CameraStopper &) = delete;

    // Returns at once; the stop commands leave within milliseconds.
    void stopAll(const std::set<std::string> &addresses);
    void wait();

private:
    std::atomic<uint32_t> &counter;
    std::vector<std::thread> senders;
};
