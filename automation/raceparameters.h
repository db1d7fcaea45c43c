#pragma once

#include <QString>
#include <cstdint>
#include <string>

// The race set-up the operator edits on the form; SAVE writes it and LOAD reads it back.
// Every number is 16-bit signed, as the form holds it.
struct RaceParameters
{
    static constexpr int16_t DefaultTotalRaces = 30;
    static constexpr int16_t DefaultTotalWayPoints = 12;
    static constexpr int16_t DefaultRaceLength = 3000;
    static constexpr int16_t MaxLoopCount = 99;
    static constexpr int16_t MaxTotalRaces = 999;      // what three digits can hold
    static constexpr int16_t MaxTotalWayPoints = 9999; // what four digits can hold
    static constexpr int MaxVenueLength = 50;          // characters, as the venue field holds
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

    // What the editable line edits accept; text that is not a number reads as 0 first.
    static int16_t totalRacesFromText(const QString &text);     // at least 1
    static int16_t totalWayPointsFromText(const QString &text); // at least 2
    static int16_t raceLengthFromText(const QString &text);     // 1..32767
    // A venue held to the length the form's field takes.
    static std::string venueFromText(const QString &text);
    // Holds every field to what the form lets the operator set, so a loaded script cannot
    // give a run a waypoint 0, one waypoint in all, or no loops.
    void holdToFormBounds();
    // "n/total", as the read-only waypoint and race fields show them.
    static QString fraction(int16_t n, int16_t total);
};
