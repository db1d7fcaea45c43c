#include "tools/camsim/ndiruntime/simfinder.h"

#include <chrono>
#include <thread>

namespace {
constexpr int QueryTimeoutMs = 100;
constexpr auto PollInterval = std::chrono::milliseconds(250);
} // namespace

SimFinder::SimFinder(const std::string &directoryAddress)
    : directory(directoryAddress, CamSim::DirectoryPort)
{
    refresh();
}

bool SimFinder::refresh()
{
    std::string answer;
    if (!directory.query(CamSim::SourcesRequest, answer, QueryTimeoutMs))
        return false; // a simulator that went away leaves its sources listed, as NDI does
    std::vector<CamSim::SourceEntry> sources = CamSim::decodeSources(answer);
    if (sources == known)
        return false;
    known = std::move(sources);
    return true;
}

bool SimFinder::waitForSources(uint32_t timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (refresh())
            return true;
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(PollInterval, deadline - now));
    }
}

const NdiSource *SimFinder::currentSources(uint32_t *count)
{
    handedOut = known;
    records.clear();
    for (const CamSim::SourceEntry &source : handedOut)
        records.push_back({source.ndiName.c_str(), source.urlAddress.c_str()});
    if (count)
        *count = uint32_t(records.size());
    return records.empty() ? nullptr : records.data();
}
