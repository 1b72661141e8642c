#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <optional>

#include "parcels/parcel_state.h"
#include "parcels/parcels_file.h"
#include "platform/environment.h"

namespace history {
class NumberHistory;
}
namespace platform {
class FetchQueue;
struct FetchResult;
class Timer;
}  // namespace platform

namespace watch {

// Follows every parcel of the history: refreshes them together (at most four requests at
// once, each with the main query's limits), and, while watching is armed, refreshes those
// not yet signed for at an interval in the background. What each parcel's last answer said,
// and the settings, are kept in the list's own file beside the history file; the history
// file itself is only read. A parcel whose answer has more lines than the last one seen has
// moved: the change alert follows (ts.mp3 and a notice), as for the main window's query.
class ParcelWatch : public QObject {
    Q_OBJECT
public:
    // How many requests are in flight at most.
    static constexpr int kConcurrency = 4;

    // `saved` is what the list's file held (see readSaved). Armed settings start the watch.
    ParcelWatch(const platform::Environment& env, const history::NumberHistory* history,
                parcels::ParcelsState saved, QObject* parent = nullptr);
    ~ParcelWatch() override;

    // The list's file in `programFolder`; the empty state when it is missing or damaged.
    static parcels::ParcelsState readSaved(const QString& programFolder);

    // The history's entries, in its order (read again by reloadHistory()).
    const QStringList& entries() const { return entries_; }
    // What the last query of the entry's parcel said; nullopt for one never queried.
    std::optional<parcels::ParcelRecord> record(const QString& entry) const;
    std::optional<parcels::ParcelRecord> record(const parcels::ParcelKey& key) const;
    parcels::WatchSettings settings() const { return state_.watch; }

    // Queries every parcel of the history; a refresh under way goes on.
    void refreshAll();
    // Queries the parcels not yet signed for (the watch's round).
    void refreshUnsigned();
    // Stops the refresh: what is in flight is closed, what waits is dropped.
    void stop();
    bool isRefreshing() const;

    // Arms or disarms the background refresh, at `minutes` (brought within 10 to 360).
    void setWatch(bool armed, int minutes);
    // The timer of the watch's rounds (objectName "watchTimer").
    platform::Timer* timer() const { return timer_; }

public slots:
    // Reads the history's entries again: a number added, deleted or cleared.
    void reloadHistory();

signals:
    void entriesChanged();
    // A parcel's record changed (an answer came).
    void recordChanged(const QString& number, const QString& company);
    // `done` of `total` parcels of the refresh under way have been asked; done == total ends
    // it. A stopped refresh reports stopped().
    void progress(int done, int total);
    void stopped(int done, int total);
    void settingsChanged();
    // A parcel moved (after its alert was given).
    void moved();

private:
    void refresh(const QStringList& entries);
    void answered(const QString& jobKey, const platform::FetchResult& result);
    // Keeps what a query of the parcel read, and alerts when it moved.
    void store(const parcels::ParcelEntry& parcel, const parcels::Reading& reading);
    void alert(const parcels::ParcelEntry& parcel, const parcels::ParcelRecord& record);
    void save();

    platform::Environment env_;
    const history::NumberHistory* history_;
    QString filePath_;
    parcels::ParcelsState state_;
    QStringList entries_;
    QHash<QString, parcels::ParcelEntry> asked_;  // the parcels of the refresh, by job key
    platform::FetchQueue* queue_ = nullptr;       // made with the first refresh
    // The watch's round, held like every timer of the program while a blocking query waits.
    platform::Timer* timer_;
};

}  // namespace watch
