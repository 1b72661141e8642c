#include "watch/parcel_watch.h"

#include <QSet>
#include <QTimer>

#include "history/number_history.h"
#include "platform/controls/clock.h"
#include "platform/controls/timer.h"
#include "platform/net/fetch_queue.h"
#include "platform/system/media_player.h"
#include "platform/system/notifier.h"
#include "tracking/catalogue.h"
#include "tracking/change_notice.h"
#include "tracking/request_url.h"

namespace watch {

namespace {

constexpr int kMillisecondsPerMinute = 60 * 1000;

QString jobKey(const parcels::ParcelKey& key) {
    return key.number + QChar(u'|') + key.company;
}

parcels::FetchEnd fetchEnd(const platform::FetchResult& result) {
    switch (result.status) {
        case platform::FetchResult::Status::Ok:
            return parcels::FetchEnd::Answered;
        case platform::FetchResult::Status::TimedOut:
            return parcels::FetchEnd::TimedOut;
        default:
            return parcels::FetchEnd::Failed;
    }
}

}  // namespace

ParcelWatch::ParcelWatch(const platform::Environment& env, const history::NumberHistory* history,
                         parcels::ParcelsState saved, QObject* parent)
    : QObject(parent),
      env_(env),
      history_(history),
      filePath_(parcels::parcelsFilePath(env.programFolder)),
      state_(std::move(saved)),
      timer_(new platform::Timer(
          QStringLiteral("watchTimer"),
          parcels::clampWatchMinutes(state_.watch.intervalMinutes) * kMillisecondsPerMinute, false,
          env.gate, this)) {
    state_.watch.intervalMinutes = parcels::clampWatchMinutes(state_.watch.intervalMinutes);
    reloadHistory();
    connect(timer_, &platform::Timer::tick, this, &ParcelWatch::refreshUnsigned);
    if (state_.watch.armed) {
        timer_->setEnabled(true);
        // A watch armed in an earlier run looks at once, then at its interval.
        QTimer::singleShot(0, this, &ParcelWatch::refreshUnsigned);
    }
}

ParcelWatch::~ParcelWatch() = default;

parcels::ParcelsState ParcelWatch::readSaved(const QString& programFolder) {
    return parcels::readParcelsFile(parcels::parcelsFilePath(programFolder));
}

std::optional<parcels::ParcelRecord> ParcelWatch::record(const QString& entry) const {
    return record(parcels::keyOfEntry(entry));
}

std::optional<parcels::ParcelRecord> ParcelWatch::record(const parcels::ParcelKey& key) const {
    const auto found = state_.parcels.constFind(key);
    if (found == state_.parcels.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void ParcelWatch::reloadHistory() {
    const std::optional<QStringList> stored = history_->storedEntries();
    // A file that cannot be read is no sign that the numbers are gone.
    if (!stored) {
        return;
    }
    if (*stored != entries_) {
        entries_ = *stored;
        emit entriesChanged();
    }
    // What is kept follows the history: the records of numbers deleted go with them.
    QSet<QString> kept;
    for (const QString& entry : entries_) {
        kept.insert(jobKey(parcels::keyOfEntry(entry)));
    }
    const int before = static_cast<int>(state_.parcels.size());
    for (auto it = state_.parcels.begin(); it != state_.parcels.end();) {
        it = kept.contains(jobKey(it.key())) ? std::next(it) : state_.parcels.erase(it);
    }
    if (state_.parcels.size() != before) {
        save();
    }
}

void ParcelWatch::refreshAll() {
    refresh(entries_);
}

void ParcelWatch::refreshUnsigned() {
    QStringList due;
    for (const QString& entry : entries_) {
        const std::optional<parcels::ParcelRecord> last = record(entry);
        if (!last || last->status != parcels::Status::Signed) {
            due.append(entry);
        }
    }
    refresh(due);
}

void ParcelWatch::refresh(const QStringList& entries) {
    if (queue_ == nullptr) {
        platform::FetchOptions options;
        options.totalLimit = env_.limits.trackingTotal;
        options.maxBodyBytes = env_.limits.maxBodyBytes;
        queue_ = new platform::FetchQueue(env_.network, options, kConcurrency, this);
        connect(queue_, &platform::FetchQueue::answered, this, &ParcelWatch::answered);
        connect(queue_, &platform::FetchQueue::progress, this, &ParcelWatch::progress);
    }
    QList<platform::FetchQueue::Job> jobs;
    for (const QString& entry : entries) {
        const parcels::ParcelEntry parcel = parcels::parseEntry(entry);
        const QString key = jobKey({parcel.number, parcel.company});
        if (asked_.contains(key)) {
            continue;  // asked already in this refresh (or listed twice)
        }
        // The service cannot be asked without a number or for a courier it does not know.
        if (parcel.number.isEmpty() || parcel.courierPosition < 0) {
            parcels::Reading reading;
            reading.status =
                parcel.number.isEmpty() ? parcels::Status::BadFormat : parcels::Status::Unsupported;
            store(parcel, reading);
            continue;
        }
        asked_.insert(key, parcel);
        jobs.append({key, tracking::requestUrl(env_.addresses.tracking,
                                               tracking::courierCode(parcel.courierPosition),
                                               parcel.number)});
    }
    if (!jobs.isEmpty()) {
        queue_->add(jobs);
    }
}

void ParcelWatch::stop() {
    if (queue_ == nullptr || !queue_->isBusy()) {
        return;
    }
    const int done = queue_->done();
    const int total = queue_->total();
    queue_->stop();
    asked_.clear();
    emit stopped(done, total);
}

bool ParcelWatch::isRefreshing() const {
    return queue_ != nullptr && queue_->isBusy();
}

void ParcelWatch::answered(const QString& jobKey, const platform::FetchResult& result) {
    const auto asked = asked_.constFind(jobKey);
    if (asked == asked_.constEnd()) {
        return;
    }
    const parcels::ParcelEntry parcel = *asked;
    asked_.erase(asked);
    store(parcel, parcels::readAnswer(fetchEnd(result), result.text));
}

void ParcelWatch::store(const parcels::ParcelEntry& parcel, const parcels::Reading& reading) {
    const parcels::ParcelKey key{parcel.number, parcel.company};
    const parcels::ParcelRecord record = parcels::recordQuery(
        state_.parcels.value(key), reading, env_.clock ? env_.clock->now() : QDateTime());
    state_.parcels.insert(key, record);
    save();
    emit recordChanged(parcel.number, parcel.company);
    if (record.moved) {
        alert(parcel, record);
    }
}

void ParcelWatch::alert(const parcels::ParcelEntry& parcel, const parcels::ParcelRecord& record) {
    if (env_.player) {
        env_.player->setUrl(env_.programFile(QStringLiteral("ts.mp3")));
    }
    if (env_.notifier) {
        env_.notifier->notify(tracking::changeNotice({parcel.company, parcel.number, parcel.remark},
                                                     record.newest.time, record.newest.progress));
    }
    emit moved();
}

void ParcelWatch::setWatch(bool armed, int minutes) {
    const parcels::WatchSettings settings{armed, parcels::clampWatchMinutes(minutes)};
    if (settings == state_.watch) {
        return;
    }
    state_.watch = settings;
    timer_->setInterval(settings.intervalMinutes * kMillisecondsPerMinute);
    timer_->setEnabled(settings.armed);
    save();
    emit settingsChanged();
}

void ParcelWatch::save() {
    // What the list keeps only spares a query after a restart: a file that cannot be written
    // leaves the list and the watch working as before, and is tried again with the next
    // answer.
    parcels::writeParcelsFile(filePath_, state_);
}

}  // namespace watch
