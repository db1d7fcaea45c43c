#include "automation/engine/raceparameters.h"

#include <algorithm>
#include <limits>

namespace {

using Field = RaceParameters::Field;

// A typed number; the line edits are at most five characters, so it always fits in int.
int typedNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

int16_t RaceParameters::*member(Field field)
{
    switch (field) {
    case Field::TotalRaces:
        return &RaceParameters::totalRaces;
    case Field::CurrentRace:
        return &RaceParameters::currentRace;
    case Field::TotalWayPoints:
        return &RaceParameters::totalWayPoints;
    case Field::SetupWayPoint:
        return &RaceParameters::setupWayPoint;
    case Field::EndWayPoint:
        return &RaceParameters::endWayPoint;
    case Field::StartWayPoint:
        return &RaceParameters::startWayPoint;
    case Field::LoopCount:
        return &RaceParameters::loopCount;
    case Field::RaceLength:
        break;
    }
    return &RaceParameters::raceLength;
}

} // namespace

int16_t RaceParameters::value(Field field) const
{
    return this->*member(field);
}

int16_t &RaceParameters::at(Field field)
{
    return this->*member(field);
}

QString RaceParameters::text(Field field) const
{
    auto fraction = [this, field](int16_t total) {
        return QString::number(value(field)) + QLatin1Char('/') + QString::number(total);
    };
    switch (field) {
    case Field::CurrentRace:
        return fraction(totalRaces);
    case Field::SetupWayPoint:
    case Field::EndWayPoint:
    case Field::StartWayPoint:
        return fraction(totalWayPoints);
    default:
        return QString::number(value(field));
    }
}

RaceParameters::Range RaceParameters::bounds(Field field) const
{
    switch (field) {
    case Field::TotalRaces:
        return {1, MaxTotalRaces}; // "0" or "-99" would leave no race to run
    case Field::CurrentRace:
        return {1, totalRaces};
    case Field::TotalWayPoints:
        return {2, MaxTotalWayPoints};
    case Field::SetupWayPoint:
    case Field::EndWayPoint:
        return {1, totalWayPoints};
    case Field::StartWayPoint:
        return {1, endWayPoint};
    case Field::LoopCount:
        return {1, MaxLoopCount};
    case Field::RaceLength:
        break;
    }
    // Five digits can exceed the 16-bit field; wrapping would turn 40000 m into 1 m.
    return {1, std::numeric_limits<int16_t>::max()};
}

// The step buttons stop inside the bounds: two races, three waypoints, 99 waypoints at most,
// and End never below Start.
RaceParameters::Range RaceParameters::stepRange(Field field) const
{
    switch (field) {
    case Field::TotalRaces:
        return {MinStepTotalRaces, MaxTotalRaces};
    case Field::TotalWayPoints:
        return {MinStepTotalWayPoints, MaxStepTotalWayPoints};
    case Field::EndWayPoint:
        return {startWayPoint, totalWayPoints};
    case Field::RaceLength:
        return {raceLength, raceLength};
    default:
        return bounds(field);
    }
}

bool RaceParameters::canStepDown(Field field) const
{
    return value(field) > stepRange(field).low;
}

bool RaceParameters::canStepUp(Field field) const
{
    return value(field) < stepRange(field).high;
}

void RaceParameters::step(Field field, int direction)
{
    if (direction < 0 ? !canStepDown(field) : !canStepUp(field))
        return;
    at(field) = int16_t(value(field) + (direction < 0 ? -1 : 1));
    holdToFormBounds();
}

void RaceParameters::setTyped(Field field, const QString &text)
{
    const Range range = bounds(field);
    at(field) = int16_t(std::clamp(typedNumber(text), range.low, range.high));
    holdToFormBounds();
}

void RaceParameters::setVenue(const QString &text)
{
    venue = venueFromText(text);
}

void RaceParameters::reset()
{
    std::string kept = std::move(venue);
    *this = RaceParameters();
    venue = std::move(kept);
}

void RaceParameters::holdToFormBounds()
{
    for (Field field : Fields) {
        const Range range = bounds(field);
        at(field) =
            int16_t(std::clamp(int(value(field)), range.low, std::max(range.low, range.high)));
    }
    venue = venueFromText(QString::fromStdString(venue));
}

std::vector<RaceParameters::Field> RaceParameters::affectedBy(Field changed)
{
    switch (changed) {
    case Field::TotalRaces:
        return {Field::TotalRaces, Field::CurrentRace};
    case Field::TotalWayPoints:
        return {Field::TotalWayPoints, Field::SetupWayPoint, Field::EndWayPoint,
                Field::StartWayPoint};
    case Field::EndWayPoint:
    case Field::StartWayPoint:
        return {Field::EndWayPoint, Field::StartWayPoint};
    default:
        return {changed};
    }
}

std::string RaceParameters::venueFromText(const QString &text)
{
    QString held = text.left(MaxVenueLength);
    if (held.size() == MaxVenueLength && QChar(held.back()).isHighSurrogate())
        held.chop(1); // never half a character
    return held.toStdString();
}
