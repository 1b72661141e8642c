#include "platform/net/fetch_queue.h"

#include <QPointer>
#include <utility>

namespace platform {

FetchQueue::FetchQueue(HttpTransport* network, FetchOptions options, int concurrency,
                       QObject* parent)
    : QObject(parent),
      network_(network),
      options_(std::move(options)),
      fallbackCharset_(options_.fallbackCharset),
      concurrency_(std::max(1, concurrency)) {
    options_.fallbackCharset = fallbackCharset_.isNull() ? nullptr : fallbackCharset_.constData();
}

FetchQueue::~FetchQueue() {
    stop();
}

void FetchQueue::add(const QList<Job>& jobs) {
    if (!isBusy()) {
        done_ = 0;
        total_ = 0;
    }
    waiting_ += jobs;
    total_ += static_cast<int>(jobs.size());
    startWaiting();
}

void FetchQueue::stop() {
    ++stops_;
    waiting_.clear();
    // Deleted at once, each closes its connection and emits nothing more. A fetch whose
    // answer is being delivered has already left the list.
    const QList<AsyncFetch*> running = std::exchange(running_, {});
    qDeleteAll(running);
    done_ = 0;
    total_ = 0;
}

void FetchQueue::startWaiting() {
    while (running_.size() < concurrency_ && !waiting_.isEmpty()) {
        const Job job = waiting_.takeFirst();
        auto* fetch = new AsyncFetch(network_, this);
        connect(fetch, &AsyncFetch::finished, this,
                [this, fetch, key = job.key](const FetchResult& result) {
                    jobEnded(fetch, key, result);
                });
        running_.append(fetch);
        fetch->start(job.url, options_);  // never answers from within start()
    }
}

void FetchQueue::jobEnded(AsyncFetch* fetch, const QString& key, const FetchResult& result) {
    running_.removeOne(fetch);
    fetch->deleteLater();
    ++done_;
    // The next one starts before the answer is delivered: a receiver that waits (a message
    // box) holds up no other job.
    startWaiting();
    const QPointer<FetchQueue> self(this);
    const quint64 stops = stops_;
    const int done = done_;
    const int total = total_;
    emit answered(key, result);
    if (!self || stops != stops_) {
        return;  // a receiver deleted or stopped the queue
    }
    emit progress(done, total);
}

}  // namespace platform
