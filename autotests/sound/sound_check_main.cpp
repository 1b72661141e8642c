// The Windows side of the sound test (mci_sound_test.sh), run under Wine:
//   trackoro-sound-check play <file> <times> <interval ms>
//       plays the file through the program's sound output <times> times, <interval ms> apart,
//       then waits for the last one to end;
//   trackoro-sound-check tones <recording> <times> <shortest s>
//       finds the tones in a recording (16-bit mono samples at 44100 Hz) and checks that there
//       are <times> of them, each heard whole: all as long as the longest (a sound cut short or
//       started late is shorter) and none shorter than <shortest s>. Exits 1 when not.
//       <times> 0: silence.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstdio>

#include "platform/system/sound_output.h"
#include "support/audio_server.h"

namespace {

int play(const QString& file, int times, int intervalMs) {
    std::unique_ptr<platform::SoundOutput> output =
        platform::makeSoundOutput(QCoreApplication::applicationDirPath());
    if (!output) {
        std::fprintf(stderr, "no sound output\n");
        return 1;
    }
    for (int i = 0; i < times; ++i) {
        QElapsedTimer asked;
        asked.start();
        output->play(file, 100);
        std::printf("sound %d asked for, play() took %lld ms\n", i + 1,
                    static_cast<long long>(asked.elapsed()));
        QThread::msleep(static_cast<unsigned long>(intervalMs));
    }
    return 0;
}

int tones(const QString& recordingPath, int times, double shortest) {
    QFile recording(recordingPath);
    if (!recording.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(recordingPath));
        return 1;
    }
    const QList<testsupport::Tone> found =
        testsupport::findTones(recording.readAll(), testsupport::AudioServer::kRate);
    double longest = 0;
    for (const testsupport::Tone& tone : found) {
        longest = std::max(longest, tone.length);
    }
    std::printf("%lld tones recorded:\n", static_cast<long long>(found.size()));
    bool whole = times == 0 || longest >= shortest;
    for (const testsupport::Tone& tone : found) {
        std::printf("  at %.2f s, %.2f s long, peak %.3f\n", tone.start, tone.length, tone.peak);
        whole = whole && longest - tone.length < 0.06;
    }
    if (found.size() != times || !whole) {
        std::printf("FAIL: %d tones of %.2f s or more, each as long as the others, expected\n",
                    times, shortest);
        return 1;
    }
    std::printf("PASS: %d tones, each heard whole\n", times);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("play")) {
        return play(args[2], args[3].toInt(), args[4].toInt());
    }
    if (args.size() == 5 && args[1] == QLatin1String("tones")) {
        return tones(args[2], args[3].toInt(), args[4].toDouble());
    }
    std::fprintf(stderr,
                 "usage: trackoro-sound-check play <file> <times> <interval ms>\n"
                 "       trackoro-sound-check tones <recording> <times> <shortest s>\n");
    return 2;
}
