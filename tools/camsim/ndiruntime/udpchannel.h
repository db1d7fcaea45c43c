#pragma once

#include <cstdint>
#include <string>

// A UDP socket tied to one loopback endpoint of the simulator, for request and answer.
class UdpChannel
{
public:
    UdpChannel(const std::string &address, uint16_t port);
    ~UdpChannel();
    UdpChannel(const UdpChannel &) = delete;
    UdpChannel &operator=(const UdpChannel &) = delete;

    // Sends the request and waits up to timeoutMs for one answer; answers left over from
    // an earlier request that timed out are dropped first.
    bool query(const std::string &request, std::string &answer, int timeoutMs);

private:
    int fd = -1;
};
