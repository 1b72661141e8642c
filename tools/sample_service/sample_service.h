#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QHttpServer;

namespace sample {

// A small stand-in for the three services the program talks to, for the demo and for
// tests: the tracking service (GBK HTML rows for a few sample numbers), the update file
// "jc.txt" and a branch site page for one sample branch.
class SampleService {
public:
    SampleService();
    ~SampleService();

    // Listens on 127.0.0.1; port 0 picks a free port. Returns the port, 0 on failure.
    quint16 listen(quint16 port = 0);
    quint16 port() const { return port_; }
    // Called with the address of every request the service answers, in the order they came.
    void setRequestSeen(std::function<void(const QUrl&)> seen) { requestSeen_ = std::move(seen); }

    // The answers, as plain functions (also used by tests and fuzz seeds).
    // Tracking answer for a courier code and a number, in GBK.
    QByteArray trackingAnswer(const QString& code, const QString& number);
    static QByteArray versionFile() { return "V3.2"; }
    // Branch page for a name, in UTF-8.
    static QByteArray branchPage(const QString& name);

    // The sample numbers.
    static QString signedNumber() { return QStringLiteral("SF1001"); }
    static QString deliveringNumber() { return QStringLiteral("YT2002"); }
    static QString transitNumber() { return QStringLiteral("ZT3003"); }
    static QString growingNumber() { return QStringLiteral("EMS4004"); }
    static QString sampleBranch() { return QStringLiteral("上海浦东"); }

private:
    void seen(const QUrl& url) const;

    std::unique_ptr<QHttpServer> server_;
    quint16 port_ = 0;
    int growingRequests_ = 0;
    std::function<void(const QUrl&)> requestSeen_;
};

}  // namespace sample
