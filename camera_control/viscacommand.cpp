#include "camera_control/viscacommand.h"

namespace {

constexpr uint8_t Terminator = 0xFF;
// Camera address and message kind bytes ahead of the body count into the payload length.
constexpr uint32_t AddressAndKindSize = 2;
constexpr uint32_t HeaderSize = 8;

void putBigEndian(uint8_t *out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = uint8_t(value >> (8 * (bytes - 1 - i)));
}

struct Nibbles
{
    int32_t value;
};

// The command bytes from byte 10 on, without the terminator.
class Body
{
public:
    Body &operator<<(int32_t byte)
    {
        bytes[size++] = uint8_t(byte);
        return *this;
    }
    // A 16-bit position as four one-nibble bytes, most significant first.
    Body &operator<<(Nibbles position)
    {
        for (int shift = 12; shift >= 0; shift -= 4)
            *this << ((position.value >> shift) & 0x0F);
        return *this;
    }

    uint8_t bytes[VISCACommand::MaxDatagramSize] = {};
    uint32_t size = 0;
};

int32_t lowByte(int32_t value)
{
    return value & 0xFF;
}

} // namespace

bool VISCACommand::encode(uint8_t *buffer, uint32_t * /*length*/, const uint32_t *sequenceCounter)
{
    buffer[0] = 0x01;
    buffer[1] = isInquiry ? 0x10 : 0x00;
    putBigEndian(buffer + 4, *sequenceCounter, 4);
    buffer[8] = 0x81;
    buffer[9] = isInquiry ? 0x09 : 0x01;
    return true;
}

bool VISCACommand::encodeMessage(uint8_t *buffer, uint32_t *length, const uint32_t *sequenceCounter,
                                 const uint8_t *body, uint32_t bodySize)
{
    VISCACommand::encode(buffer, length, sequenceCounter);
    const uint32_t payloadLength = AddressAndKindSize + bodySize + 1;
    putBigEndian(buffer + 2, payloadLength, 2);
    for (uint32_t i = 0; i < bodySize; ++i)
        buffer[HeaderSize + AddressAndKindSize + i] = body[i];
    buffer[HeaderSize + AddressAndKindSize + bodySize] = Terminator;
    *length = HeaderSize + payloadLength;
    return true;
}

#define TREVALO_ENCODE(Name, bodyExpression)                                                       \
    bool Name::encode(uint8_t *buffer, uint32_t *length, const uint32_t *sequenceCounter)          \
    {                                                                                              \
        Body body;                                                                                 \
        body << bodyExpression;                                                                    \
        return encodeMessage(buffer, length, sequenceCounter, body.bytes, body.size);              \
    }

TREVALO_ENCODE(BlockInquiry, 0x7E << 0x7E << 0xEE)
TREVALO_ENCODE(Preset, 0x04 << 0x3F << param1 / 16 << param1 % 16)
TREVALO_ENCODE(Zoom, 0x04 << 0x07 << lowByte(param1))
TREVALO_ENCODE(PanTilt,
               0x06 << 0x01 << lowByte(param2) << lowByte(param3) << param1 / 16 << param1 % 16)
TREVALO_ENCODE(Focus, 0x04 << 0x08 << lowByte(param1))
TREVALO_ENCODE(FocusMode, 0x04 << 0x38 << lowByte(param1))
TREVALO_ENCODE(PanTiltAbsCmd, 0x06 << 0x02 << (param1 >> 8) << lowByte(param1) << Nibbles{param2}
                                   << Nibbles{param3})
TREVALO_ENCODE(PanTiltRelCmd, 0x06 << 0x03 << (param1 >> 8) << lowByte(param1) << Nibbles{param2}
                                   << Nibbles{param3})
TREVALO_ENCODE(PanTiltInq, 0x06 << 0x12)
TREVALO_ENCODE(FocusInq, 0x04 << 0x48)
TREVALO_ENCODE(ZoomInq, 0x04 << 0x47)
TREVALO_ENCODE(FocusDirectCmd, 0x04 << 0x48 << Nibbles{param2})
TREVALO_ENCODE(ZoomDirectCmd, 0x04 << 0x47 << Nibbles{param2})
TREVALO_ENCODE(PanTiltStop, 0x06 << 0x01 << 0x00 << 0x00 << 0x03 << 0x03)

#undef TREVALO_ENCODE
