#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>
#include <optional>

#include "platform/net/http_transport.h"

class QTimer;

class QEventLoop;

namespace platform {

class UiGate;

struct FetchResult {
    enum class Status {
        Ok,               // a 2xx answer; `text` is its body (possibly empty)
        Failed,           // no connection, connection reset, protocol error
        TimedOut,         // silence or total time over the limit
        HttpError,        // a status other than 2xx
        TooLarge,         // the body went over the cap
        RedirectRefused,  // a redirect to another scheme, or too many redirects
        Abandoned,        // the caller gave the request up (its window closed)
    };
    Status status = Status::Failed;
    QString text;
    int httpStatus = 0;
    QString error;

    bool ok() const { return status == Status::Ok; }
};

// No answer of any service the program talks to comes near this; a larger one is a failure.
inline constexpr qint64 kMaxBodyBytes = qint64{16} * 1024 * 1024;

struct FetchOptions {
    std::chrono::milliseconds totalLimit{60000};
    qint64 maxBodyBytes = kMaxBodyBytes;
    const char* fallbackCharset = "GB18030";  // used when the answer names no charset
    QList<QPair<QByteArray, QByteArray>> headers;
    int maxRedirects = 5;  // followed within the same scheme only
};

// What one hop of a fetch (one request, up to its answer or its end) came to.
struct HopFacts {
    int httpStatus = 0;  // 0: no HTTP status arrived
    TransferError error = TransferError::None;
    std::optional<QUrl> location;  // the redirect target, resolved against the hop's address
    qint64 bytesReceived = 0;      // body bytes the server sent, or offered when cut off
    qint64 declaredLength = -1;    // the Content-Length header; -1 without one
    bool deadlinePassed = false;   // the fetch's total time ran out during the hop
    bool abandoned = false;        // the caller gave the request up during the hop
};

// How a hop ends the fetch: with a status, or by following a redirect to `next`.
struct HopOutcome {
    std::optional<FetchResult::Status> status;  // nullopt: follow `next`
    QUrl next;
};

// The rules of a fetch, without a network: classifies a hop from its facts. `hop` counts
// the redirects followed before it; `first` is the fetch's first address, whose scheme a
// redirect must keep. In order: abandoned, too large, timed out (also a cancelled or
// timed-out transfer), a redirect (followed within the scheme and the limit, refused
// otherwise), an HTTP status outside 2xx, a network error, else Ok.
HopOutcome classifyHop(const HopFacts& facts, const FetchOptions& options, int hop,
                       const QUrl& first);

// An http or https address that can be asked for.
bool isFetchableUrl(const QUrl& url);

// One HTTP GET that does not wait: the answer comes as finished(), exactly once per start(),
// always from the event loop (never from within start() or abort()). The total time is bounded
// by a timer of its own (a server that drips a byte now and then cannot hold it), the body is
// capped while it is read, and a redirect is followed only within the same scheme and up to a
// limit. Any number can run side by side while the event loop goes on. `network` must outlive
// the fetch.
class AsyncFetch : public QObject {
    Q_OBJECT
public:
    explicit AsyncFetch(HttpTransport* network, QObject* parent = nullptr);
    // A fetch still running ends here, its connection closed, without a finished().
    ~AsyncFetch() override;

    // Starts fetching `url`; a fetch still running is ended first, without its finished(). An
    // address that cannot be asked for (isFetchableUrl) ends as Failed, sending nothing.
    void start(const QUrl& url, const FetchOptions& options);
    // From start() until finished() is emitted.
    bool isRunning() const { return running_; }

public slots:
    // Gives the running fetch up: its connection is closed at once, and finished() follows
    // from the event loop with Abandoned. Does nothing when no fetch runs.
    void abort();

signals:
    // The receiver may delete the fetch.
    void finished(const platform::FetchResult& result);

private:
    void startHop(const QUrl& target);
    // Called from the transfer's events: what they found, read as it comes.
    void drain();
    void onLength(qint64 length);
    // Ends the transfer by a rule of ours; what arrives later is not read.
    void stop();
    // The hop is over (its transfer finished or never started): its end is read from the
    // event loop, outside the transfer's own events.
    void hopEnded();
    void readHop();

    HttpTransport* network_;
    QTimer* deadline_;  // the total time, redirects included
    QUrl first_;
    QUrl target_;
    FetchOptions options_;
    QByteArray fallbackCharset_;  // options_.fallbackCharset, kept for as long as the fetch runs
    int hopNumber_ = 0;
    quint64 runs_ = 0;  // start() calls: an end posted for an earlier fetch is dropped
    bool running_ = false;
    bool abandoned_ = false;

    // The hop under way.
    std::unique_ptr<Transfer> transfer_;  // ends before everything its events use
    HopFacts facts_;
    QByteArray body_;
    QByteArray contentType_;
    QString errorText_;
    bool stopped_ = false;  // aborted by a rule of ours
    bool ending_ = false;   // its end is posted
};

// One HTTP GET under the same rules as AsyncFetch, which the caller waits for.
//
// BlockHandlers: the caller waits; the window keeps painting, but no handler of the program
// runs meanwhile: input, timer ticks and close requests wait until the request is over.
// KeepResponsive: the caller waits while the user interface handles events as usual;
// `abandon()` ends the wait at once.
class HttpFetch : public QObject {
    Q_OBJECT
public:
    enum class Wait { BlockHandlers, KeepResponsive };

    HttpFetch(HttpTransport* network, UiGate* gate, QObject* parent = nullptr);

    FetchResult get(const QUrl& url, const FetchOptions& options, Wait wait);

public slots:
    void abandon();

signals:
    void abandonRequested();

private:
    // Runs `loop` until it is quit; with BlockHandlers, no handler of the windows runs meanwhile.
    void waitIn(QEventLoop& loop, Wait wait);

    HttpTransport* network_;
    QPointer<UiGate> gate_;
    bool abandoned_ = false;
};

// The Internet transfer control of the main window: a blocking GET whose answer is GBK text
// unless the response names its charset.
class Inet {
public:
    Inet(HttpTransport* network, UiGate* gate, qint64 maxBodyBytes)
        : network_(network), gate_(gate), maxBodyBytes_(maxBodyBytes) {}

    FetchResult OpenURL(const QUrl& url, std::chrono::milliseconds limit);

private:
    HttpTransport* network_;
    UiGate* gate_;
    qint64 maxBodyBytes_;
};

}  // namespace platform
