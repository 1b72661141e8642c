// Rewrites a file with the program's own writers, over and over, until it is killed: the
// history writer (history file) or the export writer (export file), alternating between
// two contents. Used by the crash-safety test, which kills it at random moments.
//
//   trackoro-history-writer history|export <target> <entries A> <entries B>
//
// The two contents are read from history files. For the export, each entry's three
// "|"-separated pieces are one row. Before each write the writer prints "b" and the letter
// of the content, after it "d"; the first line is "ready".
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QVector>
#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

#include "history/export_format.h"
#include "history/history_file.h"

namespace {

QVector<QStringList> rowsOf(const QStringList& entries) {
    QVector<QStringList> rows;
    rows.reserve(entries.size());
    for (const QString& entry : entries) {
        rows.append(entry.split(QLatin1Char('|')));
    }
    return rows;
}

void say(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    // The log lines end in LF alone, as the test reads them, not in CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5 ||
        (args.at(1) != QLatin1String("history") && args.at(1) != QLatin1String("export"))) {
        std::fprintf(stderr, "usage: %s history|export <target> <entries A> <entries B>\n",
                     argv[0]);
        return 2;
    }
    const bool history = args.at(1) == QLatin1String("history");
    const QString target = args.at(2);
    const std::optional<QStringList> a = history::readHistoryFile(args.at(3));
    const std::optional<QStringList> b = history::readHistoryFile(args.at(4));
    if (!a || !b) {
        std::fprintf(stderr, "cannot read the contents\n");
        return 2;
    }
    // Rows only for the export: a writer is started for every kill, so it gets ready fast.
    const QVector<QStringList> rowsA = history ? QVector<QStringList>() : rowsOf(*a);
    const QVector<QStringList> rowsB = history ? QVector<QStringList>() : rowsOf(*b);

    // Start with the content the file does not hold now, so that every write changes it.
    QFile current(target);
    const QByteArray bytesB =
        history ? history::encodeHistory(*b).value() : history::exportBytes(rowsB).value();
    const bool holdsB = current.open(QIODevice::ReadOnly) && current.readAll() == bytesB;
    current.close();

    say("ready\n");
    for (bool useB = !holdsB;; useB = !useB) {
        say(useB ? "bB\n" : "bA\n");
        const bool written = (history ? history::writeHistoryFile(target, useB ? *b : *a)
                                      : history::writeExportFile(target, useB ? rowsB : rowsA))
                                 .ok();
        if (!written) {
            std::fprintf(stderr, "write failed\n");
            return 1;
        }
        say("d\n");
    }
}
