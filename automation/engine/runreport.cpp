#include "automation/engine/runreport.h"

#include <algorithm>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include "automation/engine/timeofday.h"

namespace {

const char *const kReportDir = "reports";
const QString kTimeFormat = QStringLiteral("hh:mm:ss.zzz");
constexpr int kVenueCharacters = 50;

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The operator types the venue; whatever it holds, the report must stay inside its folder.
std::string safeVenue(const std::string &venue)
{
    std::string name = venue.empty() ? std::string("TEST") : venue;
    name.erase(std::remove_if(name.begin(), name.end(), isWhiteSpace), name.end());
    for (char &c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F)
            c = '_';
    }
    // A leading dot would hide the report (and "." or ".." would name a folder).
    for (size_t i = 0; i < name.size() && name[i] == '.'; ++i)
        name[i] = '_';
    return name;
}

QString timeText(const QTime &time)
{
    return time.toString(kTimeFormat); // empty for a node never timed
}

// The pace, as a multiple of the run's speed step, at which this camera would have taken as
// long as the slowest one: the next run's speed multiplier. A camera not measured (given up,
// not reached, not moved) keeps the multiplier it ran with.
double nextDelta(const WayPointNode &node, int32_t slowestTravel, int32_t speedStep)
{
    if (!node.arrived || node.travelMs <= 0 || slowestTravel <= 0 || speedStep <= 0 ||
        node.moveSpeed <= 0)
        return static_cast<double>(node.delta);
    return double(node.moveSpeed) * node.travelMs / (double(slowestTravel) * speedStep);
}

QJsonObject nodeJson(const WayPointNode &node, int32_t slowestTravel, int32_t speedStep)
{
    QJsonObject json;
    json["src_name"] = QString::fromStdString(node.src_name);
    json["ip"] = QString::fromStdString(node.ip);
    json["pan_speed"] = node.pan_speed;
    json["tilt_speed"] = node.tilt_speed;
    json["pan"] = node.pan;
    json["tilt"] = node.tilt;
    json["focus"] = node.focus;
    json["zoom"] = node.zoom;
    json["start"] = timeText(node.start);
    json["end"] = node.arrived ? timeText(node.end) : QString();
    json["elapsed_time_msec"] = node.elapsed;
    json["delta"] = nextDelta(node, slowestTravel, speedStep);
    json["travel_msec"] = node.travelMs;
    json["travel_speed"] = node.moveSpeed;
    json["hold_msec"] = node.holdMs;
    json["given_up"] = node.givenUp;
    return json;
}

QJsonObject wayPointJson(const WayPointEntry &entry, int32_t speedStep)
{
    int32_t maxTime = 0;
    int32_t minTime = 0;
    int32_t slowestTravel = 0;
    for (const WayPointNode &node : entry.node) {
        maxTime = std::max(maxTime, node.elapsed);
        // A zero minimum is taken as "none yet", so the next node's time replaces it.
        if (node.elapsed < minTime || minTime == 0)
            minTime = node.elapsed;
        if (node.arrived)
            slowestTravel = std::max(slowestTravel, node.travelMs);
    }
    QJsonArray nodes;
    for (const WayPointNode &node : entry.node)
        nodes.append(nodeJson(node, slowestTravel, speedStep));

    QJsonObject json;
    json["preset"] = static_cast<int16_t>(entry.preset);
    json["node"] = nodes;
    json["max_time"] = maxTime;
    json["min_time"] = minTime;
    json["expected_time"] = maxTime;
    return json;
}

} // namespace

namespace RunReport {

QString fileName(const std::string &venue, int16_t race, const QDateTime &writtenAt)
{
    // Held to the venue field's 50 characters, so the name stays within the file system's limit.
    return QString::fromStdString(safeVenue(venue)).left(kVenueCharacters) + '_' +
           QString::number(race) + '_' + writtenAt.toString(QStringLiteral("yyyyMMdd_hhmms")) +
           QStringLiteral(".kva");
}

QString filePath(const QString &fileName)
{
    QDir().mkdir(kReportDir);
    if (QDir(kReportDir).exists())
        return QStringLiteral("./") + kReportDir + '/' + fileName;
    return fileName;
}

QJsonObject toJson(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
                   const QTime &runStart, const QTime &runEnd)
{
    QJsonObject json;
    json["version"] = 1.0;
    json["loop_count"] = info.loopCount;
    json["venue"] = QString::fromStdString(info.venue);
    json["race_no"] = info.currentRace;
    json["start"] = timeText(runStart);
    json["end"] = timeText(runEnd);
    json["elapsed_time_msec"] = msecsBetween(runStart, runEnd);
    json["total_no_race"] = info.totalRaces;
    json["race_length"] = info.raceLength;
    if (playList.empty())
        return json;

    json["way_pt_no"] = static_cast<int16_t>(playList.front().preset);
    json["start_wp"] = static_cast<int16_t>(playList.front().preset);
    json["end_wp"] = static_cast<int16_t>(playList.back().preset);
    json["total_wp_no"] = info.totalWayPoints;
    QJsonArray wayPoints;
    for (const WayPointEntry &entry : playList)
        wayPoints.append(wayPointJson(entry, info.speedStep));
    json["autoPlayNode"] = wayPoints;
    return json;
}

bool write(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
           const QTime &runStart, const QTime &runEnd, QString *path)
{
    const QString target =
        filePath(fileName(info.venue, info.currentRace, QDateTime::currentDateTime()));
    if (path)
        *path = target;
    // Written aside and renamed into place: a full disk never leaves a short report behind.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes =
        QJsonDocument(toJson(info, playList, runStart, runEnd)).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace RunReport
