#pragma once

#include <cstdint>
#include <string>

// One discovered NDI source. NDI names are byte strings, so the fields stay std::string;
// the GUI converts them when it shows them.
struct NDISourceInfo
{
    std::string machineName;
    std::string streamName;
    std::string ipAddress;
    uint16_t port = 0;
    // The source's name and URL address exactly as discovered: a receiver must be given
    // these, not the "MACHINE(STREAM)" display name. Empty for a source not seen on the network.
    // (Initialised here, so brace lists that name only the fields above stay warning-free.)
    std::string ndiName{};
    std::string urlAddress{};
};

// A source is identified by its machine and stream names; the address plays no part, so a
// camera that comes back elsewhere is still the same source. Sources sort by machineName
// followed directly by streamName, byte-wise; when those run together the same ("PC1 (0)" and
// "PC (10)"), the shorter machine name goes first.
inline int compareSourceKeys(const NDISourceInfo &a, const NDISourceInfo &b)
{
    const int joined = (a.machineName + a.streamName).compare(b.machineName + b.streamName);
    if (joined != 0)
        return joined < 0 ? -1 : 1;
    const int machine = a.machineName.compare(b.machineName);
    return machine < 0 ? -1 : (machine > 0 ? 1 : 0);
}

inline bool operator<(const NDISourceInfo &a, const NDISourceInfo &b)
{
    return compareSourceKeys(a, b) < 0;
}

inline bool operator==(const NDISourceInfo &a, const NDISourceInfo &b)
{
    return compareSourceKeys(a, b) == 0;
}

inline bool operator!=(const NDISourceInfo &a, const NDISourceInfo &b)
{
    return !(a == b);
}
