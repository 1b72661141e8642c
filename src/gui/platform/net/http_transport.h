#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace platform {

// The network stack under HttpFetch. It sends single GET requests and reports what comes
// back; the rules of a fetch (limits, redirects, charsets) are HttpFetch's.

// How a transfer failed, as far as the rules of a fetch tell failures apart.
enum class TransferError {
    None,
    Aborted,   // abort() was called, or (Qt 6.4) the silence time-out ended it
    TimedOut,  // the silence time-out ended it (later Qt versions)
    Other,     // no connection, connection reset, protocol error, an error status …
};

// One request: no redirect is followed by the stack, no HTTP/2, never from a cache.
struct TransferRequest {
    QUrl url;
    std::chrono::milliseconds silenceLimit{60000};  // the longest wait for the next bytes
    QList<QPair<QByteArray, QByteArray>> headers;
};

// What a transfer came to, once finished.
struct TransferEnd {
    int httpStatus = 0;  // 0: no HTTP status arrived
    TransferError error = TransferError::None;
    QString errorText;
    std::optional<QByteArray> location;  // the Location header, as sent
    QByteArray contentType;              // the Content-Type header
};

// Called from the event loop while a transfer runs; none is called after the transfer is
// destroyed.
struct TransferEvents {
    std::function<void()> bodyArrived;                  // bytes are available to read
    std::function<void(qint64 length)> lengthDeclared;  // the headers named a Content-Length
    std::function<void()> finished;                     // also at once on abort()
};

// One GET under way. Destroying it ends it.
class Transfer {
public:
    virtual ~Transfer() = default;
    virtual void abort() = 0;
    virtual bool isFinished() const = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    virtual TransferEnd end() const = 0;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // Starts the request; null when no request can be sent.
    virtual std::unique_ptr<Transfer> get(const TransferRequest& request,
                                          TransferEvents events) = 0;
};

// The network stack of Qt Network.
class QtHttpTransport : public HttpTransport {
public:
    QtHttpTransport();
    ~QtHttpTransport() override;
    std::unique_ptr<Transfer> get(const TransferRequest& request, TransferEvents events) override;

private:
    std::unique_ptr<QNetworkAccessManager> network_;  // made with the first request
};

}  // namespace platform
