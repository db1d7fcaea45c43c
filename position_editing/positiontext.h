#pragma once

#include <QString>

#include <cstdint>

// Camera positions in degrees for the panel's labels and table. Values are the camera's
// unsigned 16-bit units; the top band above 0xF000 is the negative side.
QString PanText(int32_t value, bool isR5x0);
QString TiltText(int32_t value);
// "0x" and the upper-case hexadecimal digits, no leading zeros.
QString ZoomText(int32_t value);
