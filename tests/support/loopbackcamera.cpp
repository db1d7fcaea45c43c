#include "support/loopbackcamera.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

sockaddr_in socketAddress(const std::string &address, uint16_t port)
{
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &result.sin_addr);
    return result;
}

int boundSocket(const std::string &address, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in local = socketAddress(address, port);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

LoopbackCamera::Reply message(const LoopbackCamera::Datagram &to, const std::vector<uint8_t> &bytes,
                              milliseconds delay)
{
    return {LoopbackCamera::frame(to.sequence(), bytes), delay, {}};
}

bool startsWith(const std::vector<uint8_t> &bytes, std::initializer_list<uint8_t> prefix)
{
    return bytes.size() >= 10 + prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin() + 10);
}

} // namespace

uint32_t LoopbackCamera::Datagram::sequence() const
{
    if (bytes.size() < 8)
        return 0;
    return uint32_t(bytes[4]) << 24 | uint32_t(bytes[5]) << 16 | uint32_t(bytes[6]) << 8 | bytes[7];
}

LoopbackCamera::LoopbackCamera(const std::string &address, uint16_t port)
    : ownAddress(address)
    , fd(boundSocket(address, port))
    , wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (fd >= 0)
        thread = std::thread([this] { run(); });
}

LoopbackCamera::~LoopbackCamera()
{
    if (thread.joinable()) {
        const uint64_t one = 1;
        (void)!::write(wakeFd, &one, sizeof one);
        thread.join();
    }
    for (const auto &other : otherSockets)
        ::close(other.second);
    if (fd >= 0)
        ::close(fd);
    ::close(wakeFd);
}

void LoopbackCamera::script(std::vector<Reply> replies)
{
    std::lock_guard<std::mutex> lock(mutex);
    scripted.push_back(std::move(replies));
}

void LoopbackCamera::setResponder(Responder newResponder)
{
    std::lock_guard<std::mutex> lock(mutex);
    responder = std::move(newResponder);
}

std::vector<LoopbackCamera::Datagram> LoopbackCamera::received() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

size_t LoopbackCamera::receivedCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return log.size();
}

bool LoopbackCamera::waitForDatagrams(size_t count, milliseconds timeout) const
{
    const Clock::time_point end = Clock::now() + timeout;
    while (receivedCount() < count) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

void LoopbackCamera::clearReceived()
{
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

std::vector<uint8_t> LoopbackCamera::frame(uint32_t sequence, const std::vector<uint8_t> &message)
{
    std::vector<uint8_t> bytes = {0x01,
                                  0x11,
                                  uint8_t(message.size() >> 8),
                                  uint8_t(message.size()),
                                  uint8_t(sequence >> 24),
                                  uint8_t(sequence >> 16),
                                  uint8_t(sequence >> 8),
                                  uint8_t(sequence)};
    bytes.insert(bytes.end(), message.begin(), message.end());
    return bytes;
}

LoopbackCamera::Reply LoopbackCamera::acknowledge(const Datagram &to, milliseconds delay)
{
    return message(to, {0x90, 0x41, 0xFF}, delay);
}

LoopbackCamera::Reply LoopbackCamera::completion(const Datagram &to, milliseconds delay)
{
    return message(to, {0x90, 0x51, 0xFF}, delay);
}

std::vector<uint8_t> LoopbackCamera::nibbles(uint16_t value)
{
    return {uint8_t(value >> 12 & 0x0F), uint8_t(value >> 8 & 0x0F), uint8_t(value >> 4 & 0x0F),
            uint8_t(value & 0x0F)};
}

LoopbackCamera::Reply LoopbackCamera::panTiltPosition(const Datagram &to, uint16_t pan,
                                                      uint16_t tilt, milliseconds delay)
{
    std::vector<uint8_t> bytes = {0x90, 0x50};
    for (uint16_t position : {pan, tilt}) {
        const std::vector<uint8_t> field = nibbles(position);
        bytes.insert(bytes.end(), field.begin(), field.end());
    }
    bytes.push_back(0xFF);
    return message(to, bytes, delay);
}

LoopbackCamera::Reply LoopbackCamera::valuePosition(const Datagram &to, uint16_t value,
                                                    milliseconds delay)
{
    std::vector<uint8_t> bytes = {0x90, 0x50};
    const std::vector<uint8_t> field = nibbles(value);
    bytes.insert(bytes.end(), field.begin(), field.end());
    bytes.push_back(0xFF);
    return message(to, bytes, delay);
}

LoopbackCamera::Responder LoopbackCamera::promptResponder(uint16_t pan, uint16_t tilt,
                                                          uint16_t value)
{
    return [=](const Datagram &datagram) -> std::vector<Reply> {
        if (startsWith(datagram.bytes, {0x06, 0x12}))
            return {panTiltPosition(datagram, pan, tilt)};
        if (startsWith(datagram.bytes, {0x04, 0x48}) || startsWith(datagram.bytes, {0x04, 0x47}))
            return {valuePosition(datagram, value)};
        return {acknowledge(datagram), completion(datagram)};
    };
}

void LoopbackCamera::run()
{
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        ::poll(fds, 2, pollTimeoutMs());
        if (fds[1].revents & POLLIN)
            return;
        if (fds[0].revents & POLLIN)
            receiveOne();
        sendDue();
    }
}

void LoopbackCamera::receiveOne()
{
    uint8_t buffer[2048];
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    const ssize_t size = ::recvfrom(fd, buffer, sizeof buffer, 0,
                                    reinterpret_cast<sockaddr *>(&sender), &senderSize);
    if (size < 0)
        return;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &sender.sin_addr, text, sizeof text);
    Datagram datagram{{buffer, buffer + size}, Clock::now(), text, ntohs(sender.sin_port)};
    answer(datagram);
}

void LoopbackCamera::answer(const Datagram &datagram)
{
    std::unique_lock<std::mutex> lock(mutex);
    log.push_back(datagram);
    std::vector<Reply> replies;
    if (!scripted.empty()) {
        replies = std::move(scripted.front());
        scripted.pop_front();
    } else if (responder) {
        Responder current = responder;
        // The responder may take time or call back into the camera; run it unlocked.
        lock.unlock();
        replies = current(datagram);
        lock.lock();
    }
    for (Reply &reply : replies)
        pending.push_back({datagram.arrival + reply.delay, std::move(reply), datagram.senderAddress,
                           datagram.senderPort});
    std::stable_sort(pending.begin(), pending.end(),
                     [](const Pending &a, const Pending &b) { return a.due < b.due; });
}

void LoopbackCamera::sendDue()
{
    std::vector<Pending> due;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const Clock::time_point now = Clock::now();
        auto firstLater = std::find_if(pending.begin(), pending.end(),
                                       [now](const Pending &p) { return p.due > now; });
        due.assign(std::make_move_iterator(pending.begin()), std::make_move_iterator(firstLater));
        pending.erase(pending.begin(), firstLater);
    }
    for (const Pending &reply : due)
        sendReply(reply);
}

int LoopbackCamera::pollTimeoutMs() const
{
    std::lock_guard<std::mutex> lock(mutex);
    if (pending.empty())
        return -1;
    const auto wait = std::chrono::ceil<milliseconds>(pending.front().due - Clock::now());
    return int(std::max<milliseconds::rep>(0, wait.count()));
}

void LoopbackCamera::sendReply(const Pending &reply)
{
    const int from = socketFor(reply.reply.fromAddress);
    const sockaddr_in to = socketAddress(reply.toAddress, reply.toPort);
    ::sendto(from, reply.reply.bytes.data(), reply.reply.bytes.size(), 0,
             reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

int LoopbackCamera::socketFor(const std::string &fromAddress)
{
    if (fromAddress.empty() || fromAddress == ownAddress)
        return fd;
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto &other : otherSockets)
        if (other.first == fromAddress)
            return other.second;
    const int other = boundSocket(fromAddress, 0);
    otherSockets.emplace_back(fromAddress, other);
    return other;
}
