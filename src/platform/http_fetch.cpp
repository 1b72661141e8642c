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

FetchResult HttpFetch::get(const QUrl& url, const FetchOptions& options, Wait wait) {
    using Status = FetchResult::Status;
    FetchResult result;
    const auto usable = [](const QUrl& address) {
        return address.isValid() && (address.scheme() == QLatin1String("http") ||
                                     address.scheme() == QLatin1String("https"));
    };
    if (!usable(url)) {
        result.status = Status::Failed;
        result.error = QStringLiteral("unusable address");
        return result;
    }
    if (abandoned_) {
        result.status = Status::Abandoned;
        return result;
    }

    // One deadline for the whole transfer, redirects included: a server that drips a byte
    // now and then cannot hold it, as the silence time-out alone would let it.
    const int limitMs = static_cast<int>(options.totalLimit.count());
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(limitMs);

    QUrl target = url;
    for (int hop = 0;; ++hop) {
        QNetworkRequest request(target);
        request.setTransferTimeout(limitMs);
        // Redirects are followed here, hop by hop, so their number and scheme are ours to
        // check.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        for (const auto& header : options.headers) {
            request.setRawHeader(header.first, header.second);
        }

        QNetworkReply* reply = network_->get(request);
        QObject scope;  // every connection below ends with this hop
        QEventLoop loop;
        QByteArray body;
        bool tooLarge = false;
        bool timedOut = false;
        bool abandoned = false;

        const auto drain = [&] {
            if (tooLarge || !reply->isOpen()) {
                return;
            }
            const qint64 room = options.maxBodyBytes - body.size();
            if (reply->bytesAvailable() > room) {
                tooLarge = true;
                reply->abort();
                return;
            }
            body += reply->readAll();
        };
        connect(reply, &QNetworkReply::readyRead, &scope, drain);
        connect(reply, &QNetworkReply::metaDataChanged, &scope, [&] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > options.maxBodyBytes) {
                tooLarge = true;
                reply->abort();
            }
        });
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        connect(&deadline, &QTimer::timeout, &scope, [&] {
            timedOut = true;
            reply->abort();
        });
        connect(this, &HttpFetch::abandonRequested, &scope, [&] {
            abandoned = true;
            reply->abort();
        });
        if (!deadline.isActive()) {
            timedOut = true;
            reply->abort();
        }

        if (!reply->isFinished()) {
            if (wait == Wait::BlockHandlers) {
                UiGate::Hold hold(gate_);
                loop.exec(QEventLoop::ExcludeUserInputEvents);
            } else {
                loop.exec();
            }
        }
        if (!tooLarge && !abandoned && !timedOut) {
            drain();
        }

        const QVariant statusAttribute =
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        result.httpStatus = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
        const QNetworkReply::NetworkError error = reply->error();
        result.error = reply->errorString();
        const QByteArray contentType =
            reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        const QUrl location = target.resolved(
            QUrl::fromEncoded(reply->rawHeader(QByteArrayLiteral("Location"))));
        const bool redirect = result.httpStatus >= 300 && result.httpStatus <= 399 &&
                              reply->hasRawHeader(QByteArrayLiteral("Location"));
        reply->disconnect();
        reply->deleteLater();

        if (abandoned || abandoned_) {
            result.status = Status::Abandoned;
        } else if (tooLarge) {
            result.status = Status::TooLarge;
        } else if (timedOut || error == QNetworkReply::OperationCanceledError ||
                   error == QNetworkReply::TimeoutError) {
            // Qt 6.4 reports a transfer time-out as a cancelled operation, later versions as
            // a time-out: both are the same thing here.
            result.status = Status::TimedOut;
        } else if (redirect) {
            // Followed within the same scheme and up to the limit; never to another scheme.
            if (hop < options.maxRedirects && location.scheme() == url.scheme() &&
                usable(location)) {
                target = location;
                continue;
            }
            result.status = Status::RedirectRefused;
        } else if (result.httpStatus != 0 &&
                   (result.httpStatus < 200 || result.httpStatus > 299)) {
            result.status = Status::HttpError;
        } else if (error != QNetworkReply::NoError) {
            result.status = Status::Failed;
        } else {
            result.status = Status::Ok;
            result.error.clear();
            result.text = decodeBody(body, contentType, options.fallbackCharset);
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
