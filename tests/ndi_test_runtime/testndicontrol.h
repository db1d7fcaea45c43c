#pragma once

// Control functions of the test NDI runtime, exported beside the ten runtime functions so a
// test can set what the runtime reports and read back what the program did with it.

#include "ndi/ndilib.h"

#include <cstdint>

enum TestNdiCounter : int32_t {
    TestNdiInitializeCalls,
    TestNdiDestroyCalls,
    TestNdiFindersCreated,
    TestNdiFindersDestroyed,
    TestNdiSourceFetches,
    TestNdiSourceWaits,
    TestNdiReceiversCreated,
    TestNdiReceiversDestroyed,
    TestNdiFramesCaptured,
    TestNdiFramesFreed,
    // Calls with an unknown or destroyed handle, an unknown frame, or before initialise.
    TestNdiMisuses,
    TestNdiCounterCount
};

// What the program asked for in its last NDIlib_recv_create_v3.
struct TestNdiReceiverSettings
{
    char ndiName[256];
    char urlAddress[256];
    int32_t bandwidth;
};

extern "C" {
// Back to a fresh runtime: no sources or frames, counters 0, every call succeeding.
void testndi_reset(void);
// Replaces the source list every finder reports and wakes finders waiting for a change.
void testndi_set_sources(const NdiSource *sources, uint32_t count);
// Delivers one BGRX frame (lineStrideBytes * height bytes) to every receiver, present or
// future, connected to the source with this NDI name; an empty name means every receiver.
void testndi_push_video_frame(const char *ndiName, int32_t width, int32_t height,
                              int32_t lineStrideBytes, const uint8_t *pixels);
int64_t testndi_count(TestNdiCounter counter);
void testndi_set_initialize_result(bool result);
void testndi_set_refuse_finders(bool refuse);
// A network where nothing happens, as a vendor runtime sees it: every source wait and capture
// lasts its whole time-out, whatever the test sets or pushes meanwhile, and finds nothing.
void testndi_set_blocking_waits(bool blocking);
// False until the first receiver has been asked for.
bool testndi_last_receiver_settings(TestNdiReceiverSettings *settings);
}
