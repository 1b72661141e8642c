// Times the history file with a full number list: saving, loading and rewriting 32,000
// entries, and the duplicate test over them.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "history/history_entry.h"
#include "history/history_file.h"
#include "median.h"

namespace {

double timeIt(int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return bench::median(ms);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int entryCount = 32000;
    const int runs = 9;
    QStringList entries;
    entries.reserve(entryCount);
    for (int i = 0; i < entryCount; ++i) {
        entries.append(QStringLiteral("SF%1|顺丰快递|爸爸衣服").arg(1234567890LL + i));
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    bool ok = true;

    // Save: the file does not exist yet.
    const double save = timeIt(runs, [&] {
        const QString path = history::historyFilePath(dir.path());
        QFile::remove(path);
        ok = history::writeHistoryFile(path, entries) && ok;
    });
    const QString path = history::historyFilePath(dir.path());
    const qint64 bytes = QFileInfo(path).size();

    int loadedCount = 0;
    const double load = timeIt(runs, [&] {
        const std::optional<QStringList> loaded = history::readHistoryFile(path);
        loadedCount = loaded ? static_cast<int>(loaded->size()) : -1;
    });

    // Rewrite: the file exists and is replaced, as after a save or a delete.
    QStringList changed = entries;
    changed.removeAt(entryCount / 2);
    const double rewrite = timeIt(runs,
                                  [&] {
                                      ok = history::writeHistoryFile(path, changed) && ok;
                                      ok = history::writeHistoryFile(path, entries) && ok;
                                  }) /
                           2;

    bool found = true;
    const double missing = timeIt(runs, [&] {
        found = history::holdsNumber(entries, QStringLiteral("SF0000000000")) && found;
    });
    bool foundLast = false;
    const double last = timeIt(runs, [&] {
        foundLast = history::holdsNumber(entries,
                                         QStringLiteral("SF%1").arg(1234567890LL + entryCount - 1));
    });

    if (!ok || loadedCount != entryCount || found || !foundLast) {
        std::fprintf(stderr, "unexpected result: ok=%d loaded=%d found=%d foundLast=%d\n", ok,
                     loadedCount, found, foundLast);
        return 1;
    }
    std::printf("%d entries, %lld bytes, median of %d runs\n", entryCount,
                static_cast<long long>(bytes), runs);
    std::printf("  save (new file)          %8.3f ms\n", save);
    std::printf("  load                     %8.3f ms\n", load);
    std::printf("  rewrite (replace file)   %8.3f ms\n", rewrite);
    std::printf("  holdsNumber, not stored  %8.3f ms\n", missing);
    std::printf("  holdsNumber, last entry  %8.3f ms\n", last);
    return 0;
}
