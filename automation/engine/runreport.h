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
    int32_t speedStep = 0; // at the end of the run: the unit of the next run's deltas
};

// The JSON timing report of a START run. Its layout is the script's, so it loads back as
// one: its per-camera "delta" and measured travel then even out the cameras' arrival at each
// waypoint. Times are measured from each waypoint's common start, the moment its first
// command left.
namespace RunReport {

// venue_race_yyyyMMdd_hhmms.kva, the venue stripped of white space and made safe as a name.
QString fileName(const std::string &venue, int16_t race, const QDateTime &writtenAt);
// "./reports/<name>", creating the folder; the bare name when the folder is unavailable.
QString filePath(const QString &fileName);
QJsonObject toJson(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
                   const QTime &runStart, const QTime &runEnd);
// False when the report could not be written whole; an earlier file of that name is then
// left as it was. The path tried goes to `path` when given.
bool write(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
           const QTime &runStart, const QTime &runEnd, QString *path = nullptr);

} // namespace RunReport
