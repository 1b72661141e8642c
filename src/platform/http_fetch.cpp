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
    FetchResult result;
    if (!url.isValid() || (url.scheme() != QLatin1String("http") &&
                           url.scheme() != QLatin1String("https"))) {
        result.status = FetchResult::Status::Failed;
        result.error = QStringLiteral("unusable address");
        return result;
    }
    if (abandoned_) {
        result.status = FetchResult::Status::Abandoned;
        return result;
    }

    const int limitMs = static_cast<int>(options.totalLimit.count());
    QNetworkRequest request(url);
    request.setTransferTimeout(limitMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(options.maxRedirects);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    for (const auto& header : options.headers) {
        request.setRawHeader(header.first, header.second);
    }

    QNetworkReply* reply = network_->get(request);
    QObject scope;  // every connection below ends with this function
    QEventLoop loop;
    QByteArray body;
    bool tooLarge = false;
    bool timedOut = false;
    bool redirectRefused = false;
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
    connect(reply, &QNetworkReply::redirected, &scope, [&](const QUrl& target) {
        if (target.scheme() == url.scheme()) {
            emit reply->redirectAllowed();
        } else {
            redirectRefused = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &scope, [&] {
        timedOut = true;
        reply->abort();
    });
    connect(this, &HttpFetch::abandonRequested, &scope, [&] {
        abandoned = true;
        reply->abort();
    });
    deadline.start(limitMs);

    if (!reply->isFinished()) {
        if (wait == Wait::BlockHandlers) {
            UiGate::Hold hold(gate_);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        } else {
            loop.exec();
        }
    }
    deadline.stop();
    if (!tooLarge && !abandoned) {
        drain();
    }

    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.httpStatus = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    result.error = reply->errorString();
    const QByteArray contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    reply->disconnect();
    reply->deleteLater();

    using Status = FetchResult::Status;
    if (abandoned || abandoned_) {
        result.status = Status::Abandoned;
    } else if (tooLarge) {
        result.status = Status::TooLarge;
    } else if (redirectRefused || error == QNetworkReply::TooManyRedirectsError ||
               error == QNetworkReply::InsecureRedirectError) {
        result.status = Status::RedirectRefused;
    } else if (timedOut || error == QNetworkReply::OperationCanceledError ||
               error == QNetworkReply::TimeoutError) {
        // Qt 6.4 reports a transfer time-out as a cancelled operation, later versions as a
        // time-out: both are the same thing here.
        result.status = Status::TimedOut;
    } else if (result.httpStatus != 0 && (result.httpStatus < 200 || result.httpStatus > 299)) {
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

FetchResult Inet::OpenURL(const QUrl& url, std::chrono::milliseconds limit) {
    FetchOptions options;
    options.totalLimit = limit;
    options.maxBodyBytes = maxBodyBytes_;
    options.fallbackCharset = "GB18030";
    HttpFetch fetch(network_, gate_);
    return fetch.get(url, options, HttpFetch::Wait::BlockHandlers);
}

}  // namespace platform
