#include "automation/engine/scriptfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>
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

QString tr(const char *text)
{
    return QCoreApplication::translate("ScriptFile", text);
}

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

const char *const ScriptKeys[] = {"loop_count",  "venue",       "race_no",   "total_no_race",
                                  "race_length", "total_wp_no", "way_pt_no", "start_wp",
                                  "end_wp",      "autoPlayNode"};

// Any JSON object would otherwise load as an empty set-up.
bool hasScriptKey(const QJsonObject &root)
{
    for (const char *key : ScriptKeys) {
        if (root.contains(QLatin1String(key)))
            return true;
    }
    return false;
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
    race.holdToFormBounds();
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
    readInt(object, "travel_msec", node.recordedTravelMs);
    readInt(object, "travel_speed", node.recordedTravelSpeed);
    return node;
}

bool isNamedCamera(const QJsonValue &node)
{
    const QJsonValue name = node.toObject().value(QLatin1String("src_name"));
    return node.isObject() && name.isString() && !name.toString().isEmpty();
}

// index counts the elements of "autoPlayNode" from 1, for the operator.
bool readWayPoint(const QJsonValue &element, int index, std::vector<Filing> &filings,
                  QString &error)
{
    if (!element.isObject()) {
        error = tr("waypoint entry %1 is not an object").arg(index);
        return false;
    }
    const QJsonObject wayPoint = element.toObject();
    int32_t number = -1;
    readInt(wayPoint, "preset", number);
    const QJsonValue nodes = wayPoint.value(QLatin1String("node"));
    if (nodes.isUndefined())
        return true;
    if (!nodes.isArray()) {
        error = tr("the cameras of waypoint entry %1 are not a list").arg(index);
        return false;
    }
    for (const QJsonValue &node : nodes.toArray()) {
        if (!isNamedCamera(node)) {
            error = tr("a camera of waypoint entry %1 has no name").arg(index);
            return false;
        }
        filings.push_back(Filing{number, readNode(node.toObject())});
    }
    return true;
}

bool readWayPoints(const QJsonValue &wayPoints, std::vector<Filing> &filings, QString &error)
{
    if (wayPoints.isUndefined())
        return true;
    if (!wayPoints.isArray()) {
        error = tr("its waypoint list is not a list");
        return false;
    }
    int index = 0;
    for (const QJsonValue &element : wayPoints.toArray()) {
        if (!readWayPoint(element, ++index, filings, error))
            return false;
    }
    return true;
}

void fileNode(const Filing &filing, LoadResult &result,
              const std::function<bool(const std::string &)> &isOffered)
{
    const WayPointNode &node = filing.node;
    if (isOffered(node.src_name)) {
        result.sourcesToAssign.insert(node.src_name);
        result.flags.emplace(node.src_name, 1);
    } else {
        result.flags.emplace(node.src_name, 0);
    }
    const WayPoint position = storedPosition(node);
    // The store finds the camera's address itself and starts the speeds afresh, so the file's
    // "ip" and speeds do not reach the set-up.
    CameraDataStore &store = CameraDataStore::instance();
    bool added = false;
    store.upsertWayPointNode(node.src_name, filing.wayPoint, position, added);
    store.setCameraWayPoint(node.src_name, filing.wayPoint, position);
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

bool save(const QString &path, const RaceParameters &race, QString &error)
{
    CameraDataStore &store = CameraDataStore::instance();
    const QByteArray data = toJson(race, store.copyWayPointEntries(), store.getAutoPlaySources());
    // The old file stays whole until the new one has been written out completely.
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(data) != data.size() ||
        !file.commit()) {
        error = path.isEmpty() ? tr("no file name") : file.errorString();
        return false;
    }
    return true;
}

bool readFile(const QString &path, QByteArray &data, QString &error)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        error = path.isEmpty() ? tr("no file name") : file.errorString();
        return false;
    }
    QByteArray read = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    data = read;
    return true;
}

bool parseDocument(const QByteArray &data, QJsonDocument &document, QString &error)
{
    QJsonParseError parseError;
    document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error == QJsonParseError::NoError)
        return true;
    error = tr("it is not valid JSON (%1 at byte %2)")
                .arg(parseError.errorString())
                .arg(parseError.offset);
    return false;
}

bool parse(const QByteArray &data, Script &script, QString &error)
{
    QJsonDocument document;
    if (!parseDocument(data, document, error))
        return false;
    const QJsonObject root = document.object();
    if (!document.isObject() || !hasScriptKey(root)) {
        error = tr("it is not an automation script");
        return false;
    }
    readParameters(root, script.race);
    return readWayPoints(root.value(QLatin1String("autoPlayNode")), script.filings, error);
}

LoadResult fileInStore(const Script &script,
                       const std::function<bool(const std::string &)> &isOffered)
{
    LoadResult result;
    for (const Filing &filing : script.filings)
        fileNode(filing, result, isOffered);
    return result;
}

} // namespace ScriptFile
