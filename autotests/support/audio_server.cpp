#include "audio_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QtEndian>
#include <utility>

namespace testsupport {

QList<Tone> findTones(const QByteArray& samples, int rate, double threshold, double gapSeconds) {
    const auto count = samples.size() / 2;
    const auto* data = reinterpret_cast<const uchar*>(samples.constData());
    const int level = static_cast<int>(threshold * 32768);
    const qsizetype gap = static_cast<qsizetype>(gapSeconds * rate);
    QList<Tone> tones;
    qsizetype first = -1;
    qsizetype last = -1;
    int peak = 0;
    const auto close = [&] {
        if (first >= 0) {
            tones.append(
                Tone{double(first) / rate, double(last - first + 1) / rate, peak / 32768.0});
        }
    };
    for (qsizetype i = 0; i < count; ++i) {
        const int value = std::abs(int(qFromLittleEndian<qint16>(data + 2 * i)));
        if (value <= level) {
            continue;
        }
        if (first >= 0 && i - last > gap) {
            close();
            first = -1;
        }
        if (first < 0) {
            first = i;
            peak = 0;
        }
        last = i;
        peak = std::max(peak, value);
    }
    close();
    return tones;
}

AudioServer::~AudioServer() {
    for (QProcess* process : {&recorder_, &server_}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    }
}

QString AudioServer::serverAddress() const {
    return QStringLiteral("unix:") + dir_.filePath(QStringLiteral("pulse.sock"));
}

bool AudioServer::start() {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    // Its own runtime and home folders: nothing of a user's sound set-up is read or written.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), dir_.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
    environment.remove(QStringLiteral("PULSE_SERVER"));
    server_.setProcessEnvironment(environment);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(QStringLiteral("pulseaudio"),
                  {QStringLiteral("-n"), QStringLiteral("-F"), QStringLiteral("/dev/null"),
                   QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                   QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
                   QStringLiteral("--load=module-null-sink sink_name=null"),
                   QStringLiteral("--load=module-native-protocol-unix socket=") +
                       dir_.filePath(QStringLiteral("pulse.sock"))});
    if (!server_.waitForStarted(5000)) {
        error_ = QStringLiteral("pulseaudio does not start (Debian package pulseaudio): ") +
                 server_.errorString();
        return false;
    }
    qputenv("PULSE_SERVER", serverAddress().toLocal8Bit());
    // Ready when a client can talk to it.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (server_.state() == QProcess::NotRunning) {
            error_ =
                QStringLiteral("pulseaudio ended: ") + QString::fromLocal8Bit(server_.readAll());
            return false;
        }
        QProcess probe;
        probe.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        if (!probe.waitForStarted(3000)) {
            error_ = QStringLiteral("pactl does not start (Debian package pulseaudio-utils)");
            return false;
        }
        if (probe.waitForFinished(3000) && probe.exitCode() == 0) {
            return true;
        }
        QThread::msleep(50);
    }
    error_ = QStringLiteral("pulseaudio does not answer");
    return false;
}

bool AudioServer::startRecording() {
    recorded_.clear();
    // A short latency: the recorder hands over what it has as it comes, so stopping it loses
    // next to nothing.
    recorder_.start(QStringLiteral("parec"),
                    {QStringLiteral("--server=") + serverAddress(), QStringLiteral("-d"),
                     QStringLiteral("null.monitor"), QStringLiteral("--format=s16le"),
                     QStringLiteral("--channels=1"), QStringLiteral("--rate=%1").arg(kRate),
                     QStringLiteral("--latency-msec=20"), QStringLiteral("--raw")});
    if (!recorder_.waitForStarted(3000)) {
        error_ = QStringLiteral("parec does not start (Debian package pulseaudio-utils)");
        return false;
    }
    // Recording has begun once the first samples (silence) arrive.
    const QDeadlineTimer deadline(5000);
    while (recorder_.bytesAvailable() == 0 && !deadline.hasExpired()) {
        recorder_.waitForReadyRead(100);
    }
    return recorder_.bytesAvailable() > 0;
}

const QByteArray& AudioServer::recordedSoFar() {
    recorded_ += recorder_.readAllStandardOutput();
    return recorded_;
}

QByteArray AudioServer::stopRecording() {
    QByteArray samples = std::exchange(recorded_, {}) + recorder_.readAllStandardOutput();
    recorder_.terminate();
    recorder_.waitForFinished(3000);
    samples += recorder_.readAllStandardOutput();
    samples.truncate(samples.size() & ~qsizetype(1));
    return samples;
}

}  // namespace testsupport
