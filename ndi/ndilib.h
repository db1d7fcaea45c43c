#pragma once

// Our declarations of the part of the NDI runtime's C interface that the program uses.
// The functions are implemented by ndiloader.cpp, which loads the vendor runtime when
// NDIlib_initialize is called and forwards to it. Layouts are the runtime's (x86-64).

#include <cstddef>
#include <cstdint>

struct NdiFinderObject;
struct NdiReceiverObject;
using NdiFinderHandle = NdiFinderObject *;
using NdiReceiverHandle = NdiReceiverObject *;

// Never captured by this program; only pointers to them cross the interface.
struct NdiAudioFrame;
struct NdiMetadataFrame;

// The runtime's enums are 32 bits wide.
enum NdiFrameType : int32_t {
    NdiFrameTypeNone = 0,
    NdiFrameTypeVideo = 1,
    NdiFrameTypeAudio = 2,
    NdiFrameTypeMetadata = 3,
    NdiFrameTypeError = 4,
    NdiFrameTypeStatusChange = 100,
    NdiFrameTypeSourceChange = 101,
    NdiFrameTypeMax = 0x7fffffff
};

enum NdiColorFormat : int32_t {
    NdiColorFormatBgrxBgra = 0,
    NdiColorFormatUyvyBgra = 1,
    NdiColorFormatRgbxRgba = 2,
    NdiColorFormatUyvyRgba = 3,
    NdiColorFormatFastest = 100,
    NdiColorFormatBest = 101,
    NdiColorFormatMax = 0x7fffffff
};

enum NdiBandwidth : int32_t {
    NdiBandwidthMetadataOnly = -10,
    NdiBandwidthAudioOnly = 10,
    NdiBandwidthLowest = 0,
    NdiBandwidthHighest = 100,
    NdiBandwidthMax = 0x7fffffff
};

// Four characters, the first in the low byte.
enum NdiFourCC : uint32_t {
    NdiFourCCBgrx = 0x58524742,
    NdiFourCCBgra = 0x41524742,
    NdiFourCCUyvy = 0x59565955,
    NdiFourCCMax = 0x7fffffff
};

enum NdiFrameFormat : int32_t {
    NdiFrameFormatInterleaved = 0,
    NdiFrameFormatProgressive = 1,
    NdiFrameFormatField0 = 2,
    NdiFrameFormatField1 = 3,
    NdiFrameFormatMax = 0x7fffffff
};

struct NdiSource
{
    const char *ndiName;
    const char *urlAddress; // older runtimes call this the IP address; same type and place
};

struct NdiFindCreateSettings
{
    bool showLocalSources;
    const char *groups;   // null: no group filter
    const char *extraIps; // comma separated; null: none
};

// The runtime's defaults live only in its C++ constructors: callers fill every field.
struct NdiRecvCreateSettings
{
    NdiSource source;
    NdiColorFormat colorFormat;
    NdiBandwidth bandwidth;
    bool allowVideoFields;
    const char *receiverName;
};

struct NdiVideoFrame
{
    int32_t width;
    int32_t height;
    NdiFourCC fourCC;
    int32_t frameRateN;
    int32_t frameRateD;
    float pictureAspectRatio;
    NdiFrameFormat frameFormat;
    int64_t timecode; // 100 ns units
    uint8_t *data;
    union {
        int32_t lineStrideBytes; // may exceed width * 4
        int32_t dataSizeBytes;
    };
    const char *metadata;
    int64_t timestamp; // INT64_MAX: undefined
};

static_assert(sizeof(NdiFrameType) == 4 && sizeof(NdiFourCC) == 4, "enums are 32-bit");
static_assert(sizeof(NdiSource) == 16, "source record layout");
static_assert(sizeof(NdiFindCreateSettings) == 24 &&
                  offsetof(NdiFindCreateSettings, extraIps) == 16,
              "find-create record layout");
static_assert(sizeof(NdiRecvCreateSettings) == 40 &&
                  offsetof(NdiRecvCreateSettings, colorFormat) == 16 &&
                  offsetof(NdiRecvCreateSettings, allowVideoFields) == 24 &&
                  offsetof(NdiRecvCreateSettings, receiverName) == 32,
              "receiver-create record layout");
static_assert(sizeof(NdiVideoFrame) == 72 && offsetof(NdiVideoFrame, timecode) == 32 &&
                  offsetof(NdiVideoFrame, data) == 40 &&
                  offsetof(NdiVideoFrame, lineStrideBytes) == 48 &&
                  offsetof(NdiVideoFrame, metadata) == 56 &&
                  offsetof(NdiVideoFrame, timestamp) == 64,
              "video frame record layout");

extern "C" {
bool NDIlib_initialize(void);
void NDIlib_destroy(void);
NdiFinderHandle NDIlib_find_create_v2(const NdiFindCreateSettings *settings);
bool NDIlib_find_wait_for_sources(NdiFinderHandle finder, uint32_t timeoutMs);
const NdiSource *NDIlib_find_get_current_sources(NdiFinderHandle finder, uint32_t *count);
void NDIlib_find_destroy(NdiFinderHandle finder);
NdiReceiverHandle NDIlib_recv_create_v3(const NdiRecvCreateSettings *settings);
void NDIlib_recv_destroy(NdiReceiverHandle receiver);
NdiFrameType NDIlib_recv_capture_v2(NdiReceiverHandle receiver, NdiVideoFrame *video,
                                    NdiAudioFrame *audio, NdiMetadataFrame *metadata,
                                    uint32_t timeoutMs);
void NDIlib_recv_free_video_v2(NdiReceiverHandle receiver, const NdiVideoFrame *video);
}
