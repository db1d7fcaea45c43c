#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A VISCA-over-IP camera on a loopback address (any 127.x.y.z, UDP port 52381 by default).
// It records every datagram with its arrival time and answers as the test scripts it:
// first from the queue of scripted answers (one entry per received datagram), then from
// the responder if one is installed, otherwise it stays silent.
class LoopbackCamera
{
public:
    using Clock = std::chrono::steady_clock;

    struct Datagram
    {
        std::vector<uint8_t> bytes;
        Clock::time_point arrival;
        std::string senderAddress;
        uint16_t senderPort = 0;

        uint32_t sequence() const; // bytes 4-7, big-endian; 0 when shorter
    };

    // One datagram sent back to the sender of the datagram being answered.
    struct Reply
    {
        std::vector<uint8_t> bytes;
        std::chrono::milliseconds delay{0}; // after the answered datagram arrived
        std::string fromAddress;            // empty: the camera's own address
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
    bool waitForDatagrams(size_t count, std::chrono::milliseconds timeout) const;
    void clearReceived();

    // Reply framing: type 01 11, payload length, the answered datagram's sequence number.
    static std::vector<uint8_t> frame(uint32_t sequence, const std::vector<uint8_t> &message);
    static Reply acknowledge(const Datagram &to, std::chrono::milliseconds delay = {});
    static Reply completion(const Datagram &to, std::chrono::milliseconds delay = {});
    static Reply panTiltPosition(const Datagram &to, uint16_t pan, uint16_t tilt,
                                 std::chrono::milliseconds delay = {});
    static Reply valuePosition(const Datagram &to, uint16_t value,
                               std::chrono::milliseconds delay = {});
    // The nibble bytes of a 16-bit position, most significant first.
    static std::vector<uint8_t> nibbles(uint16_t value);

    // An idle camera answering at once: acknowledge and completion for commands, the given
    // positions for pan-tilt inquiries (06 12) and focus or zoom inquiries (04 48, 04 47).
    static Responder promptResponder(uint16_t pan, uint16_t tilt, uint16_t value);

private:
    struct Pending
    {
        Clock::time_point due;
        Reply reply;
        std::string toAddress;
        uint16_t toPort = 0;
    };

    void run();
    void receiveOne();
    void answer(const Datagram &datagram);
    void sendDue();
    int pollTimeoutMs() const;
    void sendReply(const Pending &pending);
    int socketFor(const std::string &fromAddress);

    std::string ownAddress;
    int fd = -1;
    int wakeFd = -1;

    mutable std::mutex mutex; // guards everything below
    std::deque<std::vector<Reply>> scripted;
    Responder responder;
    std::vector<Datagram> log;
    std::vector<Pending> pending;
    std::vector<std::pair<std::string, int>> otherSockets; // sockets for foreign sources

    std::thread thread;
};
