#include "automation/engine/runchartdata.h"

#include "automation/engine/scriptfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

namespace {

// Reports are a few kilobytes; anything far larger was not written by a run.
constexpr qint64 kMaxReportBytes = 16 * 1024 * 1024;

QString tr(const char *text)
{
    return QCoreApplication::translate("RunChartData", text);
}

// Reports written before cameras were given up carry no "given_up" and leave a camera that
// never arrived at 0 ms.
RunChartData::Arrival arrivalFrom(const QJsonObject &node)
{
    RunChartData::Arrival arrival;
    arrival.camera = node.value("src_name").toString();
    arrival.givenUp = node.value("given_up").toBool();
    const int elapsed = node.value("elapsed_time_msec").toInt();
    const bool ended = node.contains("given_up") && !node.value("end").toString().isEmpty();
    arrival.arrived = !arrival.givenUp && (elapsed > 0 || ended);
    arrival.msec = arrival.arrived ? elapsed : 0;
    return arrival;
}

RunChartData::Play playFrom(const QJsonObject &wayPoint)
{
    RunChartData::Play play;
    play.preset = wayPoint.value("preset").toInt();
    if (play.preset == 65535)
        play.preset = -1;
    int earliest = 0;
    for (const QJsonValue &node : wayPoint.value("node").toArray()) {
        const RunChartData::Arrival arrival = arrivalFrom(node.toObject());
        if (arrival.arrived) {
            const bool first = play.slowest < 0;
            if (first || arrival.msec > play.arrivals[size_t(play.slowest)].msec)
                play.slowest = int(play.arrivals.size());
            earliest = first ? arrival.msec : std::min(earliest, arrival.msec);
        }
        play.arrivals.push_back(arrival);
    }
    if (play.slowest >= 0)
        play.spreadMsec = play.arrivals[size_t(play.slowest)].msec - earliest;
    return play;
}

// A saved script has the same layout but no times: it would chart as a run where nothing arrived.
bool isTimed(const QJsonArray &wayPoints)
{
    for (const QJsonValue &wayPoint : wayPoints)
        for (const QJsonValue &node : wayPoint.toObject().value("node").toArray())
            if (node.toObject().contains("elapsed_time_msec"))
                return true;
    return false;
}

// Run reports are named venue_race_yyyyMMdd_hhmms.kva.
QDate dateFromName(const QString &path)
{
    static const QRegularExpression pattern(QStringLiteral("_(\\d{8})_\\d{5,6}$"));
    const QRegularExpressionMatch match = pattern.match(QFileInfo(path).completeBaseName());
    if (!match.hasMatch())
        return {};
    return QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd"));
}

} // namespace

bool RunChartData::load(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    if (file.size() > kMaxReportBytes) {
        error = tr("it is too large to be a run report");
        return false;
    }
    if (!parse(file.readAll(), error))
        return false;
    date = dateFromName(path);
    return true;
}

bool RunChartData::parse(const QByteArray &json, QString &error)
{
    QJsonDocument document;
    if (!ScriptFile::parseDocument(json, document, error))
        return false;
    const QJsonObject root = document.object();
    const QJsonArray wayPoints = root.value("autoPlayNode").toArray();
    if (!isTimed(wayPoints)) {
        error = tr("it is not a run report with waypoints");
        return false;
    }
    venue = root.value("venue").toString();
    race = root.value("race_no").toInt();
    date = QDate();
    plays.clear();
    for (const QJsonValue &wayPoint : wayPoints)
        plays.push_back(playFrom(wayPoint.toObject()));
    return true;
}

QStringList RunChartData::cameras() const
{
    QStringList names;
    for (const Play &play : plays)
        for (const Arrival &arrival : play.arrivals)
            if (!names.contains(arrival.camera))
                names << arrival.camera;
    return names;
}

int RunChartData::medianSpreadMsec() const
{
    std::vector<int> spreads;
    for (const Play &play : plays)
        if (play.slowest >= 0)
            spreads.push_back(play.spreadMsec);
    if (spreads.empty())
        return 0;
    std::sort(spreads.begin(), spreads.end());
    const size_t middle = spreads.size() / 2;
    if (spreads.size() % 2)
        return spreads[middle];
    return (spreads[middle - 1] + spreads[middle]) / 2;
}

int RunChartData::maxArrivalMsec() const
{
    int latest = 0;
    for (const Play &play : plays)
        if (play.slowest >= 0)
            latest = std::max(latest, play.arrivals[size_t(play.slowest)].msec);
    return latest;
}
