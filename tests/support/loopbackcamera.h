#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>

#include "tools/camsim/viscawire.h"

// A VISCA-over-IP camera on a loopback address (any 127.x.y.z, UDP port 52381 by default).
// It records every datagram with its arrival time and answers as the test scripts it:
// first from the queue of scripted answers (one entry per received datagram), then from
// the responder if one is installed, otherwise it stays silent. Replies are framed by the
// codec the camera simulator uses.
class LoopbackCamera
{
public:
    using Clock = std::chrono::steady_clock;
    using milliseconds = std::chrono::milliseconds;

    struct Datagram
    {
        std::vector<uint8_t> bytes;
        Clock::time_point arrival;
        std::string senderAddress;
        uint16_t senderPort = 0;

        // Bytes 4-7, big-endian; 0 when shorter.
        uint32_t sequence() const { return ViscaWire::sequenceOf(bytes.data(), bytes.size()); }
    };

    // One datagram sent back to the sender of the datagram being answered.
    struct Reply
    {
        std::vector<uint8_t> bytes;
        milliseconds delay{0};   // after the answered datagram arrived
        std::string fromAddress; // empty: the camera's own address
    };

    // Called on the camera's thread for every datagram the script does not answer.
    using Responder = std::function<std::vector<Reply>(const Datagram &)>;

    explicit LoopbackCamera(const std::string &address, uint16_t port = 52381);
    ~LoopbackCamera();
    LoopbackCamera(const LoopbackCamera &) = delete;
    LoopbackCamera &operator=(const LoopbackCamera &) = delete;

    bool isListening() const { return fd >= 0; }
    const std::string &address() const { return ownAddress; }

    // Answer to the next unanswered datagram (an empty list: silence for that one).
    void script(std::vector<Reply> replies);
    void setResponder(Responder responder);

    std::vector<Datagram> received() const;
    size_t receivedCount() const;
    // Waits until at least count datagrams have arrived; false on time-out.
    bool waitForDatagrams(size_t count, milliseconds timeout) const;
    void clearReceived();

    static std::vector<uint8_t> frame(uint32_t sequence, const std::vector<uint8_t> &message)
    {
        return ViscaWire::frame(sequence, message);
    }
    static Reply acknowledge(const Datagram &to, milliseconds delay = {})
    {
        return {ViscaWire::acknowledge(to.sequence()), delay, {}};
    }
    static Reply completion(const Datagram &to, milliseconds delay = {})
    {
        return {ViscaWire::completion(to.sequence()), delay, {}};
    }
    static Reply panTiltPosition(const Datagram &to, uint16_t pan, uint16_t tilt,
                                 milliseconds delay = {})
    {
        return {ViscaWire::positions(to.sequence(), {pan, tilt}), delay, {}};
    }
    static Reply valuePosition(const Datagram &to, uint16_t value, milliseconds delay = {})
    {
        return {ViscaWire::positions(to.sequence(), {value}), delay, {}};
    }
    static std::vector<uint8_t> nibbles(uint16_t value) { return ViscaWire::nibbles(value); }

    // An idle camera answering at once: acknowledge and completion for commands, the given
    // positions for pan-tilt inquiries (06 12) and focus or zoom inquiries (04 48, 04 47), a
    // syntax error for what it does not understand.
    static Responder promptResponder(uint16_t pan, uint16_t tilt, uint16_t value);

private:
    struct Pending
    {
        Reply reply;
        sockaddr_in to;
    };

    void run();
    void answer(const Datagram &datagram, const sockaddr_in &sender);
    // Sends what is due; the time until the next reply is, -1 when none waits.
    int sendDue();
    int socketFor(const std::string &fromAddress);

    std::string ownAddress;
    int fd = -1;
    int wakeFd = -1;

    mutable std::mutex mutex; // guards everything below
    std::deque<std::vector<Reply>> scripted;
    Responder responder;
    std::vector<Datagram> log;
    std::multimap<Clock::time_point, Pending> pending; // by when they are due
    std::map<std::string, int> otherSockets;           // for replies from foreign addresses

    std::thread thread;
};
