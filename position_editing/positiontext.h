#pragma once

#include <QString>

#include <cstdint>

// Camera positions in degrees for the panel's labels and table. Values are held as the camera's
// unsigned 16-bit units but read as signed: 0x8000 and above is left (pan) or down (tilt).
QString PanText(int32_t value, bool isR5x0);
QString TiltText(int32_t value);
// "0x" and the upper-case hexadecimal digits, no leading zeros.
QString ZoomText(int32_t value);
