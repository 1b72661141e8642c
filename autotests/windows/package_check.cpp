// What the package test (tst_package.sh) reads back from the Windows program under Wine, on
// the Linux side:
//   trackoro-package-check heard <recording> <shortest s>-<longest s>...
//       finds the tones in a recording (16-bit mono samples at 44100 Hz) and checks that there
//       is one for each range given, in that order, each as long as its range says;
//   trackoro-package-check glyphs <screenshot> <x> <y> <width> <height> <least>
//       counts the different shapes of ink (text, lines) in that rectangle of a screenshot
//       and checks that there are at least <least>. Text drawn in a font that has its
//       characters gives a shape per character (and more); text drawn as boxes, where the
//       font lacks the characters, gives one shape for all of them.
// Both print what they found and exit 1 when the check fails, 2 on bad arguments.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "support/audio_server.h"

namespace {

int heard(const QString& recordingPath, const QStringList& ranges) {
    QFile recording(recordingPath);
    if (!recording.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(recordingPath));
        return 2;
    }
    const QList<testsupport::Tone> found =
        testsupport::findTones(recording.readAll(), testsupport::AudioServer::kRate);
    std::printf("%lld tones recorded:\n", static_cast<long long>(found.size()));
    bool ok = found.size() == ranges.size();
    for (qsizetype i = 0; i < found.size(); ++i) {
        const testsupport::Tone& tone = found.at(i);
        std::printf("  at %.2f s, %.2f s long, peak %.3f", tone.start, tone.length, tone.peak);
        if (i < ranges.size()) {
            const QStringList bounds = ranges.at(i).split(QLatin1Char('-'));
            const bool inRange = bounds.size() == 2 && tone.length >= bounds[0].toDouble() &&
                                 tone.length <= bounds[1].toDouble();
            std::printf(" (expected %s s)%s", qPrintable(ranges.at(i)), inRange ? "" : " WRONG");
            ok = ok && inRange;
        }
        std::printf("\n");
    }
    if (!ok) {
        std::printf("FAIL: %lld tones of %s s expected\n", static_cast<long long>(ranges.size()),
                    qPrintable(ranges.join(QLatin1String(", "))));
        return 1;
    }
    std::printf("PASS: the %lld tones expected, each as long as expected\n",
                static_cast<long long>(ranges.size()));
    return 0;
}

// The shapes of the 8-connected areas of dark pixels in `area`, each as its size and pixels.
QSet<QByteArray> inkShapes(const QImage& area) {
    const int width = area.width();
    const int height = area.height();
    std::vector<int> label(static_cast<size_t>(width) * height, 0);
    auto ink = [&](int x, int y) { return qGray(area.pixel(x, y)) < 150; };
    QSet<QByteArray> shapes;
    int next = 0;
    for (int y0 = 0; y0 < height; ++y0) {
        for (int x0 = 0; x0 < width; ++x0) {
            if (!ink(x0, y0) || label[static_cast<size_t>(y0) * width + x0] != 0) {
                continue;
            }
            ++next;
            std::vector<QPoint> pixels{QPoint(x0, y0)};
            label[static_cast<size_t>(y0) * width + x0] = next;
            for (size_t i = 0; i < pixels.size(); ++i) {
                const QPoint p = pixels[i];
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int x = p.x() + dx;
                        const int y = p.y() + dy;
                        if (x < 0 || y < 0 || x >= width || y >= height || !ink(x, y) ||
                            label[static_cast<size_t>(y) * width + x] != 0) {
                            continue;
                        }
                        label[static_cast<size_t>(y) * width + x] = next;
                        pixels.emplace_back(x, y);
                    }
                }
            }
            QRect box;
            for (const QPoint& p : pixels) {
                box |= QRect(p, QSize(1, 1));
            }
            QByteArray shape =
                QByteArray::number(box.width()) + 'x' + QByteArray::number(box.height()) + ':';
            QByteArray bits(box.width() * box.height(), '.');
            for (const QPoint& p : pixels) {
                bits[(p.y() - box.y()) * box.width() + (p.x() - box.x())] = '#';
            }
            shapes.insert(shape + bits);
        }
    }
    return shapes;
}

int glyphs(const QString& path, const QRect& rect, int least) {
    const QImage screenshot(path);
    if (screenshot.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 2;
    }
    const QRect area = rect.intersected(screenshot.rect());
    const qsizetype found = inkShapes(screenshot.copy(area)).size();
    if (found < least) {
        std::printf("FAIL: %lld different shapes of ink in %dx%d+%d+%d, %d or more expected\n",
                    static_cast<long long>(found), area.width(), area.height(), area.x(), area.y(),
                    least);
        return 1;
    }
    std::printf("PASS: %lld different shapes of ink in %dx%d+%d+%d (%d or more expected)\n",
                static_cast<long long>(found), area.width(), area.height(), area.x(), area.y(),
                least);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("heard")) {
        return heard(args[2], args.mid(3));
    }
    if (args.size() == 8 && args[1] == QLatin1String("glyphs")) {
        return glyphs(args[2],
                      QRect(args[3].toInt(), args[4].toInt(), args[5].toInt(), args[6].toInt()),
                      args[7].toInt());
    }
    std::fprintf(stderr,
                 "usage: trackoro-package-check heard <recording> <shortest s>-<longest s>...\n"
                 "       trackoro-package-check glyphs <screenshot> <x> <y> <width> <height> "
                 "<least>\n");
    return 2;
}
