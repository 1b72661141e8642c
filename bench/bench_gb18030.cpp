// Times the first reading and writing of GBK (GB18030) text in a process: what the first load
// of the history pays for the converter, then the same conversions once it is ready. Each
// first is measured in a fresh process (the program runs itself with --once), and the median
// of the runs is printed.
//   bench_gb18030 [runs]        default 21
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/text_codec.h"
#include "median.h"

namespace {

// A history of 200 entries, as the program writes it.
QString historyText() {
    QString text;
    for (int i = 0; i < 200; ++i) {
        text += QStringLiteral("SF%1|顺丰快递|爸爸衣服\r\n").arg(1234567890LL + i);
    }
    return text;
}

// One process: the first read of a history, a second read, the first write, a second write
// (microseconds, on one line).
int once() {
    const QString text = historyText();
    // The bytes are made without the converter: they are what the history file holds.
    QByteArray file;
    for (int i = 0; i < 200; ++i) {
        file += QByteArray::number(1234567890LL + i).prepend("SF") +
                QByteArray::fromHex("7ccbb3b7e1bfecb5dd7cb0d6b0d6d2c2b7fe0d0a");
    }
    QElapsedTimer timer;
    timer.start();
    const QString read = base::fromGbk(file).value_or(QString());
    const qint64 firstRead = timer.nsecsElapsed();
    timer.restart();
    const QString again = base::fromGbk(file).value_or(QString());
    const qint64 secondRead = timer.nsecsElapsed();
    if (read != text || again != text) {
        std::fprintf(stderr, "the history was read wrong\n");
        return 1;
    }
    timer.restart();
    const QByteArray written = base::toGbk(QStringLiteral("快递已签收")).value_or(QByteArray());
    const qint64 firstWrite = timer.nsecsElapsed();
    timer.restart();
    const QByteArray rewritten = base::toGbk(text).value_or(QByteArray());
    const qint64 secondWrite = timer.nsecsElapsed();
    if (rewritten != file || written.size() != 10) {
        std::fprintf(stderr, "the history was written wrong\n");
        return 1;
    }
    std::printf("%lld %lld %lld %lld\n", firstRead / 1000, secondRead / 1000, firstWrite / 1000,
                secondWrite / 1000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--once"))) {
        return once();
    }
    const int runs = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 21;
    std::vector<std::vector<double>> columns(4);
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(app.applicationFilePath(), {QStringLiteral("--once")});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed: %s\n", run, child.readAllStandardError().data());
            return 1;
        }
        const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
        for (int i = 0; i < 4 && i < fields.size(); ++i) {
            columns[i].push_back(fields[i].toDouble());
        }
    }
    std::printf("median of %d processes, microseconds:\n", runs);
    std::printf("  first read of a 200-entry history   %8.0f\n", bench::median(columns[0]));
    std::printf("  the same read again                 %8.0f\n", bench::median(columns[1]));
    std::printf("  first write of a short text         %8.0f\n", bench::median(columns[2]));
    std::printf("  write of the 200-entry history      %8.0f\n", bench::median(columns[3]));
    return 0;
}
