#include "platform/net/http_fetch.h"

#include <QEventLoop>
#include <QTimer>

#include "base/text_codec.h"
#include "platform/controls/gate.h"

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

AsyncFetch::AsyncFetch(HttpTransport* network, QObject* parent)
    : QObject(parent), network_(network), deadline_(new QTimer(this)) {
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] {
        if (transfer_ && !ending_) {
            facts_.deadlinePassed = true;
            stop();
        }
    });
}

AsyncFetch::~AsyncFetch() = default;

void AsyncFetch::start(const QUrl& url, const FetchOptions& options) {
    ++runs_;
    transfer_.reset();
    running_ = true;
    abandoned_ = false;
    first_ = url;
    options_ = options;
    fallbackCharset_ = QByteArray(options.fallbackCharset);
    options_.fallbackCharset = fallbackCharset_.isNull() ? nullptr : fallbackCharset_.constData();
    hopNumber_ = 0;
    // One deadline for the whole transfer, redirects included: a server that drips a byte
    // now and then cannot hold it, as the silence time-out alone would let it.
    deadline_->start(static_cast<int>(options.totalLimit.count()));
    startHop(url);
}

void AsyncFetch::startHop(const QUrl& target) {
    target_ = target;
    facts_ = HopFacts();
    body_.clear();
    contentType_.clear();
    errorText_.clear();
    stopped_ = false;
    ending_ = false;
    if (!isFetchableUrl(target)) {  // only the first: classifyHop follows no other
        facts_.error = TransferError::Other;
        errorText_ = QStringLiteral("unusable address");
        hopEnded();
        return;
    }
    if (!deadline_->isActive()) {
        facts_.deadlinePassed = true;
        hopEnded();
        return;
    }
    TransferEvents events;
    events.bodyArrived = [this] { drain(); };
    events.lengthDeclared = [this](qint64 length) { onLength(length); };
    events.finished = [this] { hopEnded(); };
    transfer_ = network_->get({target, options_.totalLimit, options_.headers}, std::move(events));
    if (!transfer_) {
        facts_.error = TransferError::Other;
        errorText_ = QStringLiteral("no network");
        hopEnded();
        return;
    }
    if (transfer_->isFinished()) {
        hopEnded();
    }
}

void AsyncFetch::drain() {
    if (!transfer_ || stopped_ || !transfer_->isOpen()) {
        return;
    }
    const qint64 available = transfer_->bytesAvailable();
    if (available > options_.maxBodyBytes - body_.size()) {
        facts_.bytesReceived = body_.size() + available;
        stop();
        return;
    }
    body_ += transfer_->readAll();
    facts_.bytesReceived = body_.size();
}

void AsyncFetch::onLength(qint64 length) {
    facts_.declaredLength = length;
    if (length > options_.maxBodyBytes) {
        stop();
    }
}

void AsyncFetch::stop() {
    if (!transfer_ || stopped_) {
        return;
    }
    stopped_ = true;
    transfer_->abort();
    hopEnded();  // whatever the transfer says next is not read
}

void AsyncFetch::abort() {
    if (!running_) {
        return;
    }
    abandoned_ = true;
    if (!ending_) {
        facts_.abandoned = true;
        stop();
    }
}

void AsyncFetch::hopEnded() {
    if (ending_) {
        return;
    }
    ending_ = true;
    // Posted: this may be called inside the transfer's own events (even inside its abort()),
    // where the transfer must not be destroyed yet.
    QMetaObject::invokeMethod(
        this,
        [this, run = runs_] {
            if (run == runs_) {
                readHop();
            }
        },
        Qt::QueuedConnection);
}

void AsyncFetch::readHop() {
    if (transfer_) {
        drain();
        const TransferEnd end = transfer_->end();
        facts_.httpStatus = end.httpStatus;
        facts_.error = end.error;
        if (end.location) {
            facts_.location = target_.resolved(QUrl::fromEncoded(*end.location));
        }
        errorText_ = end.errorText;
        contentType_ = end.contentType;
        transfer_.reset();
    }
    facts_.abandoned = facts_.abandoned || abandoned_;
    const HopOutcome outcome = classifyHop(facts_, options_, hopNumber_, first_);
    if (!outcome.status) {
        ++hopNumber_;
        startHop(outcome.next);
        return;
    }
    FetchResult result;
    result.status = *outcome.status;
    result.httpStatus = facts_.httpStatus;
    result.error = errorText_;
    if (result.ok()) {
        result.error.clear();
        result.text = base::decodeBody(body_, contentType_, options_.fallbackCharset);
    }
    body_.clear();
    running_ = false;
    deadline_->stop();
    emit finished(result);  // last: a receiver may delete this fetch
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

    AsyncFetch fetch(network_);
    QEventLoop loop;
    std::optional<FetchResult> answer;
    connect(&fetch, &AsyncFetch::finished, &loop, [&](const FetchResult& ended) {
        answer = ended;
        loop.quit();
    });
    connect(this, &HttpFetch::abandonRequested, &fetch, &AsyncFetch::abort);
    fetch.start(url, options);
    waitIn(loop, wait);  // finished() comes from the event loop, never from within start()
    if (!answer) {
        // The wait was ended from outside (the application quits): the request is given up.
        result.status = FetchResult::Status::Abandoned;
        return result;
    }
    return *answer;
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
