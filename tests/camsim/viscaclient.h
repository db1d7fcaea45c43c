#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "camera_control/viscacommandfactory.h"

// A controller's end of the wire that shows every reply with its arrival time, where the
// program's own socket would drop what it does not expect.
class ViscaClient
{
public:
    using Clock = std::chrono::steady_clock;

    struct Reply
    {
        std::vector<uint8_t> bytes;
        Clock::time_point arrival;
        // Bytes 8 onward, the VISCA message.
        std::vector<uint8_t> message() const
        {
            return bytes.size() > 8 ? std::vector<uint8_t>(bytes.begin() + 8, bytes.end())
                                    : std::vector<uint8_t>();
        }
    };

    explicit ViscaClient(const std::string &address)
        : fd(socket(AF_INET, SOCK_DGRAM, 0))
    {
        camera.sin_family = AF_INET;
        camera.sin_port = htons(52381);
        inet_pton(AF_INET, address.c_str(), &camera.sin_addr);
    }
    ~ViscaClient() { close(fd); }
    ViscaClient(const ViscaClient &) = delete;
    ViscaClient &operator=(const ViscaClient &) = delete;

    // A datagram as the program encodes it.
    static std::vector<uint8_t> encode(int32_t type, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0,
                                       uint32_t sequence = 1)
    {
        return VISCACommandFactory::instance().encode(type, p1, p2, p3, sequence);
    }

    Clock::time_point send(const std::vector<uint8_t> &bytes)
    {
        sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&camera),
               sizeof camera);
        return Clock::now();
    }

    // Every reply that arrives within the time.
    std::vector<Reply> receive(std::chrono::milliseconds within)
    {
        std::vector<Reply> replies;
        const Clock::time_point deadline = Clock::now() + within;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd waiting{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&waiting, 1, int(left.count())) <= 0)
                return replies;
            uint8_t buffer[256];
            const ssize_t size = recv(fd, buffer, sizeof buffer, 0);
            if (size > 0)
                replies.push_back({{buffer, buffer + size}, Clock::now()});
        }
    }

private:
    int fd;
    sockaddr_in camera{};
};
