#pragma once

#include <cstdint>
#include <memory>

// Type ids that select a command class through VISCACommandFactory::create.
namespace VISCACommandType {
enum Id : int32_t {
    BlockInquiry = 0,
    Preset = 1,
    Zoom = 2,
    PanTilt = 3,
    Focus = 4,
    FocusMode = 5,
    PanTiltAbsCmd = 6,
    PanTiltRelCmd = 7,
    PanTiltInq = 8,
    FocusInq = 9,
    ZoomInq = 10,
    FocusDirectCmd = 11,
    ZoomDirectCmd = 12,
    PanTiltStop = 13,
};
}

// One VISCA-over-IP datagram: the 8-byte header and a VISCA message ending in 0xFF.
// Encoding is pure; the caller owns the buffer and the sequence counter.
class VISCACommand
{
public:
    // Largest datagram any command writes; callers' buffers hold at least this.
    static constexpr uint32_t MaxDatagramSize = 23;

    virtual ~VISCACommand() = default;

    // Writes the datagram at the start of buffer and its size through length. The base
    // class writes only the header bytes that every datagram shares.
    virtual bool encode(uint8_t *buffer, uint32_t *length, const uint32_t *sequenceCounter);

    bool isInquiry = false;
    int32_t param1 = 0;
    int32_t param2 = 0;
    int32_t param3 = 0;

protected:
    // Header, payload length, body from byte 10, terminator and size in one go.
    bool encodeMessage(uint8_t *buffer, uint32_t *length, const uint32_t *sequenceCounter,
                       const uint8_t *body, uint32_t bodySize);
};

#define TREVALO_VISCA_COMMAND(Name)                                                                \
    class Name : public VISCACommand                                                               \
    {                                                                                              \
    public:                                                                                        \
        bool encode(uint8_t *buffer, uint32_t *length, const uint32_t *sequenceCounter) override;  \
    };

TREVALO_VISCA_COMMAND(BlockInquiry)
TREVALO_VISCA_COMMAND(Preset)
TREVALO_VISCA_COMMAND(Zoom)
TREVALO_VISCA_COMMAND(PanTilt)
TREVALO_VISCA_COMMAND(Focus)
TREVALO_VISCA_COMMAND(FocusMode)
TREVALO_VISCA_COMMAND(PanTiltAbsCmd)
TREVALO_VISCA_COMMAND(PanTiltRelCmd)
TREVALO_VISCA_COMMAND(PanTiltInq)
TREVALO_VISCA_COMMAND(FocusInq)
TREVALO_VISCA_COMMAND(ZoomInq)
TREVALO_VISCA_COMMAND(FocusDirectCmd)
TREVALO_VISCA_COMMAND(ZoomDirectCmd)
TREVALO_VISCA_COMMAND(PanTiltStop)

#undef TREVALO_VISCA_COMMAND
