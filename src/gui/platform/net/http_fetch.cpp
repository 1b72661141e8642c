#include "platform/net/http_fetch.h"

#include <QEventLoop>
#include <QTimer>

#include "platform/controls/gate.h"
#include "platform/text_codec.h"

namespace platform {

HttpFetch::HttpFetch(HttpTransport* network, UiGate* gate, QObject* parent)
    : QObject(parent), network_(network), gate_(gate) {}

void HttpFetch::abandon() {
    abandoned_ = true;
    emit abandonRequested();
}

bool isFetchableUrl(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

HopOutcome classifyHop(const HopFacts& facts, const FetchOptions& options, int hop,
                       const QUrl& first) {
    using Status = FetchResult::Status;
    if (facts.abandoned) {
        return {Status::Abandoned, {}};
    }
    if (facts.bytesReceived > options.maxBodyBytes || facts.declaredLength > options.maxBodyBytes) {
        return {Status::TooLarge, {}};
    }
    // Qt 6.4 reports a transfer time-out as an aborted transfer, later versions as a
    // time-out: both are the same thing here.
    if (facts.deadlinePassed || facts.error == TransferError::Aborted ||
        facts.error == TransferError::TimedOut) {
        return {Status::TimedOut, {}};
    }
    if (facts.httpStatus >= 300 && facts.httpStatus <= 399 && facts.location) {
        // Followed within the same scheme and up to the limit; never to another scheme.
        const QUrl& next = *facts.location;
        if (hop < options.maxRedirects && next.scheme() == first.scheme() && isFetchableUrl(next)) {
            return {std::nullopt, next};
        }
        return {Status::RedirectRefused, {}};
    }
    if (facts.httpStatus != 0 && (facts.httpStatus < 200 || facts.httpStatus > 299)) {
        return {Status::HttpError, {}};
    }
    if (facts.error != TransferError::None) {
        return {Status::Failed, {}};
    }
    return {Status::Ok, {}};
}

struct HttpFetch::Hop {
    HopFacts facts;
    QByteArray body;
    QByteArray contentType;
    QString errorText;
};

// What a finished transfer says beyond its body.
void HttpFetch::readEnd(const TransferEnd& end, const QUrl& target, Hop& hop) {
    hop.facts.httpStatus = end.httpStatus;
    hop.facts.error = end.error;
    if (end.location) {
        hop.facts.location = target.resolved(QUrl::fromEncoded(*end.location));
    }
    hop.errorText = end.errorText;
    hop.contentType = end.contentType;
}

HttpFetch::Hop HttpFetch::runHop(const QUrl& target, const FetchOptions& options, Wait wait,
                                 QTimer& deadline) {
    Hop hop;
    QObject scope;  // every connection below ends with this hop
    QEventLoop loop;
    bool stopped = false;  // aborted by a rule of ours: what arrives later is not read
    std::unique_ptr<Transfer> transfer;  // ends before everything its events use

    const auto stop = [&] {
        stopped = true;
        transfer->abort();
    };
    const auto drain = [&] {
        if (stopped || !transfer->isOpen()) {
            return;
        }
        const qint64 available = transfer->bytesAvailable();
        if (available > options.maxBodyBytes - hop.body.size()) {
            hop.facts.bytesReceived = hop.body.size() + available;
            stop();
            return;
        }
        hop.body += transfer->readAll();
        hop.facts.bytesReceived = hop.body.size();
    };
    TransferEvents events;
    events.bodyArrived = drain;
    events.lengthDeclared = [&](qint64 length) {
        hop.facts.declaredLength = length;
        if (length > options.maxBodyBytes) {
            stop();
        }
    };
    events.finished = [&] { loop.quit(); };
    transfer = network_->get({target, options.totalLimit, options.headers}, std::move(events));
    if (!transfer) {
        hop.facts.error = TransferError::Other;
        hop.errorText = QStringLiteral("no network");
        return hop;
    }

    watchLimits(deadline, scope, hop, stop);

    if (!transfer->isFinished()) {
        waitIn(loop, wait);
    }
    drain();
    readEnd(transfer->end(), target, hop);
    hop.facts.abandoned = hop.facts.abandoned || abandoned_;
    return hop;
}

void HttpFetch::watchLimits(QTimer& deadline, QObject& scope, Hop& hop,
                            const std::function<void()>& stop) {
    connect(&deadline, &QTimer::timeout, &scope, [&hop, stop] {
        hop.facts.deadlinePassed = true;
        stop();
    });
    connect(this, &HttpFetch::abandonRequested, &scope, [&hop, stop] {
        hop.facts.abandoned = true;
        stop();
    });
    if (!deadline.isActive()) {
        hop.facts.deadlinePassed = true;
        stop();
    }
}

void HttpFetch::waitIn(QEventLoop& loop, Wait wait) {
    if (wait == Wait::BlockHandlers) {
        UiGate::Hold hold(gate_);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        loop.exec();
    }
}

FetchResult HttpFetch::get(const QUrl& url, const FetchOptions& options, Wait wait) {
    FetchResult result;
    if (!isFetchableUrl(url)) {
        result.status = FetchResult::Status::Failed;
        result.error = QStringLiteral("unusable address");
        return result;
    }
    if (abandoned_) {
        result.status = FetchResult::Status::Abandoned;
        return result;
    }

    // One deadline for the whole transfer, redirects included: a server that drips a byte
    // now and then cannot hold it, as the silence time-out alone would let it.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(static_cast<int>(options.totalLimit.count()));

    QUrl target = url;
    for (int hopNumber = 0;; ++hopNumber) {
        const Hop hop = runHop(target, options, wait, deadline);
        const HopOutcome outcome = classifyHop(hop.facts, options, hopNumber, url);
        result.httpStatus = hop.facts.httpStatus;
        result.error = hop.errorText;
        if (!outcome.status) {
            target = outcome.next;
            continue;
        }
        result.status = *outcome.status;
        if (result.ok()) {
            result.error.clear();
            result.text = decodeBody(hop.body, hop.contentType, options.fallbackCharset);
        }
        return result;
    }
}

FetchResult Inet::OpenURL(const QUrl& url, std::chrono::milliseconds limit) {
    FetchOptions options;
    options.totalLimit = limit;
    options.maxBodyBytes = maxBodyBytes_;
    options.fallbackCharset = "GB18030";
    HttpFetch fetch(network_, gate_);
    return fetch.get(url, options, HttpFetch::Wait::BlockHandlers);
}

}  // namespace platform
