#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

// The race set-up the operator edits on the form; SAVE writes it and LOAD reads it back.
// Every number is 16-bit signed, as the form holds it. The rules live here, the widgets in the
// form: how far each step button goes, what a typed value becomes, and how a change of one
// field holds the others.
struct RaceParameters
{
    // The numbers, in the order they are held: a total before the fields under it, End before
    // Start.
    enum class Field {
        TotalRaces,
        CurrentRace,
        TotalWayPoints,
        SetupWayPoint,
        EndWayPoint,
        StartWayPoint,
        LoopCount,
        RaceLength
    };
    static constexpr Field Fields[] = {
        Field::TotalRaces,  Field::CurrentRace,   Field::TotalWayPoints, Field::SetupWayPoint,
        Field::EndWayPoint, Field::StartWayPoint, Field::LoopCount,      Field::RaceLength};
    struct Range
    {
        int low, high;
    };

    static constexpr int16_t DefaultTotalRaces = 30;
    static constexpr int16_t DefaultTotalWayPoints = 12;
    static constexpr int16_t DefaultRaceLength = 3000;
    static constexpr int16_t MaxLoopCount = 99;
    static constexpr int16_t MaxTotalRaces = 999;      // what three digits can hold
    static constexpr int16_t MaxTotalWayPoints = 9999; // what four digits can hold
    static constexpr int16_t MinStepTotalRaces = 2;
    static constexpr int16_t MinStepTotalWayPoints = 3;
    static constexpr int16_t MaxStepTotalWayPoints = 99; // beyond it only by typing
    static constexpr int MaxVenueLength = 50;            // characters, as the venue field holds
    static constexpr const char *DefaultVenue = "Westmere Racecourse";

    int16_t totalRaces = DefaultTotalRaces;
    int16_t totalWayPoints = DefaultTotalWayPoints;
    int16_t setupWayPoint = 1;
    int16_t currentRace = 1;
    int16_t startWayPoint = 1;
    int16_t endWayPoint = DefaultTotalWayPoints;
    int16_t loopCount = 1;
    int16_t raceLength = DefaultRaceLength;
    std::string venue = DefaultVenue; // UTF-8

    int16_t value(Field field) const;
    // What the field shows: "n/total" for the current race and the waypoints, else the number.
    QString text(Field field) const;
    // What a field may hold, given the fields held before it.
    Range bounds(Field field) const;
    // A step button is enabled while its step stays inside these; Race Length has none.
    bool canStepDown(Field field) const;
    bool canStepUp(Field field) const;
    // One step down (direction < 0) or up, if its button allows it; the others are then held.
    void step(Field field, int direction);
    // A typed number; text that is not a number reads as 0. Held to the bounds, as the others.
    void setTyped(Field field, const QString &text);
    void setVenue(const QString &text);
    // The start-up set-up; the venue stays.
    void reset();
    // Holds every field to its bounds in order, so a change, or a loaded script, never leaves
    // a waypoint 0, one waypoint in all, Start past End or no loops.
    void holdToFormBounds();
    // The fields whose value, text or step buttons a change of `changed` can alter.
    static std::vector<Field> affectedBy(Field changed);
    // A venue held to the length the form's field takes.
    static std::string venueFromText(const QString &text);

private:
    int16_t &at(Field field);
    Range stepRange(Field field) const;
};
