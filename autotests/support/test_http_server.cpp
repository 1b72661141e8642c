#include "test_http_server.h"

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <utility>

namespace testsupport {

TestHttpServer::Response TestHttpServer::Response::text(const QByteArray& body,
                                                        const QByteArray& contentType) {
    Response r;
    r.body = body;
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray(contentType)));
    return r;
}

TestHttpServer::Response TestHttpServer::Response::withStatus(int code, const QByteArray& body) {
    Response r;
    r.status = code;
    r.reason = code >= 500 ? "Server Error" : (code >= 400 ? "Client Error" : "Status");
    r.body = body;
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
    return r;
}

TestHttpServer::Response TestHttpServer::Response::redirect(const QByteArray& location, int code) {
    Response r;
    r.status = code;
    r.reason = "Found";
    r.headers.append(qMakePair(QByteArray("Location"), QByteArray(location)));
    return r;
}

TestHttpServer::TestHttpServer(QObject* parent) : QObject(parent) {
    default_ = [](const Request&) { return Response::withStatus(404, "not found"); };
    connect(&server_, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
}

TestHttpServer::~TestHttpServer() {
    server_.close();
}

bool TestHttpServer::start() {
    return server_.listen(QHostAddress::LocalHost, 0);
}

QUrl TestHttpServer::url(const QString& pathAndQuery) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(pathAndQuery));
}

void TestHttpServer::setResponse(const QByteArray& path, const Response& response) {
    handlers_.insert(path, [response](const Request&) { return response; });
}

void TestHttpServer::setHandler(const QByteArray& path, Handler handler) {
    handlers_.insert(path, std::move(handler));
}

void TestHttpServer::setDefault(const Response& response) {
    default_ = [response](const Request&) { return response; };
}

int TestHttpServer::requestCount(const QByteArray& path) const {
    int n = 0;
    for (const Request& r : requests_) {
        n += r.path == path ? 1 : 0;
    }
    return n;
}

void TestHttpServer::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        buffers_.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            buffers_.remove(socket);
            socket->deleteLater();
        });
    }
}

void TestHttpServer::onReadyRead(QTcpSocket* socket) {
    if (!buffers_.contains(socket)) {
        return;
    }
    QByteArray& buffer = buffers_[socket];
    buffer += socket->readAll();
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        return;
    }
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffers_.remove(socket);
    Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    const int q = request.target.indexOf('?');
    request.path = q < 0 ? request.target : request.target.left(q);
    request.query = q < 0 ? QByteArray() : request.target.mid(q + 1);
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0) {
            request.headers.insert(line.left(colon).trimmed().toLower(),
                                   line.mid(colon + 1).trimmed());
        }
    }
    requests_.append(request);
    ++inFlight_;
    maxInFlight_ = std::max(maxInFlight_, inFlight_);
    emit requestReceived();
    answer(socket, request);
}

void TestHttpServer::answer(QTcpSocket* socket, const Request& request) {
    const Handler handler = handlers_.value(request.path, default_);
    const Response response = handler(request);
    if (response.neverAnswer) {
        connect(socket, &QTcpSocket::disconnected, this, [this] { --inFlight_; });
        return;
    }
    if (response.delayMs > 0) {
        QPointer<QTcpSocket> guard(socket);
        // A client that leaves while its answer waits is no longer being answered.
        auto waiting = std::make_shared<bool>(true);
        connect(socket, &QTcpSocket::disconnected, this, [this, waiting] {
            if (std::exchange(*waiting, false)) {
                --inFlight_;
            }
        });
        QTimer::singleShot(response.delayMs, this, [this, guard, response, waiting] {
            if (!std::exchange(*waiting, false)) {
                return;
            }
            if (guard && guard->state() == QAbstractSocket::ConnectedState) {
                sendResponse(guard, response);
            } else {
                --inFlight_;
            }
        });
        return;
    }
    sendResponse(socket, response);
}

void TestHttpServer::sendResponse(QTcpSocket* socket, const Response& response) {
    ++answered_;
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason + "\r\n";
    for (const auto& header : response.headers) {
        head += header.first + ": " + header.second + "\r\n";
    }
    if (response.sendContentLength) {
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    if (response.resetAfterBytes >= 0) {
        socket->write(response.body.left(response.resetAfterBytes));
        socket->flush();
        // A hard reset (RST) rather than an orderly close.
        struct linger hard = {1, 0};
#ifdef Q_OS_WIN
        ::setsockopt(static_cast<SOCKET>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                     reinterpret_cast<const char*>(&hard), sizeof(hard));
#else
        ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                     sizeof(hard));
#endif
        socket->abort();
        --inFlight_;
        return;
    }
    if (response.dripIntervalMs > 0) {
        QPointer<QTcpSocket> guard(socket);
        auto* drip = new QTimer(this);
        auto sent = std::make_shared<int>(0);
        drip->setInterval(response.dripIntervalMs);
        connect(drip, &QTimer::timeout, this, [this, drip, guard, sent, response] {
            if (!guard || guard->state() != QAbstractSocket::ConnectedState ||
                *sent >= response.body.size()) {
                drip->deleteLater();
                if (guard) {
                    finish(guard);
                } else {
                    --inFlight_;
                }
                return;
            }
            guard->write(response.body.mid(*sent, 1));
            ++*sent;
        });
        drip->start();
        return;
    }
    socket->write(response.body);
    finish(socket);
}

void TestHttpServer::finish(QTcpSocket* socket) {
    --inFlight_;
    socket->flush();
    socket->disconnectFromHost();
}

}  // namespace testsupport
