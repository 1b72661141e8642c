#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include "platform/net/http_fetch.h"

namespace platform {

// Fetches a list of addresses, at most `concurrency` at once, each as an AsyncFetch with the
// same options, started in the order given. The event loop goes on meanwhile, and a server
// that never answers holds only its own place, until its time limit. `network` must outlive
// the queue.
class FetchQueue : public QObject {
    Q_OBJECT
public:
    struct Job {
        QString key;  // names the job in answered()
        QUrl url;
    };

    explicit FetchQueue(HttpTransport* network, FetchOptions options = {}, int concurrency = 4,
                        QObject* parent = nullptr);
    // Ends the jobs under way (their connections closed) and drops those waiting, silently.
    ~FetchQueue() override;

    // Queues the jobs behind those waiting and starts as many as there is room for. Allowed
    // while jobs run: they join the round under way. Called when none runs or waits, it starts
    // a new round (done() and total() count from zero again).
    void add(const QList<Job>& jobs);
    // Ends the jobs under way (their connections closed at once) and drops those waiting: no
    // answered() or progress() comes after it, until jobs are added again.
    void stop();

    bool isBusy() const { return !running_.isEmpty() || !waiting_.isEmpty(); }
    int done() const { return done_; }
    int total() const { return total_; }

signals:
    // Once for every job, as it ends, with the status AsyncFetch gave it; an address that
    // cannot be fetched ends as Failed at once.
    void answered(const QString& key, const platform::FetchResult& result);
    // After each answered(): the round's jobs ended and given; done == total ends the round.
    void progress(int done, int total);

private:
    void startWaiting();
    void jobEnded(AsyncFetch* fetch, const QString& key, const FetchResult& result);

    HttpTransport* network_;
    FetchOptions options_;
    QByteArray fallbackCharset_;  // what options_.fallbackCharset points to
    int concurrency_;
    QList<Job> waiting_;
    QList<AsyncFetch*> running_;  // children of the queue
    int done_ = 0;
    int total_ = 0;
    quint64 stops_ = 0;  // stop() calls: a receiver that stopped the queue is noticed
};

}  // namespace platform
