#include "camera_control/viscalink.h"

#include "camera_control/viscacommandfactory.h"
#include "camera_control/viscasocket.h"

uint32_t ViscaLink::takeSequence()
{
    if (sharedCounter)
        return sharedCounter->fetch_add(1);
    return (*plainCounter)++;
}

bool ViscaLink::exchange(int32_t type, int32_t param1, int32_t param2, int32_t param3,
                         const Exchange &io)
{
    const std::vector<uint8_t> datagram =
        VISCACommandFactory::instance().encode(type, param1, param2, param3, takeSequence());
    if (datagram.empty())
        return false;
    uint32_t length = uint32_t(datagram.size());
    return io(datagram.data(), &length);
}

void ViscaLink::send(int32_t type, const std::string &ip, int32_t param1, int32_t param2,
                     int32_t param3)
{
    static const bool waitAck = true;
    static const bool waitCompletion = false;
    exchange(type, param1, param2, param3, [&](const uint8_t *datagram, uint32_t *length) {
        return VISCASocket::sendCommand(&VISCASocket::instance(), datagram, length, ip, &waitAck,
                                        &waitCompletion);
    });
}

bool ViscaLink::inquirePanTilt(const std::string &ip, int32_t &pan, int32_t &tilt)
{
    int64_t reportedPan = 0;
    int64_t reportedTilt = 0;
    const bool ok = exchange(
        VISCACommandType::PanTiltInq, 0, 0, 0, [&](const uint8_t *datagram, uint32_t *length) {
            return VISCASocket::inquirePanTilt(&VISCASocket::instance(), datagram, length, ip,
                                               &reportedPan, &reportedTilt);
        });
    if (ok) {
        pan = static_cast<int32_t>(reportedPan);
        tilt = static_cast<int32_t>(reportedTilt);
    }
    return ok;
}

bool ViscaLink::inquireValue(int32_t type, const std::string &ip, int32_t &value)
{
    int64_t reported = 0;
    const bool ok = exchange(type, 0, 0, 0, [&](const uint8_t *datagram, uint32_t *length) {
        return VISCASocket::inquireValue(&VISCASocket::instance(), datagram, length, ip, &reported);
    });
    if (ok)
        value = static_cast<int32_t>(reported);
    return ok;
}
