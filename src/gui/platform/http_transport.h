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

namespace platform {

// The network stack under HttpFetch, built as the module trackoro_network beside the
// program so that Qt Network and the libraries under it load only when the first request
// is sent (see ModuleHttpTransport). It sends single GET requests and reports what comes
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
    // Starts the request; null when no request can be sent (no network module).
    virtual std::unique_ptr<Transfer> get(const TransferRequest& request,
                                          TransferEvents events) = 0;
};

// The module's one entry point: a new network stack, owned by the caller.
inline constexpr char kCreateHttpTransport[] = "trackoro_create_http_transport";
inline constexpr char kNetworkModule[] = "trackoro_network";

// The network stack of the module trackoro_network in `moduleFolder`, loaded when the first
// request is sent. Without the module every request fails at once.
class ModuleHttpTransport : public HttpTransport {
public:
    explicit ModuleHttpTransport(QString moduleFolder);
    ~ModuleHttpTransport() override;
    std::unique_ptr<Transfer> get(const TransferRequest& request, TransferEvents events) override;

private:
    QString moduleFolder_;
    bool loaded_ = false;
    std::unique_ptr<HttpTransport> stack_;  // null without a module
};

}  // namespace platform
