#include "camera_control/viscareplyrouter.h"

#include <algorithm>

ViscaReplyRouter::Claim::Claim(ViscaReplyRouter &router, uint32_t camera, uint32_t number)
    : owner(router)
    , address(camera)
    , sequence(number)
{
    std::lock_guard<std::mutex> lock(owner.mutex);
    owner.claims.push_back(this);
}

ViscaReplyRouter::Claim::~Claim()
{
    std::lock_guard<std::mutex> lock(owner.mutex);
    owner.claims.remove(this);
}

bool ViscaReplyRouter::Claim::next(Clock::time_point deadline, Datagram &datagram)
{
    std::unique_lock<std::mutex> lock(owner.mutex);
    if (!owner.arrived.wait_until(lock, deadline, [this] { return !inbox.empty(); }))
        return false;
    datagram = std::move(inbox.front());
    inbox.pop_front();
    return true;
}

bool ViscaReplyRouter::sequenceOf(const uint8_t *bytes, size_t size, uint32_t &sequence)
{
    if (size < 8)
        return false;
    sequence = (uint32_t(bytes[4]) << 24) | (uint32_t(bytes[5]) << 16) | (uint32_t(bytes[6]) << 8) |
               uint32_t(bytes[7]);
    return true;
}

bool ViscaReplyRouter::deliver(uint32_t address, const uint8_t *bytes, size_t size)
{
    uint32_t sequence = 0;
    if (!sequenceOf(bytes, size, sequence))
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto claim = std::find_if(claims.begin(), claims.end(), [&](const Claim *c) {
            return c->address == address && c->sequence == sequence;
        });
        if (claim == claims.end())
            return false;
        (*claim)->inbox.emplace_back(bytes, bytes + size);
    }
    arrived.notify_all();
    return true;
}
