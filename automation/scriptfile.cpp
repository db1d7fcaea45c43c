#include "automation/scriptfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>
#include <limits>

namespace ScriptFile {

namespace {

constexpr double Int32Min = std::numeric_limits<int32_t>::min();
constexpr double Int32Max = std::numeric_limits<int32_t>::max();

bool inInt32(double value)
{
    return std::isfinite(value) && value >= Int32Min && value <= Int32Max;
}

QString text(const std::string &bytes)
{
    return QString::fromStdString(bytes);
}

QJsonObject nodeObject(const WayPointNode &node)
{
    QJsonObject object;
    object.insert(QStringLiteral("src_name"), text(node.src_name));
    object.insert(QStringLiteral("ip"), text(node.ip));
    object.insert(QStringLiteral("pan_speed"), node.pan_speed);
    object.insert(QStringLiteral("tilt_speed"), node.tilt_speed);
    object.insert(QStringLiteral("pan"), node.pan);
    object.insert(QStringLiteral("tilt"), node.tilt);
    object.insert(QStringLiteral("focus"), node.focus);
    object.insert(QStringLiteral("zoom"), node.zoom);
    return object;
}

bool isEnabled(const SourceFlags &flags, const std::string &name)
{
    const auto it = flags.find(name);
    return it != flags.end() && it->second == 1;
}

QJsonArray autoPlayNodes(const Entries &entries, const SourceFlags &flags)
{
    QJsonArray wayPoints;
    for (const auto &[number, entry] : entries) {
        QJsonArray nodes;
        for (const WayPointNode &node : entry.node) {
            if (isEnabled(flags, node.src_name))
                nodes.append(nodeObject(node));
        }
        QJsonObject wayPoint;
        wayPoint.insert(QStringLiteral("preset"), number);
        wayPoint.insert(QStringLiteral("node"), nodes);
        wayPoints.append(wayPoint);
    }
    return wayPoints;
}

// ---- reading ----

// A 16-bit field takes the low 16 bits of the converted number.
void readField(const QJsonObject &object, const char *key, int32_t (*convert)(double),
               int16_t &field)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isDouble())
        field = int16_t(uint16_t(uint32_t(convert(value.toDouble())) & 0xFFFFu));
}

void readInt(const QJsonObject &object, const char *key, int32_t &field)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isDouble())
        field = wholeNumber(value.toDouble());
}

void readText(const QJsonObject &object, const char *key, std::string &field)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isString())
        field = value.toString().toStdString();
}

void readParameters(const QJsonObject &root, RaceParameters &race)
{
    readField(root, "loop_count", wholeNumber, race.loopCount);
    readText(root, "venue", race.venue);
    readField(root, "race_no", truncated, race.currentRace);
    readField(root, "total_no_race", truncated, race.totalRaces);
    readField(root, "race_length", wholeNumber, race.raceLength);
    readField(root, "total_wp_no", truncated, race.totalWayPoints);
    readField(root, "way_pt_no", truncated, race.setupWayPoint);
    readField(root, "start_wp", truncated, race.startWayPoint);
    readField(root, "end_wp", truncated, race.endWayPoint);
}

WayPointNode readNode(const QJsonObject &object)
{
    WayPointNode node;
    readText(object, "src_name", node.src_name);
    readInt(object, "pan", node.pan);
    readInt(object, "tilt", node.tilt);
    readInt(object, "focus", node.focus);
    readInt(object, "zoom", node.zoom);
    const QJsonValue delta = object.value(QLatin1String("delta"));
    if (delta.isDouble())
        node.delta = float(delta.toDouble());
    return node;
}

void fileNode(const WayPointNode &node, int32_t number, LoadResult &result,
              const std::function<bool(const std::string &)> &isOffered)
{
    if (isOffered(node.src_name)) {
        result.sourcesToAssign.insert(node.src_name);
        result.flags.emplace(node.src_name, 1);
    } else {
        result.flags.emplace(node.src_name, 0);
    }
    WayPoint position;
    position.pan = node.pan;
    position.tilt = node.tilt;
    position.focus = node.focus;
    position.zoom = node.zoom;
    position.delta = node.delta;
    // The store finds the camera's address itself and starts the speeds afresh, so the file's
    // "ip" and speeds do not reach the set-up.
    CameraDataStore &store = CameraDataStore::instance();
    bool added = false;
    store.upsertWayPointNode(node.src_name, number, position, added);
    store.setCameraWayPoint(node.src_name, number, position);
}

void readWayPoints(const QJsonArray &wayPoints, LoadResult &result,
                   const std::function<bool(const std::string &)> &isOffered)
{
    for (const QJsonValue &element : wayPoints) {
        const QJsonObject wayPoint = element.toObject();
        int32_t number = -1;
        readInt(wayPoint, "preset", number);
        const QJsonValue nodes = wayPoint.value(QLatin1String("node"));
        if (!nodes.isArray())
            continue;
        for (const QJsonValue &node : nodes.toArray())
            fileNode(readNode(node.toObject()), number, result, isOffered);
    }
}

} // namespace

int32_t wholeNumber(double value)
{
    if (!inInt32(value) || std::trunc(value) != value)
        return 0;
    return int32_t(value);
}

int32_t truncated(double value)
{
    if (!inInt32(std::trunc(value)))
        return std::numeric_limits<int32_t>::min();
    return int32_t(std::trunc(value));
}

QByteArray toJson(const RaceParameters &race, const Entries &entries, const SourceFlags &flags)
{
    QJsonObject root;
    root.insert(QStringLiteral("version"), 1.0);
    root.insert(QStringLiteral("loop_count"), race.loopCount);
    root.insert(QStringLiteral("venue"), text(race.venue));
    root.insert(QStringLiteral("race_no"), race.currentRace);
    root.insert(QStringLiteral("total_no_race"), race.totalRaces);
    root.insert(QStringLiteral("race_length"), race.raceLength);
    root.insert(QStringLiteral("total_wp_no"), race.totalWayPoints);
    root.insert(QStringLiteral("way_pt_no"), race.setupWayPoint);
    root.insert(QStringLiteral("start_wp"), race.startWayPoint);
    root.insert(QStringLiteral("end_wp"), race.endWayPoint);
    root.insert(QStringLiteral("autoPlayNode"), autoPlayNodes(entries, flags));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool save(const QString &path, const RaceParameters &race)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    CameraDataStore &store = CameraDataStore::instance();
    file.write(toJson(race, store.copyWayPointEntries(), store.getAutoPlaySources()));
    return true;
}

bool readFile(const QString &path, QByteArray &data)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    data = file.readAll();
    return true;
}

LoadResult load(const QByteArray &data, RaceParameters &race,
                const std::function<bool(const std::string &)> &isOffered)
{
    // A parse error leaves a null document, whose object has no keys.
    const QJsonObject root = QJsonDocument::fromJson(data).object();
    readParameters(root, race);
    LoadResult result;
    const QJsonValue wayPoints = root.value(QLatin1String("autoPlayNode"));
    if (wayPoints.isArray())
        readWayPoints(wayPoints.toArray(), result, isOffered);
    return result;
}

} // namespace ScriptFile
