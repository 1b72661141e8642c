#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>

#include "base/result.h"
#include "parcels/parcel_state.h"

namespace parcels {

// The parcel list's own file, beside the history file (which the list never writes).
inline constexpr const char* kParcelsFileName = "parcels.json";

// The interval of the background refresh, in minutes.
inline constexpr int kMinWatchMinutes = 10;
inline constexpr int kMaxWatchMinutes = 360;
inline constexpr int kDefaultWatchMinutes = 30;

// `minutes` brought into kMinWatchMinutes..kMaxWatchMinutes.
int clampWatchMinutes(int minutes);

// The background refresh's settings.
struct WatchSettings {
    bool armed = false;
    int intervalMinutes = kDefaultWatchMinutes;  // always within the bounds above
};
bool operator==(const WatchSettings& a, const WatchSettings& b);
bool operator!=(const WatchSettings& a, const WatchSettings& b);

// Everything the file keeps: the settings and a record per parcel ever queried.
struct ParcelsState {
    WatchSettings watch;
    QMap<ParcelKey, ParcelRecord> parcels;
};
bool operator==(const ParcelsState& a, const ParcelsState& b);
bool operator!=(const ParcelsState& a, const ParcelsState& b);

// What the file can hold. A larger file is not read; a state that would make one is not
// written. Hundreds of parcels make a few hundred kilobytes.
inline constexpr qsizetype kMaxFileBytes = qsizetype{8} * 1024 * 1024;
inline constexpr int kMaxParcels = 10000;
// The longest number and company kept: a parcel with a longer one is left out of the file.
inline constexpr int kMaxKeyChars = 200;

// True when the file can keep the parcel's record whole: a valid query time (from 1970 to
// 9999), texts within their limits without NUL characters or halves of surrogate pairs,
// counts in range (1 to tracking::kMaxRowCount with lines, the newest line empty without),
// "moved" only with lines. What readAnswer, recordQuery and keyOfEntry give for a real
// history entry and answer always is, but for a number or company over kMaxKeyChars.
bool isStorable(const ParcelKey& key, const ParcelRecord& record);

// The file's path: the folder and the file name joined by exactly one separator.
QString parcelsFilePath(const QString& programFolder);

// The file's bytes: a JSON object in UTF-8 with a format name and version, the settings and
// the parcels in key order. A record that is not storable is left out.
QByteArray encodeParcels(const ParcelsState& state);

// The state a file holds. A file that is not this format's version (not JSON, truncated,
// another version, larger than kMaxFileBytes, more than kMaxParcels parcels, settings of
// the wrong type, ...) gives the empty state: no parcels, the default settings. Within a
// good file a parcel whose entry is not storable whole (wrong types, bad counts or texts)
// is left out alone, and of two entries with one key the first counts; an interval out of
// bounds is brought within them.
ParcelsState decodeParcels(QByteArrayView bytes);

// Reads the file; a missing, unreadable, too large or damaged file gives the empty state.
ParcelsState readParcelsFile(const QString& path);

// Replaces the file with the state, through a temporary file (a crash or a full disk leaves
// the previous file whole). Fails with the reason when the file cannot be written or the
// state would be larger than the file can hold.
base::Result writeParcelsFile(const QString& path, const ParcelsState& state);

}  // namespace parcels
