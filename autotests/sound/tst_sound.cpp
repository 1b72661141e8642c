// What the user hears: the program's own media player, playing into a real PulseAudio
// server whose null sink is recorded.
#include <QAudioDecoder>
#include <QEventLoop>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <cmath>

#include "platform/system/media_player.h"
#include "support/audio_server.h"
#include "support/main_window_fixture.h"
#include "support/stall_watch.h"

using testsupport::AudioServer;
using testsupport::Tone;

namespace {

// A sound file as decoded: how long it plays and its loudest sample.
struct FileSound {
    double length = 0;
    double peak = 0;
};

FileSound decodeFile(const QString& path) {
    QAudioDecoder decoder;
    FileSound sound;
    qint64 frames = 0;
    int rate = 0;
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, [&] {
        const QAudioBuffer buffer = decoder.read();
        const QAudioFormat format = buffer.format();
        rate = format.sampleRate();
        frames += buffer.frameCount();
        for (qsizetype i = 0; i < buffer.sampleCount(); ++i) {
            const void* sample = buffer.constData<char>() + i * format.bytesPerSample();
            sound.peak =
                std::max(sound.peak, std::abs(double(format.normalizedSampleValue(sample))));
        }
    });
    QEventLoop loop;
    QObject::connect(&decoder, &QAudioDecoder::finished, &loop, &QEventLoop::quit);
    QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &loop,
                     &QEventLoop::quit);
    decoder.setSource(QUrl::fromLocalFile(path));
    decoder.start();
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    sound.length = rate > 0 ? double(frames) / rate : 0;
    return sound;
}

QString describe(const QList<Tone>& tones) {
    QStringList parts;
    for (const Tone& tone : tones) {
        parts.append(QStringLiteral("%1 s +%2 s (peak %3)")
                         .arg(tone.start, 0, 'f', 2)
                         .arg(tone.length, 0, 'f', 2)
                         .arg(tone.peak, 0, 'f', 2));
    }
    return parts.join(QStringLiteral(", "));
}

AudioServer* audio = nullptr;

}  // namespace

class TstSound : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyAlertIsHeardWhole();
    void aSoundSetWhilePlayingStartsAgain();
    void aMissingFilePlaysNothing();
    void noAudioDeviceIsSilentAndQuick();

private:
    // Recording: what the sink plays from now on, after what the monitor still held.
    bool startRecording();
    QList<Tone> stopRecording();
    // The tones recorded so far, and how many seconds the recording holds.
    QList<Tone> tonesSoFar(double* seconds = nullptr);
    // Waits until the recording holds `count` tones and silence after the last: it has
    // ended. The tones heard.
    QList<Tone> waitUntilHeard(int count);
    // Waits until the recording holds `seconds` more of sound or silence.
    bool waitForRecording(double seconds);
    void warmUp();
    void checkWhole(const Tone& tone, const FileSound& file);

    FileSound startup_;
    FileSound alert_;
    qsizetype settleBytes_ = 0;
    std::unique_ptr<testsupport::MainWindowFixture> f;
    std::unique_ptr<platform::DesktopMediaPlayer> player;
};

namespace {

// Silence after a tone that shows it has ended: more than the gap that splits two tones.
constexpr double kEndedSilence = 0.3;
// The longest any one sound takes to be heard whole.
constexpr int kHearingMs = 20000;

}  // namespace

void TstSound::initTestCase() {
    QVERIFY2(audio, "no audio server");
    startup_ = decodeFile(QStringLiteral(TRACKORO_ASSETS_DIR "/zeluna.mp3"));
    alert_ = decodeFile(QStringLiteral(TRACKORO_ASSETS_DIR "/ts.mp3"));
    QVERIFY(startup_.length > 0.5);
    QVERIFY(alert_.length > 0.5);
}

void TstSound::init() {
    f = std::make_unique<testsupport::MainWindowFixture>();
    player = std::make_unique<platform::DesktopMediaPlayer>(testsupport::buildProgramFolder());
    f->t.env.player = player.get();
    for (const char* name : {"zeluna.mp3", "ts.mp3"}) {
        QVERIFY(QFile::copy(QStringLiteral(TRACKORO_ASSETS_DIR "/") + name,
                            f->t.programFile(QString::fromLatin1(name))));
    }
}

void TstSound::cleanup() {
    f.reset();
    player.reset();
}

bool TstSound::startRecording() {
    if (!audio->startRecording()) {
        qWarning() << audio->error();
        return false;
    }
    // The monitor may first hand over a few samples it held from before: what the test plays
    // starts after half a second of recording.
    settleBytes_ = 0;
    const qsizetype settle = qsizetype(AudioServer::kRate) / 2 * 2;
    if (!QTest::qWaitFor([&] { return audio->recordedSoFar().size() >= settle; }, 5000)) {
        return false;
    }
    settleBytes_ = audio->recordedSoFar().size();
    return true;
}

QList<Tone> TstSound::stopRecording() {
    const QByteArray samples = audio->stopRecording();
    return testsupport::findTones(samples.mid(settleBytes_), AudioServer::kRate);
}

QList<Tone> TstSound::tonesSoFar(double* seconds) {
    const QByteArray samples = audio->recordedSoFar().mid(settleBytes_);
    if (seconds) {
        *seconds = double(samples.size() / 2) / AudioServer::kRate;
    }
    return testsupport::findTones(samples, AudioServer::kRate);
}

QList<Tone> TstSound::waitUntilHeard(int count) {
    QList<Tone> tones;
    QTest::qWaitFor(
        [&] {
            double seconds = 0;
            tones = tonesSoFar(&seconds);
            return tones.size() >= count &&
                   seconds - (tones.last().start + tones.last().length) > kEndedSilence;
        },
        kHearingMs);
    return tones;
}

bool TstSound::waitForRecording(double seconds) {
    double now = 0;
    tonesSoFar(&now);
    const double until = now + seconds;
    return QTest::qWaitFor(
        [&] {
            tonesSoFar(&now);
            return now >= until;
        },
        kHearingMs);
}

// Starts the recording with one sound, so that the audio back end is loaded before what the
// test plays; the recording goes on after it.
void TstSound::warmUp() {
    QVERIFY(startRecording());
    player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
    const QList<Tone> tones = waitUntilHeard(1);
    QVERIFY2(tones.size() == 1, qPrintable(describe(tones)));
    settleBytes_ = audio->recordedSoFar().size();
}

void TstSound::checkWhole(const Tone& tone, const FileSound& file) {
    // Played whole, from its start, at half the volume: its length, counted in samples,
    // within the split between two tones.
    QVERIFY2(std::abs(tone.length - file.length) < 0.12,
             qPrintable(QStringLiteral("%1 s of a %2 s sound").arg(tone.length).arg(file.length)));
    QVERIFY2(std::abs(tone.peak - file.peak * 0.5) < file.peak * 0.1,
             qPrintable(QStringLiteral("peak %1 of the file's %2").arg(tone.peak).arg(file.peak)));
}

void TstSound::everyAlertIsHeardWhole() {
    // The start-up sound, then ten queries whose answers each hold one line more; each asked
    // once the sound before it has been heard to its end.
    constexpr int kAlerts = 10;
    QVERIFY(startRecording());
    app::Form1* form = f->open();
    QList<Tone> tones = waitUntilHeard(1);
    for (int i = 1; i <= kAlerts && tones.size() == i; ++i) {
        f->answer(testsupport::MainWindowFixture::rowsOf(i));
        f->query(QStringLiteral("SF100"), QStringLiteral("顺丰快递"), QStringLiteral("爸爸衣服"));
        QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
        tones = waitUntilHeard(i + 1);
    }
    tones = stopRecording();
    qInfo("%s", qPrintable(describe(tones)));
    QCOMPARE(tones.size(), kAlerts + 1);
    checkWhole(tones.first(), startup_);
    for (int i = 1; i <= kAlerts; ++i) {
        checkWhole(tones.at(i), alert_);
    }
}

void TstSound::aSoundSetWhilePlayingStartsAgain() {
    // Set again while it plays: the sound restarts and then plays to its end, a whole sound
    // after it was set again.
    warmUp();
    if (QTest::currentTestFailed()) {
        return;
    }
    player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
    QList<Tone> tones;
    double restartAt = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            tones = tonesSoFar(&restartAt);
            return !tones.isEmpty() && restartAt - tones.first().start >= 0.25;
        },
        kHearingMs));
    player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
    restartAt -= tones.first().start;
    waitUntilHeard(1);
    tones = stopRecording();
    qInfo("%s; set again after %.2f s", qPrintable(describe(tones)), restartAt);
    QVERIFY2(!tones.isEmpty(), "silent");
    // Still playing when set again; else this run proves nothing.
    QVERIFY2(restartAt < alert_.length - 0.2, qPrintable(describe(tones)));
    const Tone last = tones.last();
    const double heard = last.start + last.length - tones.first().start;
    QVERIFY2(heard > restartAt + alert_.length - 0.12, qPrintable(describe(tones)));
    QVERIFY2(heard < restartAt + alert_.length + 0.3, qPrintable(describe(tones)));
}

void TstSound::aMissingFilePlaysNothing() {
    warmUp();
    if (QTest::currentTestFailed()) {
        return;
    }
    player->setUrl(f->t.programFile(QStringLiteral("none.mp3")));
    // A second of recording, then a sound: whatever the missing file played would be heard
    // before it, as a tone of its own.
    QVERIFY(waitForRecording(1.0));
    player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
    // A missing file set while a sound plays stops it.
    QVERIFY(QTest::qWaitFor([&] { return !tonesSoFar().isEmpty(); }, kHearingMs));
    player->setUrl(f->t.programFile(QStringLiteral("none.mp3")));
    waitUntilHeard(1);
    const QList<Tone> tones = stopRecording();
    qInfo("%s", qPrintable(describe(tones)));
    QCOMPARE(tones.size(), 1);
    QVERIFY2(tones.first().length < alert_.length - 0.2, qPrintable(describe(tones)));
}

void TstSound::noAudioDeviceIsSilentAndQuick() {
    // In a process of its own whose sound server does not exist.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent/pulse"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--without-device"), f->t.programFile(QStringLiteral("ts.mp3"))});
    QVERIFY(child.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    QVERIFY2(child.exitCode() == 0, qPrintable(output));
}

// The child of noAudioDeviceIsSilentAndQuick: plays three times and checks that the event
// loop never stood still and that no window asked the user anything.
static int playWithoutDevice(const QString& file) {
    platform::DesktopMediaPlayer player(testsupport::buildProgramFolder());
    const testsupport::StallWatch watch;
    for (int i = 0; i < 3; ++i) {
        player.setUrl(file);
        QTest::qWait(700);
    }
    const bool asked = !QApplication::topLevelWidgets().isEmpty();
    const qint64 longestStall = watch.longestStallMs();
    if (longestStall > 1000 || asked) {
        fprintf(stderr, "stalled %lld ms, windows shown: %d\n", longestStall, int(asked));
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--without-device") == 0) {
        QApplication app(argc, argv);
        return playWithoutDevice(QString::fromLocal8Bit(argv[2]));
    }
    // The server comes first: the application's audio connects to it when first used.
    AudioServer server;
    const bool started = server.start();
    QApplication app(argc, argv);
    if (!started) {
        qCritical("%s", qPrintable(server.error()));
        return 1;
    }
    audio = &server;
    TstSound test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound.moc"
