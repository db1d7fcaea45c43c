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

std::string RaceParameters::venueFromText(const QString &text)
{
    QString held = text.left(MaxVenueLength);
    if (held.size() == MaxVenueLength && QChar(held.back()).isHighSurrogate())
        held.chop(1); // never half a character
    return held.toStdString();
}

void RaceParameters::holdToFormBounds()
{
    auto hold = [](int16_t &field, int lowest, int highest) {
        field = int16_t(std::clamp(int(field), lowest, std::max(lowest, highest)));
    };
    hold(totalRaces, 1, MaxTotalRaces);
    hold(totalWayPoints, 2, MaxTotalWayPoints);
    hold(currentRace, 1, totalRaces);
    hold(setupWayPoint, 1, totalWayPoints);
    hold(endWayPoint, 1, totalWayPoints);
    hold(startWayPoint, 1, endWayPoint);
    hold(loopCount, 1, MaxLoopCount);
    hold(raceLength, 1, std::numeric_limits<int16_t>::max());
    venue = venueFromText(QString::fromStdString(venue));
}

QString RaceParameters::fraction(int16_t n, int16_t total)
{
    return QString::number(n) + QLatin1Char('/') + QString::number(total);
}
