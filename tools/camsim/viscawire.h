#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The camera's side of VISCA over IP: what a received datagram asks for, and the framing of
// the replies it sends back.
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

Request parse(const uint8_t *data, size_t size);

constexpr uint16_t ReplyType = 0x0111;
constexpr uint16_t ControlReplyType = 0x0201;

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

} // namespace ViscaWire
