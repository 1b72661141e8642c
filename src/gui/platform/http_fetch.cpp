#include "platform/http_fetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include "platform/gate.h"
#include "platform/text_codec.h"

namespace platform {

HttpFetch::HttpFetch(QNetworkAccessManager* network, UiGate* gate, QObject* parent)
    : QObject(parent), network_(network), gate_(gate) {}

void HttpFetch::abandon() {
    abandoned_ = true;
    emit abandonRequested();
}

bool isFetchableUrl(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

QNetworkRequest fetchRequest(const QUrl& url, const FetchOptions& options) {
    QNetworkRequest request(url);
    request.setTransferTimeout(static_cast<int>(options.totalLimit.count()));
    // Redirects are followed by HttpFetch, hop by hop, so their number and scheme are ours
    // to check.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    for (const auto& header : options.headers) {
        request.setRawHeader(header.first, header.second);
    }
    return request;
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
    // Qt 6.4 reports a transfer time-out as a cancelled operation, later versions as a
    // time-out: both are the same thing here.
    if (facts.deadlinePassed || facts.error == QNetworkReply::OperationCanceledError ||
        facts.error == QNetworkReply::TimeoutError) {
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
    if (facts.error != QNetworkReply::NoError) {
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

// What a finished reply says beyond its body.
void HttpFetch::readEnd(const QNetworkReply& reply, const QUrl& target, Hop& hop) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    hop.facts.httpStatus = status.isValid() ? status.toInt() : 0;
    hop.facts.error = reply.error();
    if (reply.hasRawHeader(QByteArrayLiteral("Location"))) {
        hop.facts.location =
            target.resolved(QUrl::fromEncoded(reply.rawHeader(QByteArrayLiteral("Location"))));
    }
    hop.errorText = reply.errorString();
    hop.contentType = reply.header(QNetworkRequest::ContentTypeHeader).toByteArray();
}

HttpFetch::Hop HttpFetch::runHop(const QUrl& target, const FetchOptions& options, Wait wait,
                                 QTimer& deadline) {
    Hop hop;
    QNetworkReply* reply = network_->get(fetchRequest(target, options));
    QObject scope;  // every connection below ends with this hop
    QEventLoop loop;
    bool stopped = false;  // aborted by a rule of ours: what arrives later is not read

    const auto stop = [&] {
        stopped = true;
        reply->abort();
    };
    const auto drain = [&] {
        if (stopped || !reply->isOpen()) {
            return;
        }
        const qint64 available = reply->bytesAvailable();
        if (available > options.maxBodyBytes - hop.body.size()) {
            hop.facts.bytesReceived = hop.body.size() + available;
            stop();
            return;
        }
        hop.body += reply->readAll();
        hop.facts.bytesReceived = hop.body.size();
    };
    connect(reply, &QNetworkReply::readyRead, &scope, drain);
    connect(reply, &QNetworkReply::metaDataChanged, &scope, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid()) {
            hop.facts.declaredLength = length.toLongLong();
            if (hop.facts.declaredLength > options.maxBodyBytes) {
                stop();
            }
        }
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&deadline, &QTimer::timeout, &scope, [&] {
        hop.facts.deadlinePassed = true;
        stop();
    });
    connect(this, &HttpFetch::abandonRequested, &scope, [&] {
        hop.facts.abandoned = true;
        stop();
    });
    if (!deadline.isActive()) {
        hop.facts.deadlinePassed = true;
        stop();
    }

    if (!reply->isFinished()) {
        if (wait == Wait::BlockHandlers) {
            UiGate::Hold hold(gate_);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        } else {
            loop.exec();
        }
    }
    drain();
    readEnd(*reply, target, hop);
    hop.facts.abandoned = hop.facts.abandoned || abandoned_;
    reply->disconnect();
    reply->deleteLater();
    return hop;
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
