#pragma once

#include <cstddef>
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
};

// A source is identified by machineName followed directly by streamName, compared byte-wise;
// the address plays no part, so a camera that comes back elsewhere is still the same source.
inline int compareSourceKeys(const NDISourceInfo &a, const NDISourceInfo &b)
{
    const std::size_t lenA = a.machineName.size() + a.streamName.size();
    const std::size_t lenB = b.machineName.size() + b.streamName.size();
    auto byteAt = [](const NDISourceInfo &s, std::size_t i) {
        const std::size_t m = s.machineName.size();
        return static_cast<unsigned char>(i < m ? s.machineName[i] : s.streamName[i - m]);
    };
    for (std::size_t i = 0; i < lenA && i < lenB; ++i) {
        const unsigned char ca = byteAt(a, i);
        const unsigned char cb = byteAt(b, i);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return lenA < lenB ? -1 : (lenA > lenB ? 1 : 0);
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
