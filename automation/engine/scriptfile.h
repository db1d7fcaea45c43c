#pragma once

#include "automation/engine/raceparameters.h"
#include "store/cameradatastore.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// The automation script: race parameters plus the waypoint entries of the cameras that take
// part in auto-play, as one indented JSON object. A run report has the same layout with more
// keys, so it loads as a script.
namespace ScriptFile {

using SourceFlags = CameraDataStore::SourceFlags;
using Entries = std::map<int32_t, WayPointEntry>;

// The document SAVE writes: nodes of cameras whose flag is not 1 are left out.
QByteArray toJson(const RaceParameters &race, const Entries &entries, const SourceFlags &flags);

// Writes the set-up and the store's entries to path. The file is replaced only once the new
// one is complete; on failure error says why and the old file is as it was.
bool save(const QString &path, const RaceParameters &race, QString &error);

// The whole file; false, with the reason in error, when it cannot be read.
bool readFile(const QString &path, QByteArray &data, QString &error);

// The document of a script or report; false, with the reason in error, when it is not JSON.
bool parseDocument(const QByteArray &data, QJsonDocument &document, QString &error);

// One camera position of the file, under its waypoint number (-1 when the file gives none).
struct Filing
{
    int32_t wayPoint = -1;
    WayPointNode node;
};

// A parsed script, not yet applied to anything.
struct Script
{
    RaceParameters race;
    std::vector<Filing> filings; // in file order
};

// Reads a whole document into script, whose race holds the values that keys which are absent
// or of another type leave alone. False, with the reason in error, when the document is not a
// well-formed script; script is then partly filled and must not be used. The numbers read are
// held to the bounds the form gives typed values.
bool parse(const QByteArray &data, Script &script, QString &error);

// What a load leaves for the form besides the parameters and the store.
struct LoadResult
{
    std::set<std::string> sourcesToAssign; // offered cameras named in the file, byte-wise
    SourceFlags flags;                     // every camera named in the file: 1 offered, else 0
};

// Files every position of a parsed script into the store.
LoadResult fileInStore(const Script &script,
                       const std::function<bool(const std::string &)> &isOffered);

// The number conversions of the format, exposed for their edge cases.
int32_t wholeNumber(double value); // not whole or outside int32: 0
int32_t truncated(double value);   // toward zero; outside int32: the int32 minimum

} // namespace ScriptFile
