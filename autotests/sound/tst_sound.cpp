// What the user hears: the program's own media player, playing into a real PulseAudio
// server whose null sink is recorded.
#include <QAudioDecoder>
#include <QEventLoop>
#include <QMessageBox>
#include <QProcess>
#include <QtTest>
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
    QList<Tone> record(const std::function<void()>& play);
    void warmUp();
    void checkWhole(const Tone& tone, const FileSound& file);

    FileSound startup_;
    FileSound alert_;
    std::unique_ptr<testsupport::MainWindowFixture> f;
    std::unique_ptr<platform::DesktopMediaPlayer> player;
};

void TstSound::initTestCase() {
    QVERIFY2(audio, "no audio server");
    startup_ = decodeFile(QStringLiteral(TRACKORO_ASSETS_DIR "/zeluna.mp3"));
    alert_ = decodeFile(QStringLiteral(TRACKORO_ASSETS_DIR "/ts.mp3"));
    QVERIFY(startup_.length > 0.5);
    QVERIFY(alert_.length > 0.3);
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

// Plays one sound unrecorded, so that the audio back end is loaded before the recording.
void TstSound::warmUp() {
    player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
    QTest::qWait(int(alert_.length * 1000) + 1500);
}

QList<Tone> TstSound::record(const std::function<void()>& play) {
    if (!audio->startRecording()) {
        qWarning() << audio->error();
        return {};
    }
    // The monitor may first hand over a few samples it held from before; what the test plays
    // starts after them.
    constexpr int kSettleMs = 500;
    QTest::qWait(kSettleMs);
    play();
    QTest::qWait(300);  // the tail of the last sound
    const QByteArray samples = audio->stopRecording();
    const qsizetype settleBytes = qsizetype(AudioServer::kRate) * kSettleMs / 1000 * 2;
    return testsupport::findTones(samples.mid(settleBytes), AudioServer::kRate);
}

void TstSound::checkWhole(const Tone& tone, const FileSound& file) {
    // Played whole, from its start, at half the volume.
    QVERIFY2(std::abs(tone.length - file.length) < 0.12,
             qPrintable(QStringLiteral("%1 s of a %2 s sound").arg(tone.length).arg(file.length)));
    QVERIFY2(std::abs(tone.peak - file.peak * 0.5) < file.peak * 0.1,
             qPrintable(QStringLiteral("peak %1 of the file's %2").arg(tone.peak).arg(file.peak)));
}

void TstSound::everyAlertIsHeardWhole() {
    // The start-up sound, then ten queries whose answers each hold one line more.
    constexpr int kAlerts = 10;
    app::Form1* form = nullptr;
    const QList<Tone> tones = record([&] {
        form = f->open();
        QTest::qWait(int(startup_.length * 1000) + 800);
        for (int i = 1; i <= kAlerts; ++i) {
            f->answer(testsupport::MainWindowFixture::rowsOf(i));
            f->query(QStringLiteral("SF100"), QStringLiteral("顺丰快递"),
                     QStringLiteral("爸爸衣服"));
            QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
            QTest::qWait(int(alert_.length * 1000) + 400);
        }
    });
    qInfo("%s", qPrintable(describe(tones)));
    QCOMPARE(tones.size(), kAlerts + 1);
    checkWhole(tones.first(), startup_);
    for (int i = 1; i <= kAlerts; ++i) {
        checkWhole(tones.at(i), alert_);
    }
}

void TstSound::aSoundSetWhilePlayingStartsAgain() {
    // Set again before it has ended: the sound restarts and then plays to its end.
    constexpr int kAfterMs = 300;
    warmUp();
    const QList<Tone> tones = record([&] {
        player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
        QTest::qWait(kAfterMs);
        player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
        QTest::qWait(int(alert_.length * 1000) + 400);
    });
    qInfo("%s", qPrintable(describe(tones)));
    QVERIFY2(!tones.isEmpty(), "silent");
    const Tone last = tones.last();
    const double heard = last.start + last.length - tones.first().start;
    QVERIFY2(std::abs(heard - (kAfterMs / 1000.0 + alert_.length)) < 0.15,
             qPrintable(describe(tones)));
}

void TstSound::aMissingFilePlaysNothing() {
    warmUp();
    const QList<Tone> tones = record([&] {
        player->setUrl(f->t.programFile(QStringLiteral("none.mp3")));
        QTest::qWait(1000);
        // A missing file set while a sound plays stops it.
        player->setUrl(f->t.programFile(QStringLiteral("ts.mp3")));
        QTest::qWait(200);
        player->setUrl(f->t.programFile(QStringLiteral("none.mp3")));
        QTest::qWait(int(alert_.length * 1000));
    });
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
