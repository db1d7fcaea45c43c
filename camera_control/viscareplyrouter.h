#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <mutex>
#include <vector>

// Hands each datagram that arrives on the shared VISCA socket to the one exchange waiting
// for it: the exchange that sent to the datagram's sender with the sequence number the
// datagram carries in bytes 4-7 (cameras echo it). Anything else (a late completion, a
// reply to an exchange that gave up, a stray) is dropped, so exchanges to different cameras,
// from different threads, run side by side without taking each other's replies.
class ViscaReplyRouter
{
public:
    using Clock = std::chrono::steady_clock;
    using Datagram = std::vector<uint8_t>;

    // One exchange's claim on its replies, from construction to destruction.
    class Claim
    {
    public:
        Claim(ViscaReplyRouter &router, uint32_t camera, uint32_t number);
        ~Claim();
        Claim(const Claim &) = delete;
        Claim &operator=(const Claim &) = delete;

        // The next reply, waiting until the deadline; false when none came by then.
        bool next(Clock::time_point deadline, Datagram &datagram);

    private:
        friend class ViscaReplyRouter;
        ViscaReplyRouter &owner;
        uint32_t address; // IPv4, network byte order
        uint32_t sequence;
        std::deque<Datagram> inbox;
    };

    // Bytes 4-7 of a VISCA-over-IP datagram, big-endian; false when the datagram is too short.
    static bool sequenceOf(const uint8_t *bytes, size_t size, uint32_t &sequence);

    // Called by the receiving thread for every datagram; false when nobody claimed it.
    bool deliver(uint32_t address, const uint8_t *bytes, size_t size);

private:
    std::mutex mutex; // guards claims and every claim's inbox
    std::condition_variable arrived;
    std::list<Claim *> claims;
};
