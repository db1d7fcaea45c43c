#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The camera's side of VISCA over IP, shared by the simulator and the test cameras: what a
// datagram from the controller asks for, and the bytes of the replies a camera sends back.
namespace ViscaWire {

enum class Kind {
    Unknown, // anything a camera does not understand: answered with a syntax error
    SequenceReset,
    PanTiltDrive, // includes the stop, directions 3 and 3
    PanTiltAbsolute,
    PanTiltRelative,
    ZoomDrive,
    ZoomDirect,
    FocusDrive,
    FocusDirect,
    FocusMode,
    Preset,
    PanTiltInquiry,
    ZoomInquiry,
    FocusInquiry,
    BlockInquiry,
};

struct Request
{
    Kind kind = Kind::Unknown;
    uint32_t sequence = 0;
    uint8_t panSpeed = 0;
    uint8_t tiltSpeed = 0;
    uint8_t panDirection = 3;  // 1 left, 2 right, 3 none
    uint8_t tiltDirection = 3; // 1 up, 2 down, 3 none
    uint8_t drive = 0;         // zoom or focus drive byte, focus mode, preset action
    uint8_t presetNumber = 0;
    uint16_t first = 0;  // pan position, zoom or focus position
    uint16_t second = 0; // tilt position
};

constexpr size_t HeaderSize = 8;
constexpr uint16_t ReplyType = 0x0111;
constexpr uint16_t ControlReplyType = 0x0201;

Request parse(const uint8_t *data, size_t size);
inline Request parse(const std::vector<uint8_t> &datagram)
{
    return parse(datagram.data(), datagram.size());
}
// Bytes 4 to 7 of the header; 0 for a datagram too short to have them.
uint32_t sequenceOf(const uint8_t *data, size_t size);

// Header (type, payload length, the answered sequence number) and message.
std::vector<uint8_t> frame(uint32_t sequence, const std::vector<uint8_t> &message,
                           uint16_t payloadType = ReplyType);
std::vector<uint8_t> acknowledge(uint32_t sequence);
std::vector<uint8_t> completion(uint32_t sequence);
std::vector<uint8_t> cancelled(uint32_t sequence);
std::vector<uint8_t> syntaxError(uint32_t sequence);
std::vector<uint8_t> sequenceResetReply(uint32_t sequence);
// 90 50 followed by the nibbles of each value, then FF.
std::vector<uint8_t> positions(uint32_t sequence, const std::vector<uint16_t> &values);
// A 16-bit position as four bytes of one nibble each, most significant first.
std::vector<uint8_t> nibbles(uint16_t value);

} // namespace ViscaWire
