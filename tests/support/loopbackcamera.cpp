#include "support/loopbackcamera.h"

#include "tools/camsim/loopbacksocket.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

using LoopbackSocket::Type;
using Kind = ViscaWire::Kind;

LoopbackCamera::LoopbackCamera(const std::string &address, uint16_t port)
    : ownAddress(address)
    , fd(LoopbackSocket::open(Type::Udp, address, port))
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
    for (auto &other : otherSockets)
        LoopbackSocket::close(other.second);
    LoopbackSocket::close(fd);
    LoopbackSocket::close(wakeFd);
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

LoopbackCamera::Responder LoopbackCamera::promptResponder(uint16_t pan, uint16_t tilt,
                                                          uint16_t value)
{
    return [=](const Datagram &datagram) -> std::vector<Reply> {
        const Kind kind = ViscaWire::parse(datagram.bytes).kind;
        if (kind == Kind::PanTiltInquiry)
            return {panTiltPosition(datagram, pan, tilt)};
        if (kind == Kind::FocusInquiry || kind == Kind::ZoomInquiry)
            return {valuePosition(datagram, value)};
        if (kind == Kind::Unknown)
            return {{ViscaWire::syntaxError(datagram.sequence()), {}, {}}};
        return {acknowledge(datagram), completion(datagram)};
    };
}

void LoopbackCamera::run()
{
    for (int waitMs = -1;; waitMs = sendDue()) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        ::poll(fds, 2, waitMs);
        if (fds[1].revents & POLLIN)
            return;
        Datagram datagram;
        sockaddr_in sender{};
        if ((fds[0].revents & POLLIN) && LoopbackSocket::receive(fd, datagram.bytes, sender)) {
            datagram.arrival = Clock::now();
            datagram.senderAddress = LoopbackSocket::addressOf(sender);
            datagram.senderPort = ntohs(sender.sin_port);
            answer(datagram, sender);
        }
    }
}

void LoopbackCamera::answer(const Datagram &datagram, const sockaddr_in &sender)
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
        pending.emplace(datagram.arrival + reply.delay, Pending{std::move(reply), sender});
}

int LoopbackCamera::sendDue()
{
    std::vector<Pending> due;
    int waitMs = -1;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto firstLater = pending.upper_bound(Clock::now());
        for (auto it = pending.begin(); it != firstLater; ++it)
            due.push_back(std::move(it->second));
        pending.erase(pending.begin(), firstLater);
        if (!pending.empty()) {
            const auto wait = pending.begin()->first - Clock::now();
            waitMs = std::max(0, int(std::chrono::ceil<milliseconds>(wait).count()));
        }
    }
    for (const Pending &reply : due)
        LoopbackSocket::sendTo(socketFor(reply.reply.fromAddress), reply.reply.bytes, reply.to);
    return waitMs;
}

int LoopbackCamera::socketFor(const std::string &fromAddress)
{
    if (fromAddress.empty() || fromAddress == ownAddress)
        return fd;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = otherSockets.find(fromAddress);
    if (found == otherSockets.end())
        found = otherSockets.emplace(fromAddress, LoopbackSocket::open(Type::Udp, fromAddress, 0))
                    .first;
    return found->second;
}
