#include "platform/net/http_transport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>

namespace platform {

namespace {

TransferError transferError(QNetworkReply::NetworkError error) {
    switch (error) {
        case QNetworkReply::NoError:
            return TransferError::None;
        case QNetworkReply::OperationCanceledError:
            return TransferError::Aborted;
        case QNetworkReply::TimeoutError:
            return TransferError::TimedOut;
        default:
            return TransferError::Other;
    }
}

class QtTransfer : public Transfer {
public:
    QtTransfer(QNetworkReply* reply, TransferEvents events) : reply_(reply) {
        QObject::connect(reply, &QNetworkReply::readyRead, &scope_, std::move(events.bodyArrived));
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &scope_,
                         [reply, declared = std::move(events.lengthDeclared)] {
                             const QVariant length =
                                 reply->header(QNetworkRequest::ContentLengthHeader);
                             if (length.isValid()) {
                                 declared(length.toLongLong());
                             }
                         });
        QObject::connect(reply, &QNetworkReply::finished, &scope_, std::move(events.finished));
    }

    ~QtTransfer() override {
        // Only the transfer's own connections: cutting all of the reply's would also cut it
        // from its manager, and abort() would then leave the connection open (Qt 6.4).
        QObject::disconnect(reply_, nullptr, &scope_, nullptr);
        if (!reply_->isFinished()) {
            reply_->abort();
        }
        reply_->deleteLater();
    }

    void abort() override { reply_->abort(); }
    bool isFinished() const override { return reply_->isFinished(); }
    bool isOpen() const override { return reply_->isOpen(); }
    qint64 bytesAvailable() const override { return reply_->bytesAvailable(); }
    QByteArray readAll() override { return reply_->readAll(); }

    TransferEnd end() const override {
        TransferEnd end;
        const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        end.httpStatus = status.isValid() ? status.toInt() : 0;
        end.error = transferError(reply_->error());
        end.errorText = reply_->errorString();
        if (reply_->hasRawHeader(QByteArrayLiteral("Location"))) {
            end.location = reply_->rawHeader(QByteArrayLiteral("Location"));
        }
        end.contentType = reply_->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        return end;
    }

private:
    QNetworkReply* reply_;
    QObject scope_;  // the connections end with the transfer
};

}  // namespace

QtHttpTransport::QtHttpTransport() = default;

QtHttpTransport::~QtHttpTransport() = default;

std::unique_ptr<Transfer> QtHttpTransport::get(const TransferRequest& request,
                                               TransferEvents events) {
    QNetworkRequest qtRequest(request.url);
    qtRequest.setTransferTimeout(static_cast<int>(request.silenceLimit.count()));
    qtRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                           QNetworkRequest::ManualRedirectPolicy);
    qtRequest.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    qtRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                           QNetworkRequest::AlwaysNetwork);
    for (const auto& header : request.headers) {
        qtRequest.setRawHeader(header.first, header.second);
    }
    if (!network_) {
        network_ = std::make_unique<QNetworkAccessManager>();
    }
    return std::make_unique<QtTransfer>(network_->get(qtRequest), std::move(events));
}

}  // namespace platform
