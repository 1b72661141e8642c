#include "desktop_session.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

namespace testsupport {

namespace {

constexpr int kStartMs = 15000;

void stop(std::unique_ptr<QProcess>& process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    process.reset();
}

// A line the process writes to standard output, or empty when none came in time.
QByteArray firstLine(QProcess& process) {
    process.waitForStarted(kStartMs);
    QDeadlineTimer deadline(kStartMs);
    while (!process.canReadLine() && !deadline.hasExpired() &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
    }
    return process.readLine().trimmed();
}

}  // namespace

DesktopSession::~DesktopSession() {
    stop(dunst_);
    stop(bus_);
    stop(xvfb_);
}

bool DesktopSession::start(const QString& iconDir) {
    return dir_.isValid() && startXvfb() && startBus() && startDunst(iconDir);
}

QProcessEnvironment DesktopSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    return env;
}

bool DesktopSession::startXvfb() {
    xvfb_ = std::make_unique<QProcess>();
    xvfb_->setProcessChannelMode(QProcess::SeparateChannels);
    xvfb_->start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    const QByteArray number = firstLine(*xvfb_);
    if (number.isEmpty()) {
        error_ = QStringLiteral("Xvfb did not start: ") +
                 QString::fromLocal8Bit(xvfb_->readAllStandardError());
        return false;
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(number);
    return true;
}

bool DesktopSession::startBus() {
    bus_ = std::make_unique<QProcess>();
    bus_->start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1"),
                 QStringLiteral("--address=unix:path=") + dir_.filePath(QStringLiteral("bus"))});
    busAddress_ = QString::fromLatin1(firstLine(*bus_));
    if (busAddress_.isEmpty()) {
        error_ = QStringLiteral("dbus-daemon did not start: ") +
                 QString::fromLocal8Bit(bus_->readAllStandardError());
        return false;
    }
    return true;
}

bool DesktopSession::startDunst(const QString& iconDir) {
    // Notices stay until closed, so that a test reads them back whenever it likes.
    const QString configDir = dir_.filePath(QStringLiteral("config/dunst"));
    QDir().mkpath(configDir);
    QFile config(configDir + QStringLiteral("/dunstrc"));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write("[global]\n    icon_path = " + iconDir.toUtf8() + "\n" +
                     "    max_icon_size = 48\n    font = Droid Sans Fallback 12\n    width = 500\n"
                     "    offset = 20x20\n    history_length = 100\n    markup = full\n"
                     "[urgency_normal]\n    timeout = 0\n[urgency_low]\n    timeout = 0\n") < 0) {
        error_ = QStringLiteral("cannot write dunst's configuration");
        return false;
    }
    config.close();
    dunst_ = std::make_unique<QProcess>();
    dunst_->setProcessEnvironment(environment());
    dunst_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dunst_->start(QStringLiteral("dunst"), {QStringLiteral("-config"), config.fileName()});
    dunst_->waitForStarted(kStartMs);
    QDeadlineTimer deadline(kStartMs);
    while (!deadline.hasExpired() && dunst_->state() == QProcess::Running) {
        QProcess probe;
        probe.setProcessEnvironment(environment());
        probe.start(QStringLiteral("dunstctl"), {QStringLiteral("is-paused")});
        if (probe.waitForFinished(5000) && probe.exitCode() == 0) {
            return true;
        }
        QThread::msleep(100);
    }
    error_ = QStringLiteral("dunst did not start");
    return false;
}

QByteArray DesktopSession::dunstctl(const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("dunstctl"), arguments);
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

int DesktopSession::showing() const {
    return dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}).trimmed().toInt() +
           dunstctl({QStringLiteral("count"), QStringLiteral("waiting")}).trimmed().toInt();
}

void DesktopSession::closeAll() const {
    dunstctl({QStringLiteral("close-all")});
}

QJsonArray DesktopSession::history() const {
    const QJsonDocument document = QJsonDocument::fromJson(dunstctl({QStringLiteral("history")}));
    QJsonArray notices;
    for (const QJsonValue& notice :
         document.object().value(QStringLiteral("data")).toArray().at(0).toArray()) {
        QJsonObject plain;
        const QJsonObject fields = notice.toObject();
        for (auto field = fields.begin(); field != fields.end(); ++field) {
            plain.insert(field.key(), field.value().toObject().value(QStringLiteral("data")));
        }
        notices.append(plain);
    }
    return notices;
}

}  // namespace testsupport
