#pragma once

#include "automation/raceparameters.h"
#include "store/cameradatastore.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <string>

// The automation script: race parameters plus the waypoint entries of the cameras that take
// part in auto-play, as one indented JSON object. A run report has the same layout with more
// keys, so it loads as a script. Nothing here reports an error to the operator.
namespace ScriptFile {

using SourceFlags = CameraDataStore::SourceFlags;
using Entries = std::map<int32_t, WayPointEntry>;

// The document SAVE writes: nodes of cameras whose flag is not 1 are left out.
QByteArray toJson(const RaceParameters &race, const Entries &entries, const SourceFlags &flags);

// Writes the set-up and the store's entries to path; false (nothing written) when the path is
// empty or cannot be opened.
bool save(const QString &path, const RaceParameters &race);

// The whole file; false when it cannot be opened.
bool readFile(const QString &path, QByteArray &data);

// What a load leaves for the form besides the parameters and the store.
struct LoadResult
{
    std::set<std::string> sourcesToAssign; // offered cameras named in the file, byte-wise
    SourceFlags flags;                     // every camera named in the file: 1 offered, else 0
};

// Reads the document into race (which holds the reset set-up: keys that are absent or of
// another type leave their field alone) and files every node into the store. A document
// that does not parse reads as one without keys.
LoadResult load(const QByteArray &data, RaceParameters &race,
                const std::function<bool(const std::string &)> &isOffered);

// The number conversions of the format, exposed for their edge cases.
int32_t wholeNumber(double value); // not whole or outside int32: 0
int32_t truncated(double value);   // toward zero; outside int32: the int32 minimum

} // namespace ScriptFile
