#include "camera_control/viscasocket.h"

#include <QDebug>

#include <arpa/inet.h>
#include <chrono>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t AcknowledgeSize = 11;
constexpr uint32_t PanTiltReplySize = 19;
constexpr uint32_t ValueReplySize = 15;
constexpr uint8_t ReplyAddress = 0x90;
constexpr uint8_t Acknowledge = 0x41;
constexpr uint8_t Completion = 0x51;
constexpr uint8_t InquiryAnswer = 0x50;
constexpr uint8_t Terminator = 0xFF;

int64_t elapsedMs(Clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

bool resolve(const std::string &address, sockaddr_in *target)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (address.empty() || getaddrinfo(address.c_str(), nullptr, &hints, &found) != 0)
        return false;
    for (const addrinfo *entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            *target = *reinterpret_cast<const sockaddr_in *>(entry->ai_addr);
            target->sin_port = htons(VISCASocket::Port);
            freeaddrinfo(found);
            return true;
        }
    }
    freeaddrinfo(found);
    return false;
}

bool sendTo(int socket, const uint8_t *buffer, uint32_t length, const sockaddr_in &target)
{
    const ssize_t sent = ::sendto(socket, buffer, length, 0,
                                  reinterpret_cast<const sockaddr *>(&target), sizeof target);
    return sent == ssize_t(length);
}

// One datagram taken off the socket during an exchange.
struct Received
{
    uint32_t size = 0;
    bool fromTarget = false;
    uint8_t bytes[VISCASocket::ReplyBufferSize];

    bool isReply(uint8_t kind) const
    {
        return fromTarget && size >= AcknowledgeSize && bytes[8] == ReplyAddress &&
               bytes[9] == kind && bytes[10] == Terminator;
    }
    bool isAnswer(uint32_t expectedSize) const
    {
        return fromTarget && size == expectedSize && bytes[8] == ReplyAddress &&
               bytes[9] == InquiryAnswer && bytes[size - 1] == Terminator;
    }
    int64_t position(int offset) const
    {
        int64_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value * 16 + bytes[offset + i];
        return value;
    }
};

// Receives until a non-empty datagram arrives or the window has passed. Every receive
// offers the whole buffer, so a stray short datagram never cuts the next reply short.
// The socket is shared with another thread, so a datagram from another sender is kept
// (and later dropped as not matching) rather than taken for the camera's answer.
void receiveWait(int socket, int windowMs, const sockaddr_in &target, Received *received)
{
    const Clock::time_point start = Clock::now();
    received->size = 0;
    do {
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t size = ::recvfrom(socket, received->bytes, sizeof received->bytes, 0,
                                        reinterpret_cast<sockaddr *>(&sender), &senderSize);
        if (size > 0) {
            received->size = uint32_t(size);
            received->fromTarget = sender.sin_addr.s_addr == target.sin_addr.s_addr;
            return;
        }
    } while (elapsedMs(start) < windowMs);
}

// Sends an inquiry and waits up to limitMs for an answer of exactly answerSize bytes;
// timeoutLog, when given, is logged if none came.
bool inquire(int fd, const uint8_t *buffer, uint32_t *length, const std::string &address,
             uint32_t answerSize, int limitMs, const char *timeoutLog, Received *received)
{
    sockaddr_in target{};
    if (!resolve(address, &target) || !sendTo(fd, buffer, *length, target))
        return false;
    const Clock::time_point start = Clock::now();
    do {
        receiveWait(fd, limitMs, target, received);
        *length = received->size;
        if (received->isAnswer(answerSize))
            return true;
    } while (elapsedMs(start) < limitMs);
    if (timeoutLog)
        qDebug("%s", timeoutLog);
    return false;
}

} // namespace

VISCASocket &VISCASocket::instance()
{
    static VISCASocket socket;
    return socket;
}

VISCASocket::VISCASocket()
{
    // POSIX sockets need no layer start-up; the socket's creation stands in for it.
    socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    started = socket >= 0;
    if (!started)
        return;
    timeval timeout{};
    timeout.tv_usec = ReceiveTimeoutMs * 1000;
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

VISCASocket::~VISCASocket()
{
    if (started)
        ::close(socket);
}

bool VISCASocket::sendCommand(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                              const std::string &address, const bool *waitAck,
                              const bool *waitCompletion)
{
    sockaddr_in target{};
    const uint32_t commandSize = *length;
    if (!resolve(address, &target) || !sendTo(socket->socket, buffer, commandSize, target))
        return false;
    if (!*waitAck && !*waitCompletion)
        return true;

    Received received;
    const Clock::time_point start = Clock::now();
    do {
        receiveWait(socket->socket, CommandWindowMs, target, &received);
        *length = received.size;
        if (received.size == 0) {
            // Lost on the way there or back: one more try with the very same datagram.
            sendTo(socket->socket, buffer, commandSize, target);
        } else if (received.isReply(*waitAck ? Acknowledge : Completion)) {
            if (!(*waitAck && *waitCompletion))
                return true;
            receiveWait(socket->socket, CommandWindowMs, target, &received);
            *length = received.size;
            if (received.isReply(Completion))
                return true;
        }
    } while (elapsedMs(start) < CommandWindowMs);
    return true;
}

bool VISCASocket::inquirePanTilt(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                                 const std::string &address, int64_t *pan, int64_t *tilt)
{
    Received received;
    if (!inquire(socket->socket, buffer, length, address, PanTiltReplySize, PanTiltLimitMs,
                 "Inquiry no response", &received))
        return false;
    *pan = received.position(10);
    *tilt = received.position(14);
    return true;
}

bool VISCASocket::inquireValue(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                               const std::string &address, int64_t *value)
{
    Received received;
    if (!inquire(socket->socket, buffer, length, address, ValueReplySize, ValueLimitMs, nullptr,
                 &received))
        return false;
    *value = received.position(10);
    return true;
}
