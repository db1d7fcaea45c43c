#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// One caller's side of the VISCA exchanges: builds each command through the factory, encodes
// it with the caller's sequence counter and counts every attempt, even one the factory could
// not create, so that sequence numbers never repeat. A shared atomic counter lets several
// threads of one run number their exchanges without repeats.
class ViscaLink
{
public:
    explicit ViscaLink(uint32_t &sequenceCounter)
        : plainCounter(&sequenceCounter)
    {
    }
    explicit ViscaLink(std::atomic<uint32_t> &sequenceCounter)
        : sharedCounter(&sequenceCounter)
    {
    }

    // Waits for the acknowledge only: a move's completion comes when the camera arrives,
    // which is watched by inquiries, and a late completion is dropped by the socket.
    void send(int32_t type, const std::string &ip, int32_t param1, int32_t param2 = 0,
              int32_t param3 = 0);
    // Outputs untouched when the camera does not answer.
    bool inquirePanTilt(const std::string &ip, int32_t &pan, int32_t &tilt);
    bool inquireValue(int32_t type, const std::string &ip, int32_t &value);

private:
    using Exchange = std::function<bool(const uint8_t *datagram, uint32_t *length)>;
    bool exchange(int32_t type, int32_t param1, int32_t param2, int32_t param3, const Exchange &io);
    uint32_t takeSequence();

    uint32_t *plainCounter = nullptr;
    std::atomic<uint32_t> *sharedCounter = nullptr;
};
