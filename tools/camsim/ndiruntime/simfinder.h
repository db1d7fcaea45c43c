#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ndi/ndilib.h"
#include "tools/camsim/common/camsimprotocol.h"
#include "tools/camsim/ndiruntime/udpchannel.h"

// A finder that learns the sources from the simulator's directory instead of mDNS. Used by
// one thread at a time, as the runtime's finders are.
class SimFinder
{
public:
    explicit SimFinder(const std::string &directoryAddress);

    // True when the list changed within the time; asks the directory a few times a second.
    bool waitForSources(uint32_t timeoutMs);
    // Valid until the next call on this finder.
    const NdiSource *currentSources(uint32_t *count);

private:
    bool refresh(); // true when the directory's answer differs from what was known

    UdpChannel directory;
    std::vector<CamSim::SourceEntry> known;
    std::vector<CamSim::SourceEntry> handedOut; // owns the strings the records point at
    std::vector<NdiSource> records;
};
