#pragma once

#include "store/ndisourceinfo.h"

#include <cstdint>
#include <string>

// "STUDIO-PC (PTZ Camera 1)" -> "STUDIO-PC", "PTZ Camera 1". A name without "(" or ")"
// is all machine name; an empty machine name is replaced by the whole NDI name.
void splitSourceName(const std::string &ndiName, std::string &machineName, std::string &streamName);

// "192.0.2.10:5961" -> "192.0.2.10", 5961; a scheme such as "udp://" is dropped first. No ":",
// or text after it that is not a decimal number from 0 to 65535, gives port 0.
void splitUrlAddress(const std::string &urlAddress, std::string &ipAddress, uint16_t &port);

// One runtime source record as the store keeps it; a null text counts as empty.
NDISourceInfo makeSourceInfo(const char *ndiName, const char *urlAddress);

// The name a source of these names would carry on the network: "MACHINE (STREAM)".
std::string networkSourceName(const std::string &machineName, const std::string &streamName);
