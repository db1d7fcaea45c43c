#include "store/ndisourcename.h"

namespace {

const char *const whiteSpace = " \f\n\r\t\v";

std::string trimmedRight(const std::string &text)
{
    const std::size_t last = text.find_last_not_of(whiteSpace);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string trimmed(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(whiteSpace);
    return first == std::string::npos ? std::string() : trimmedRight(text.substr(first));
}

// Digits only, at most 65535 (leading zeros allowed); anything else reads as 0.
uint16_t parsePort(const std::string &text)
{
    if (text.empty())
        return 0;
    uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + uint32_t(c - '0');
        if (value > 65535)
            return 0;
    }
    return static_cast<uint16_t>(value);
}

} // namespace

void splitSourceName(const std::string &ndiName, std::string &machineName, std::string &streamName)
{
    const std::size_t open = ndiName.find('(');
    const std::size_t close = ndiName.rfind(')');
    if (open == std::string::npos || close == std::string::npos) {
        machineName = ndiName;
        streamName.clear();
    } else {
        machineName = trimmedRight(ndiName.substr(0, open));
        const std::size_t end = close > open ? close : ndiName.size();
        streamName = trimmed(ndiName.substr(open + 1, end - open - 1));
    }
    if (machineName.empty())
        machineName = ndiName;
}

void splitUrlAddress(const std::string &urlAddress, std::string &ipAddress, uint16_t &port)
{
    const std::size_t scheme = urlAddress.find("://");
    const std::string rest =
        scheme == std::string::npos ? urlAddress : urlAddress.substr(scheme + 3);
    const std::size_t colon = rest.find(':');
    ipAddress = rest.substr(0, colon);
    port = colon == std::string::npos ? 0 : parsePort(rest.substr(colon + 1));
}

NDISourceInfo makeSourceInfo(const char *ndiName, const char *urlAddress)
{
    NDISourceInfo info;
    splitSourceName(ndiName ? ndiName : "", info.machineName, info.streamName);
    splitUrlAddress(urlAddress ? urlAddress : "", info.ipAddress, info.port);
    info.ndiName = ndiName ? ndiName : "";
    info.urlAddress = urlAddress ? urlAddress : "";
    return info;
}

std::string networkSourceName(const std::string &machineName, const std::string &streamName)
{
    return streamName.empty() ? machineName : machineName + " (" + streamName + ")";
}
