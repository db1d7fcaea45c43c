#include "tools/camsim/viscawire.h"

#include <algorithm>

namespace ViscaWire {

namespace {

uint16_t be16(const uint8_t *p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

uint32_t be32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Four bytes of one nibble each, most significant first; false when a byte exceeds 0x0F.
bool readNibbles(const uint8_t *p, uint16_t &value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] > 0x0F)
            return false;
        value = uint16_t((value << 4) | p[i]);
    }
    return true;
}

// The message after the address and kind bytes, without the terminator.
struct Body
{
    const uint8_t *p;
    size_t size;
    bool is(std::initializer_list<uint8_t> prefix, size_t total) const
    {
        if (size != total || prefix.size() > size)
            return false;
        size_t i = 0;
        for (uint8_t byte : prefix) {
            if (p[i++] != byte)
                return false;
        }
        return true;
    }
};

Request parseCommand(const Body &b, Request r)
{
    if (b.is({0x06, 0x01}, 6) && b.p[4] <= 3 && b.p[5] <= 3) {
        r.kind = Kind::PanTiltDrive;
        r.panSpeed = b.p[2];
        r.tiltSpeed = b.p[3];
        r.panDirection = b.p[4];
        r.tiltDirection = b.p[5];
    } else if ((b.is({0x06, 0x02}, 12) || b.is({0x06, 0x03}, 12)) &&
               readNibbles(b.p + 4, r.first) && readNibbles(b.p + 8, r.second)) {
        r.kind = b.p[1] == 0x02 ? Kind::PanTiltAbsolute : Kind::PanTiltRelative;
        r.panSpeed = b.p[2];
        r.tiltSpeed = b.p[3];
    } else if (b.is({0x04, 0x07}, 3) || b.is({0x04, 0x08}, 3) || b.is({0x04, 0x38}, 3)) {
        r.kind = b.p[1] == 0x07   ? Kind::ZoomDrive
                 : b.p[1] == 0x08 ? Kind::FocusDrive
                                  : Kind::FocusMode;
        r.drive = b.p[2];
    } else if ((b.is({0x04, 0x47}, 6) || b.is({0x04, 0x48}, 6)) && readNibbles(b.p + 2, r.first)) {
        r.kind = b.p[1] == 0x47 ? Kind::ZoomDirect : Kind::FocusDirect;
    } else if (b.is({0x04, 0x3F}, 4) && b.p[2] <= 0x0F && b.p[3] <= 0x0F) {
        r.kind = Kind::Preset;
        r.drive = b.p[2];
        r.presetNumber = b.p[3];
    }
    return r;
}

Request parseInquiry(const Body &b, Request r)
{
    if (b.is({0x06, 0x12}, 2))
        r.kind = Kind::PanTiltInquiry;
    else if (b.is({0x04, 0x47}, 2))
        r.kind = Kind::ZoomInquiry;
    else if (b.is({0x04, 0x48}, 2))
        r.kind = Kind::FocusInquiry;
    else if (b.is({0x7E, 0x7E, 0xEE}, 3))
        r.kind = Kind::BlockInquiry;
    return r;
}

} // namespace

uint32_t sequenceOf(const uint8_t *data, size_t size)
{
    return size < HeaderSize ? 0 : be32(data + 4);
}

Request parse(const uint8_t *data, size_t size)
{
    Request r;
    r.sequence = sequenceOf(data, size);
    if (size < HeaderSize + 1)
        return r;
    const uint16_t type = be16(data);
    if (be16(data + 2) != size - HeaderSize)
        return r;
    if (type == 0x0200) {
        if (size == HeaderSize + 1 && data[8] == 0x01)
            r.kind = Kind::SequenceReset;
        return r;
    }
    // Address 1, then 01 (command) or 09 (inquiry), the body, and the terminator.
    if (size < HeaderSize + 3 || data[8] != 0x81 || data[size - 1] != 0xFF)
        return r;
    const Body body{data + 10, size - HeaderSize - 3};
    if (type == 0x0100 && data[9] == 0x01)
        return parseCommand(body, r);
    if (type == 0x0110 && data[9] == 0x09)
        return parseInquiry(body, r);
    return r;
}

std::vector<uint8_t> frame(uint32_t sequence, const std::vector<uint8_t> &message,
                           uint16_t payloadType)
{
    std::vector<uint8_t> out(HeaderSize + message.size());
    const uint32_t fields[] = {payloadType, uint32_t(message.size())};
    for (int i = 0; i < 2; ++i) {
        out[size_t(2 * i)] = uint8_t(fields[i] >> 8);
        out[size_t(2 * i + 1)] = uint8_t(fields[i]);
    }
    for (int i = 0; i < 4; ++i)
        out[size_t(4 + i)] = uint8_t(sequence >> (24 - 8 * i));
    std::copy(message.begin(), message.end(), out.begin() + HeaderSize);
    return out;
}

std::vector<uint8_t> acknowledge(uint32_t sequence)
{
    return frame(sequence, {0x90, 0x41, 0xFF});
}

std::vector<uint8_t> completion(uint32_t sequence)
{
    return frame(sequence, {0x90, 0x51, 0xFF});
}

std::vector<uint8_t> cancelled(uint32_t sequence)
{
    return frame(sequence, {0x90, 0x61, 0x04, 0xFF});
}

std::vector<uint8_t> syntaxError(uint32_t sequence)
{
    return frame(sequence, {0x90, 0x60, 0x02, 0xFF});
}

std::vector<uint8_t> sequenceResetReply(uint32_t sequence)
{
    return frame(sequence, {0x01}, ControlReplyType);
}

std::vector<uint8_t> positions(uint32_t sequence, const std::vector<uint16_t> &values)
{
    std::vector<uint8_t> message{0x90, 0x50};
    for (uint16_t value : values) {
        const std::vector<uint8_t> field = nibbles(value);
        message.insert(message.end(), field.begin(), field.end());
    }
    message.push_back(0xFF);
    return frame(sequence, message);
}

std::vector<uint8_t> nibbles(uint16_t value)
{
    return {uint8_t(value >> 12 & 0x0F), uint8_t(value >> 8 & 0x0F), uint8_t(value >> 4 & 0x0F),
            uint8_t(value & 0x0F)};
}

} // namespace ViscaWire
