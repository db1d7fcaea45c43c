#include "automation/runreport.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "automation/timeofday.h"

namespace {

const char *const kReportDir = "reports";
const QString kTimeFormat = QStringLiteral("hh:mm:ss.zzz");

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
    if (!name.empty() && name.find_first_not_of('.') == std::string::npos)
        std::fill(name.begin(), name.end(), '_');
    return name;
}

QString timeText(const QTime &time)
{
    return time.toString(kTimeFormat); // empty for a node never timed
}

QJsonObject nodeJson(const WayPointNode &node, int32_t maxTime)
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
    json["end"] = timeText(node.end);
    json["elapsed_time_msec"] = node.elapsed;
    // 0/0 is no ratio at all: such a delta loads back as absent.
    if (maxTime == 0)
        json["delta"] = QJsonValue(QJsonValue::Null);
    else
        json["delta"] =
            static_cast<double>(static_cast<float>(node.elapsed) / static_cast<float>(maxTime));
    return json;
}

QJsonObject wayPointJson(const WayPointEntry &entry)
{
    int32_t maxTime = 0;
    int32_t minTime = 0;
    for (const WayPointNode &node : entry.node) {
        maxTime = std::max(maxTime, node.elapsed);
        // A zero minimum is taken as "none yet", so the next node's time replaces it.
        if (node.elapsed < minTime || minTime == 0)
            minTime = node.elapsed;
    }
    QJsonArray nodes;
    for (const WayPointNode &node : entry.node)
        nodes.append(nodeJson(node, maxTime));

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
    return QString::fromStdString(safeVenue(venue)) + '_' + QString::number(race) + '_' +
           writtenAt.toString(QStringLiteral("yyyyMMdd_hhmms")) + QStringLiteral(".kva");
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
        wayPoints.append(wayPointJson(entry));
    json["autoPlayNode"] = wayPoints;
    return json;
}

bool write(const RunReportInfo &info, const std::vector<WayPointEntry> &playList,
           const QTime &runStart, const QTime &runEnd)
{
    QFile file(filePath(fileName(info.venue, info.currentRace, QDateTime::currentDateTime())));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QJsonObject json = toJson(info, playList, runStart, runEnd);
    file.write(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return true;
}

} // namespace RunReport
