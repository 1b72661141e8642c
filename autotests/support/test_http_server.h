#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>
#include <functional>

class QTcpSocket;

namespace testsupport {

// A local HTTP service on 127.0.0.1 for tests: serves scripted answers, can delay, drip,
// cut or never answer, and records every request as it came over the wire.
class TestHttpServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray target;                     // raw request target: path and query, as sent
        QByteArray path;                       // raw path (before "?")
        QByteArray query;                      // raw query (after "?"), not decoded
        QMap<QByteArray, QByteArray> headers;  // lower-case names
    };

    struct Response {
        int status = 200;
        QByteArray reason = "OK";
        QList<QPair<QByteArray, QByteArray>> headers;  // Content-Length is added unless dripping
        QByteArray body;
        int delayMs = 0;           // wait before answering (nothing is sent to a client gone)
        int dripIntervalMs = 0;    // > 0: send the body one byte at a time at this interval
        int resetAfterBytes = -1;  // >= 0: reset the connection after this many body bytes
        bool neverAnswer = false;  // keep the connection open and silent
        bool sendContentLength = true;

        static Response text(const QByteArray& body, const QByteArray& contentType = "text/html");
        static Response withStatus(int code, const QByteArray& body = {});
        static Response redirect(const QByteArray& location, int code = 302);
    };

    using Handler = std::function<Response(const Request&)>;

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    // Listens on 127.0.0.1 at a free port.
    bool start();
    quint16 port() const { return server_.serverPort(); }
    QUrl url(const QString& pathAndQuery = QStringLiteral("/")) const;

    // The answer for a path (raw path, e.g. "/jc.txt"); `setDefault` for every other path.
    void setResponse(const QByteArray& path, const Response& response);
    void setHandler(const QByteArray& path, Handler handler);
    void setDefault(const Response& response);

    const QList<Request>& requests() const { return requests_; }
    int requestCount() const { return static_cast<int>(requests_.size()); }
    int requestCount(const QByteArray& path) const;
    // Requests being answered right now, and the most there ever were at once.
    int inFlight() const { return inFlight_; }
    int maxInFlight() const { return maxInFlight_; }
    // Answers begun (status line sent), every path counted.
    int answeredCount() const { return answered_; }
    void clearRequests() { requests_.clear(); }

signals:
    void requestReceived();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Request& request);
    void sendResponse(QTcpSocket* socket, const Response& response);
    void finish(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QByteArray, Handler> handlers_;
    Handler default_;
    QList<Request> requests_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    int inFlight_ = 0;
    int maxInFlight_ = 0;
    int answered_ = 0;
};

}  // namespace testsupport
