#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the camera simulator and its NDI runtime tell each other over loopback: the
// simulator's directory of cameras, and each camera's current view for its preview stream.
// Both are one UDP request and one UDP answer of plain text.
namespace CamSim {

constexpr uint16_t DirectoryPort = 5960; // on the first camera's address
constexpr uint16_t StreamPort = 5961;    // on every camera's address
constexpr const char *DefaultBaseAddress = "127.0.0.10";
// The simulator's own setting, read by its runtime: where the first camera lives.
constexpr const char *BaseAddressVariable = "TREVALO_CAMSIM_BASE";
constexpr const char *SourcesRequest = "CAMSIM SOURCES";
constexpr const char *ViewRequest = "CAMSIM VIEW";
constexpr int PreviewWidth = 640;
constexpr int PreviewHeight = 360;

std::string baseAddressFromEnvironment();
// The address `index` places after base: "127.0.7.10" and 2 give "127.0.7.12". Empty when
// base is not a loopback IPv4 address or the last byte would overflow.
std::string addressAt(const std::string &base, int index);
std::string ndiName(int index);                     // "CAMSIM (PTZ Camera 1)" for index 0
std::string urlAddress(const std::string &address); // "127.0.0.10:5961"

struct SourceEntry
{
    std::string ndiName;
    std::string urlAddress;
    bool operator==(const SourceEntry &other) const
    {
        return ndiName == other.ndiName && urlAddress == other.urlAddress;
    }
};

// One source a line, name and URL address separated by a tab.
std::string encodeSources(const std::vector<SourceEntry> &sources);
std::vector<SourceEntry> decodeSources(const std::string &text);

// What a camera sees, in degrees, and how often its stream sends a picture.
struct ViewState
{
    double panDegrees = 0;
    double tiltDegrees = 0;
    double fieldOfViewDegrees = 60; // horizontal
    int32_t frameRateN = 30000;
    int32_t frameRateD = 1001;
};

std::string encodeView(const ViewState &view);
bool decodeView(const std::string &text, ViewState &view);

// "1080p59.94" -> 60000/1001, "1080i50" -> 50/1; false when no rate follows the p or i.
bool frameRateOfFormat(const std::string &videoFormat, int32_t &numerator, int32_t &denominator);

} // namespace CamSim
