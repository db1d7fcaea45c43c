#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QTime>

#include "store/waypoint.h"

// The race parameters a run carries only for its report.
struct RunReportInfo
{
    std::string venue; // UTF-8, as the operator typed it
    int16_t currentRace = 1;
    int16_t totalRaces = 0;
    int16_t totalWayPoints = 0;
    int16_t raceLength = 3000;
    int32_t loopCount = 1;
};

// The JSON timing report of a START run. Its layout is the script's, so it loads back as
// one, and its per-camera "delta" then evens out the cameras' arrival at each waypoint.
namespace RunReport {

// venue_race_yyyyMMdd_hhmms.kva, the venue stripped of white space and made safe as a name.
QString fileName(const std::string &venue, int16_t race, const QDateTime &writtenAt);
// "./reports/<name>", creating the folder; the bare name when the folder is unavailable.
QString filePath(const QString &fileName);
QJsonObject toJson(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
                   const QTime &runStart, const QTime &runEnd);
// False when the file cannot be opened; nothing is written then.
bool write(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
           const QTime &runStart, const QTime &runEnd);

} // namespace RunReport
