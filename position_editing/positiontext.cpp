#include "position_editing/positiontext.h"

namespace {
constexpr int32_t NegativeBandStart = 0xF000;

struct Scale
{
    int32_t numerator;
    int32_t denominator;
    int32_t negativeBase; // degrees at the bottom of the negative band
};

// Integer arithmetic and a 16-bit result, as the cameras' degree scales are defined.
QString degreesText(int32_t value, const Scale &scale, const char *positiveSuffix,
                    const char *negativeSuffix)
{
    if (value == 0)
        return QStringLiteral("0");
    const bool negative = value > NegativeBandStart;
    const int32_t raw =
        negative ? scale.negativeBase - ((value & 0xFFF) * scale.numerator / scale.denominator)
                 : value * scale.numerator / scale.denominator;
    const int16_t degrees = static_cast<int16_t>(raw);
    if (degrees == 0)
        return QStringLiteral("0");
    return QString::number(degrees) + QString::fromUtf8(negative ? negativeSuffix : positiveSuffix);
}
} // namespace

QString PanText(int32_t value, bool isR5x0)
{
    const Scale normal{175, 1658, 432};
    const Scale r5x0{360, 38390, 432};
    return degreesText(value, isR5x0 ? r5x0 : normal, "° Right", "° Left");
}

QString TiltText(int32_t value)
{
    return degreesText(value, Scale{30, 374, 330}, "° Up", "° Down");
}

QString ZoomText(int32_t value)
{
    return QStringLiteral("0x") + QString::number(static_cast<uint32_t>(value), 16).toUpper();
}
