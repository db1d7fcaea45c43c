#include "camera_control/viscasocket.h"

#include <QDebug>

#include <arpa/inet.h>
#include <chrono>
#include <netdb.h>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Datagram = ViscaReplyRouter::Datagram;

constexpr uint32_t AcknowledgeSize = 11;
constexpr uint32_t PanTiltReplySize = 19;
constexpr uint32_t ValueReplySize = 15;
constexpr uint8_t ReplyAddress = 0x90;
constexpr uint8_t Acknowledge = 0x41;
constexpr uint8_t Completion = 0x51;
constexpr uint8_t InquiryAnswer = 0x50;
constexpr uint8_t Terminator = 0xFF;

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

bool isReply(const Datagram &d, uint8_t kind)
{
    return d.size() >= AcknowledgeSize && d[8] == ReplyAddress && d[9] == kind &&
           d[10] == Terminator;
}

bool isAnswer(const Datagram &d, uint32_t expectedSize)
{
    return d.size() == expectedSize && d[8] == ReplyAddress && d[9] == InquiryAnswer &&
           d.back() == Terminator;
}

int64_t position(const Datagram &d, int offset)
{
    int64_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value * 16 + d[size_t(offset + i)];
    return value;
}

} // namespace

// One exchange with one camera: its resolved address, its claim on the replies that carry
// its sequence number, and the datagram to send (once more when a wait stays empty).
class ViscaExchange
{
public:
    ViscaExchange(VISCASocket &socket, const uint8_t *datagram, uint32_t size,
                  const sockaddr_in &camera)
        : fd(socket.socket)
        , buffer(datagram)
        , length(size)
        , target(camera)
        , claim(socket.router, camera.sin_addr.s_addr, sequenceOf(datagram, size))
    {
    }

    bool send() const
    {
        const ssize_t sent = ::sendto(fd, buffer, length, 0,
                                      reinterpret_cast<const sockaddr *>(&target), sizeof target);
        return sent == ssize_t(length);
    }

    // The next reply within windowMs; its size goes to *lastSize (0 when none came).
    std::optional<Datagram> receiveWait(int windowMs, uint32_t *lastSize)
    {
        Datagram reply;
        if (!claim.next(Clock::now() + std::chrono::milliseconds(windowMs), reply)) {
            *lastSize = 0;
            return std::nullopt;
        }
        *lastSize = uint32_t(reply.size());
        return reply;
    }

    // Sends, then waits up to limitMs for an answer of exactly answerSize bytes.
    std::optional<Datagram> inquire(uint32_t answerSize, int limitMs, uint32_t *lastSize)
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
        do {
            const std::optional<Datagram> reply = receiveWait(limitMs, lastSize);
            if (reply && isAnswer(*reply, answerSize))
                return reply;
        } while (Clock::now() < deadline);
        return std::nullopt;
    }

private:
    static uint32_t sequenceOf(const uint8_t *buffer, uint32_t length)
    {
        uint32_t sequence = 0;
        ViscaReplyRouter::sequenceOf(buffer, length, sequence);
        return sequence;
    }

    const int fd;
    const uint8_t *buffer;
    const uint32_t length;
    const sockaddr_in target;
    ViscaReplyRouter::Claim claim;
};

namespace {

// Resolves, claims and sends; false when the address does not resolve or the send is short.
bool startExchange(VISCASocket *socket, const uint8_t *buffer, uint32_t length,
                   const std::string &address, std::optional<ViscaExchange> &exchange)
{
    sockaddr_in target{};
    if (!resolve(address, &target))
        return false;
    exchange.emplace(*socket, buffer, length, target);
    return exchange->send();
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
    receiver = std::thread([this] { receiveLoop(); });
}

VISCASocket::~VISCASocket()
{
    closing = true;
    if (receiver.joinable())
        receiver.join();
    if (started)
        ::close(socket);
}

// Each receive returns within 51 ms, so the loop notices `closing` promptly.
void VISCASocket::receiveLoop()
{
    uint8_t bytes[ReplyBufferSize];
    while (!closing) {
        sockaddr_in sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t size = ::recvfrom(socket, bytes, sizeof bytes, 0,
                                        reinterpret_cast<sockaddr *>(&sender), &senderSize);
        if (size > 0)
            router.deliver(sender.sin_addr.s_addr, bytes, size_t(size));
    }
}

bool VISCASocket::sendCommand(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                              const std::string &address, const bool *waitAck,
                              const bool *waitCompletion)
{
    std::optional<ViscaExchange> exchange;
    if (!startExchange(socket, buffer, *length, address, exchange))
        return false;
    if (!*waitAck && !*waitCompletion)
        return true;

    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(CommandWindowMs);
    do {
        const std::optional<Datagram> reply = exchange->receiveWait(CommandWindowMs, length);
        if (!reply) {
            // Lost on the way there or back: one more try with the very same datagram.
            exchange->send();
        } else if (isReply(*reply, *waitAck ? Acknowledge : Completion)) {
            if (!(*waitAck && *waitCompletion))
                return true;
            const std::optional<Datagram> done = exchange->receiveWait(CommandWindowMs, length);
            if (done && isReply(*done, Completion))
                return true;
        }
    } while (Clock::now() < deadline);
    return true;
}

bool VISCASocket::inquirePanTilt(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                                 const std::string &address, int64_t *pan, int64_t *tilt)
{
    std::optional<ViscaExchange> exchange;
    if (!startExchange(socket, buffer, *length, address, exchange))
        return false;
    const std::optional<Datagram> answer =
        exchange->inquire(PanTiltReplySize, PanTiltLimitMs, length);
    if (!answer) {
        qDebug("Inquiry no response");
        return false;
    }
    *pan = position(*answer, 10);
    *tilt = position(*answer, 14);
    return true;
}

bool VISCASocket::inquireValue(VISCASocket *socket, const uint8_t *buffer, uint32_t *length,
                               const std::string &address, int64_t *value)
{
    std::optional<ViscaExchange> exchange;
    if (!startExchange(socket, buffer, *length, address, exchange))
        return false;
    const std::optional<Datagram> answer = exchange->inquire(ValueReplySize, ValueLimitMs, length);
    if (!answer)
        return false;
    *value = position(*answer, 10);
    return true;
}
