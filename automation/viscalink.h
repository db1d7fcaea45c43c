#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The engine's side of the VISCA exchanges: builds each command through the factory, encodes
// it with the engine's own sequence counter and counts every attempt, even one the factory
// could not create, so that sequence numbers never repeat within a run.
class ViscaLink
{
public:
    explicit ViscaLink(uint32_t &sequenceCounter)
        : counter(sequenceCounter)
    {
    }

    // Waits for acknowledge and completion; the outcome does not matter to the caller.
    void send(int32_t type, const std::string &ip, int32_t param1, int32_t param2 = 0,
              int32_t param3 = 0);
    // Outputs untouched when the camera does not answer.
    bool inquirePanTilt(const std::string &ip, int32_t &pan, int32_t &tilt);
    bool inquireValue(int32_t type, const std::string &ip, int32_t &value);

private:
    using Exchange = std::function<bool(const uint8_t *datagram, uint32_t *length)>;
    bool exchange(int32_t type, int32_t param1, int32_t param2, int32_t param3, const Exchange &io);

    uint32_t &counter;
};
