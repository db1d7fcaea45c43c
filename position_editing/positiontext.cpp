#include "position_editing/positiontext.h"

#include <cstdlib>

namespace {
// The camera's 16-bit value is signed: below zero is left (pan) or down (tilt). Whole degrees,
// truncated, so a value too small for a degree reads as the centre.
QString degreesText(int32_t value, int32_t numerator, int32_t denominator,
                    const char *positiveSuffix, const char *negativeSuffix)
{
    const int32_t signedValue = static_cast<int16_t>(static_cast<uint16_t>(value));
    const int32_t degrees = std::abs(signedValue) * numerator / denominator;
    if (degrees == 0)
        return QStringLiteral("0");
    return QString::number(degrees) +
           QString::fromUtf8(signedValue < 0 ? negativeSuffix : positiveSuffix);
}
} // namespace

QString PanText(int32_t value, bool isR5x0)
{
    // An R520 or R530 counts 38390 steps to a full turn.
    return degreesText(value, isR5x0 ? 360 : 175, isR5x0 ? 38390 : 1658, "° Right", "° Left");
}

QString TiltText(int32_t value)
{
    return degreesText(value, 30, 374, "° Up", "° Down");
}

QString ZoomText(int32_t value)
{
    return QStringLiteral("0x") + QString::number(static_cast<uint32_t>(value), 16).toUpper();
}
