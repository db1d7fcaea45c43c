#include "automation/raceparameters.h"

#include <algorithm>
#include <limits>

namespace {

// A typed number; the line edits are at most five characters, so it always fits in int.
int typedNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace

int16_t RaceParameters::totalRacesFromText(const QString &text)
{
    // Three characters: at most 999, and "-99" or "0" would leave no race to run.
    return int16_t(std::max(typedNumber(text), 1));
}

int16_t RaceParameters::totalWayPointsFromText(const QString &text)
{
    return int16_t(std::max(typedNumber(text), 2));
}

int16_t RaceParameters::raceLengthFromText(const QString &text)
{
    // Five digits can exceed the 16-bit field; wrapping would turn 40000 m into 1 m.
    return int16_t(std::clamp(typedNumber(text), 1, int(std::numeric_limits<int16_t>::max())));
}

QString RaceParameters::fraction(int16_t n, int16_t total)
{
    return QString::number(n) + QLatin1Char('/') + QString::number(total);
}
