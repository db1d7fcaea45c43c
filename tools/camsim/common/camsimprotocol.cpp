#include "tools/camsim/common/camsimprotocol.h"

#include <arpa/inet.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace CamSim {

std::string baseAddressFromEnvironment()
{
    const char *value = std::getenv(BaseAddressVariable);
    return value && *value ? std::string(value) : std::string(DefaultBaseAddress);
}

std::string addressAt(const std::string &base, int index)
{
    in_addr parsed{};
    if (index < 0 || inet_pton(AF_INET, base.c_str(), &parsed) != 1)
        return {};
    const uint32_t host = ntohl(parsed.s_addr);
    // The simulator never leaves the loopback network.
    if ((host >> 24) != 127 || (host & 0xFF) + uint32_t(index) > 254)
        return {};
    in_addr result{};
    result.s_addr = htonl(host + uint32_t(index));
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &result, text, sizeof text);
    return text;
}

std::string ndiName(int index)
{
    return "CAMSIM (PTZ Camera " + std::to_string(index + 1) + ")";
}

std::string urlAddress(const std::string &address)
{
    return address + ":" + std::to_string(StreamPort);
}

std::string encodeSources(const std::vector<SourceEntry> &sources)
{
    std::string text;
    for (const SourceEntry &source : sources)
        text += source.ndiName + "\t" + source.urlAddress + "\n";
    return text;
}

std::vector<SourceEntry> decodeSources(const std::string &text)
{
    std::vector<SourceEntry> sources;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size())
            continue;
        sources.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return sources;
}

std::string encodeView(const ViewState &view)
{
    char text[160];
    std::snprintf(text, sizeof text, "VIEW %.4f %.4f %.4f %d %d", view.panDegrees, view.tiltDegrees,
                  view.fieldOfViewDegrees, view.frameRateN, view.frameRateD);
    return text;
}

bool decodeView(const std::string &text, ViewState &view)
{
    ViewState parsed;
    std::istringstream fields(text);
    std::string tag;
    fields >> tag >> parsed.panDegrees >> parsed.tiltDegrees >> parsed.fieldOfViewDegrees >>
        parsed.frameRateN >> parsed.frameRateD;
    if (!fields || tag != "VIEW" || parsed.fieldOfViewDegrees <= 0 || parsed.frameRateN <= 0 ||
        parsed.frameRateD <= 0)
        return false;
    view = parsed;
    return true;
}

bool frameRateOfFormat(const std::string &videoFormat, int32_t &numerator, int32_t &denominator)
{
    const size_t mark = videoFormat.find_first_of("pi");
    if (mark == std::string::npos)
        return false;
    char *end = nullptr;
    const std::string rateText = videoFormat.substr(mark + 1);
    const double rate = std::strtod(rateText.c_str(), &end);
    if (end == rateText.c_str() || rate <= 0 || rate > 240)
        return false;
    // Broadcast rates such as 59.94 are n * 1000 / 1001.
    const double ntsc = rate * 1001.0 / 1000.0;
    if (std::fabs(ntsc - std::round(ntsc)) < 0.01 && std::fabs(rate - std::round(rate)) > 0.01) {
        numerator = int32_t(std::lround(ntsc)) * 1000;
        denominator = 1001;
    } else {
        numerator = int32_t(std::lround(rate * 1000));
        denominator = 1000;
    }
    return true;
}

} // namespace CamSim
