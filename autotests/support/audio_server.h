#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// One sound found in a recording: where it starts and how long it lasts, in seconds, and
// its loudest sample (0 to 1 of full scale).
struct Tone {
    double start = 0;
    double length = 0;
    double peak = 0;
};

// The sounds in a recording of 16-bit mono samples: stretches above `threshold` (of full
// scale), split where at least `gapSeconds` of silence lies between them.
QList<Tone> findTones(const QByteArray& samples, int rate, double threshold = 0.002,
                      double gapSeconds = 0.12);

// A real PulseAudio server of the test's own: a private socket, one null sink whose monitor
// is recorded. Programs reach it through PULSE_SERVER, which start() sets for this process.
class AudioServer {
public:
    static constexpr int kRate = 44100;

    AudioServer() = default;
    ~AudioServer();
    AudioServer(const AudioServer&) = delete;
    AudioServer& operator=(const AudioServer&) = delete;

    // Starts the server and waits until it answers; false (with `error()`) when it cannot.
    bool start();
    QString serverAddress() const;
    QString error() const { return error_; }

    // Records what the sink plays, from now until stopRecording(), as 16-bit mono samples.
    bool startRecording();
    QByteArray stopRecording();
    // What the recording holds so far: the samples the recorder has handed over.
    const QByteArray& recordedSoFar();

private:
    QProcess* startTool(const QString& program, const QStringList& arguments);

    QTemporaryDir dir_;
    QProcess server_;
    QProcess recorder_;
    QByteArray recorded_;
    QString error_;
};

}  // namespace testsupport
