#include "parcels/parcels_file.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "base/atomic_file.h"
#include "tracking/answer.h"

namespace parcels {

namespace {

constexpr QLatin1String kFormatName("trackoro-parcels");
constexpr int kFormatVersion = 1;

// The last millisecond of the year 9999, UTC.
constexpr qint64 kMaxQueryTime = Q_INT64_C(253402300799999);

// The statuses as the file names them: fixed words, whatever the column says.
constexpr std::array<std::pair<Status, QLatin1String>, 9> kStatusNames{{
    {Status::Signed, QLatin1String("signed")},
    {Status::Delivering, QLatin1String("delivering")},
    {Status::InTransit, QLatin1String("in-transit")},
    {Status::NoInformation, QLatin1String("no-information")},
    {Status::NotFound, QLatin1String("not-found")},
    {Status::BadFormat, QLatin1String("bad-format")},
    {Status::Unsupported, QLatin1String("unsupported")},
    {Status::TimedOut, QLatin1String("timed-out")},
    {Status::Failed, QLatin1String("failed")},
}};

QLatin1String statusName(Status status) {
    for (const auto& [value, name] : kStatusNames) {
        if (value == status) {
            return name;
        }
    }
    return QLatin1String("failed");
}

std::optional<Status> statusNamed(const QString& name) {
    for (const auto& [value, known] : kStatusNames) {
        if (name == known) {
            return value;
        }
    }
    return std::nullopt;
}

// At most `limit` characters, none of them NUL or half of a surrogate pair.
bool isKeptText(const QString& text, int limit) {
    if (text.size() > limit) {
        return false;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull()) {
            return false;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return false;
        }
    }
    return true;
}

// A JSON number that is a whole number from `low` to `high`.
std::optional<qint64> wholeNumber(const QJsonValue& value, qint64 low, qint64 high) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high)) ||
        number != std::floor(number)) {
        return std::nullopt;
    }
    return static_cast<qint64>(number);
}

QJsonObject parcelObject(const ParcelKey& key, const ParcelRecord& record) {
    QJsonObject object;
    object.insert(QLatin1String("number"), key.number);
    object.insert(QLatin1String("company"), key.company);
    object.insert(QLatin1String("status"), statusName(record.status));
    object.insert(QLatin1String("time"), record.newest.time);
    object.insert(QLatin1String("progress"), record.newest.progress);
    object.insert(QLatin1String("lines"), record.lineCount);
    object.insert(QLatin1String("queried"), record.queriedAt.toMSecsSinceEpoch());
    object.insert(QLatin1String("moved"), record.moved);
    return object;
}

// One entry of the parcels' list, when every field is there with its type and the record
// is storable.
std::optional<std::pair<ParcelKey, ParcelRecord>> parcelFrom(const QJsonValue& value) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    const QJsonValue number = object.value(QLatin1String("number"));
    const QJsonValue company = object.value(QLatin1String("company"));
    const QJsonValue time = object.value(QLatin1String("time"));
    const QJsonValue progress = object.value(QLatin1String("progress"));
    const QJsonValue moved = object.value(QLatin1String("moved"));
    if (!number.isString() || !company.isString() || !time.isString() || !progress.isString() ||
        !moved.isBool()) {
        return std::nullopt;
    }
    const std::optional<Status> status =
        statusNamed(object.value(QLatin1String("status")).toString());
    const std::optional<qint64> lines =
        wholeNumber(object.value(QLatin1String("lines")), 0, tracking::kMaxRowCount);
    const std::optional<qint64> queried =
        wholeNumber(object.value(QLatin1String("queried")), 0, kMaxQueryTime);
    if (!status || !lines || !queried) {
        return std::nullopt;
    }
    ParcelKey key{number.toString(), company.toString()};
    ParcelRecord record;
    record.status = *status;
    record.newest = {time.toString(), progress.toString()};
    record.lineCount = static_cast<int>(*lines);
    record.queriedAt = QDateTime::fromMSecsSinceEpoch(*queried, Qt::UTC);
    record.moved = moved.toBool();
    if (!isStorable(key, record)) {
        return std::nullopt;
    }
    return std::make_pair(std::move(key), std::move(record));
}

}  // namespace

int clampWatchMinutes(int minutes) {
    return std::clamp(minutes, kMinWatchMinutes, kMaxWatchMinutes);
}

bool operator==(const WatchSettings& a, const WatchSettings& b) {
    return a.armed == b.armed && a.intervalMinutes == b.intervalMinutes;
}

bool operator!=(const WatchSettings& a, const WatchSettings& b) {
    return !(a == b);
}

bool operator==(const ParcelsState& a, const ParcelsState& b) {
    return a.watch == b.watch && a.parcels == b.parcels;
}

bool operator!=(const ParcelsState& a, const ParcelsState& b) {
    return !(a == b);
}

bool isStorable(const ParcelKey& key, const ParcelRecord& record) {
    if (!isKeptText(key.number, kMaxKeyChars) || !isKeptText(key.company, kMaxKeyChars) ||
        !isKeptText(record.newest.time, kMaxTimeChars) ||
        !isKeptText(record.newest.progress, kMaxProgressChars)) {
        return false;
    }
    if (!record.queriedAt.isValid()) {
        return false;
    }
    const qint64 queried = record.queriedAt.toMSecsSinceEpoch();
    if (queried < 0 || queried > kMaxQueryTime) {
        return false;
    }
    if (record.lineCount < 0 || record.lineCount > tracking::kMaxRowCount) {
        return false;
    }
    if (record.lineCount == 0 &&
        (!record.newest.time.isEmpty() || !record.newest.progress.isEmpty())) {
        return false;
    }
    if (hasLines(record.status) && record.lineCount == 0) {
        return false;
    }
    return !record.moved || hasLines(record.status);
}

QString parcelsFilePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kParcelsFileName));
}

QByteArray encodeParcels(const ParcelsState& state) {
    QJsonObject watch;
    watch.insert(QLatin1String("armed"), state.watch.armed);
    watch.insert(QLatin1String("interval"), clampWatchMinutes(state.watch.intervalMinutes));
    QJsonArray parcels;
    for (auto it = state.parcels.cbegin(); it != state.parcels.cend(); ++it) {
        if (isStorable(it.key(), it.value())) {
            parcels.append(parcelObject(it.key(), it.value()));
        }
    }
    QJsonObject root;
    root.insert(QLatin1String("format"), kFormatName);
    root.insert(QLatin1String("version"), kFormatVersion);
    root.insert(QLatin1String("watch"), watch);
    root.insert(QLatin1String("parcels"), parcels);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ParcelsState decodeParcels(QByteArrayView bytes) {
    if (bytes.size() > kMaxFileBytes) {
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return {};
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != kFormatName ||
        wholeNumber(root.value(QLatin1String("version")), kFormatVersion, kFormatVersion) ==
            std::nullopt) {
        return {};
    }
    const QJsonValue watch = root.value(QLatin1String("watch"));
    const QJsonValue list = root.value(QLatin1String("parcels"));
    if (!watch.isObject() || !list.isArray()) {
        return {};
    }
    const QJsonValue armed = watch.toObject().value(QLatin1String("armed"));
    const QJsonValue interval = watch.toObject().value(QLatin1String("interval"));
    // Any whole number is brought within the bounds; a fraction or another type is damage.
    if (!armed.isBool() || !interval.isDouble() || !std::isfinite(interval.toDouble()) ||
        interval.toDouble() != std::floor(interval.toDouble())) {
        return {};
    }
    const QJsonArray entries = list.toArray();
    if (entries.size() > kMaxParcels) {
        return {};
    }

    ParcelsState state;
    state.watch.armed = armed.toBool();
    state.watch.intervalMinutes = static_cast<int>(
        std::clamp(interval.toDouble(), double{kMinWatchMinutes}, double{kMaxWatchMinutes}));
    for (const auto& entry : entries) {
        const std::optional<std::pair<ParcelKey, ParcelRecord>> parcel = parcelFrom(entry);
        if (parcel && !state.parcels.contains(parcel->first)) {
            state.parcels.insert(parcel->first, parcel->second);
        }
    }
    return state;
}

ParcelsState readParcelsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // One byte over the limit is enough to know the file is too large.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return {};
    }
    return decodeParcels(bytes);
}

base::Result writeParcelsFile(const QString& path, const ParcelsState& state) {
    int kept = 0;
    for (auto it = state.parcels.cbegin(); it != state.parcels.cend(); ++it) {
        kept += isStorable(it.key(), it.value()) ? 1 : 0;
    }
    if (kept > kMaxParcels) {
        return base::Result::failure(QStringLiteral("cannot write %1: %2 parcels, more than %3")
                                         .arg(path)
                                         .arg(kept)
                                         .arg(kMaxParcels));
    }
    const QByteArray bytes = encodeParcels(state);
    if (bytes.size() > kMaxFileBytes) {
        return base::Result::failure(
            QStringLiteral("cannot write %1: the parcels take more than %2 bytes")
                .arg(path)
                .arg(kMaxFileBytes));
    }
    return base::writeFileAtomically(path, bytes);
}

}  // namespace parcels
