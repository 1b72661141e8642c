// A writer killed in the middle of rewriting a large history (or export) file leaves the
// file whole: exactly the content before the write or the content of the write, never a
// mix of both, never a cut-off or empty file.
//
// The writer is a separate program (trackoro-history-writer) that rewrites the file with
// the program's own writers in a loop, alternating between two contents; it is killed with
// SIGKILL at a random moment again and again.
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "history/export_format.h"
#include "history/history_file.h"
#include "support/file_bytes.h"

#ifndef TRACKORO_HISTORY_WRITER
#error "TRACKORO_HISTORY_WRITER must name the writer program"
#endif

namespace {

constexpr int kEntries = 32000;
// Where starting a process is slow (Windows programs under Wine, about half a second each),
// fewer kills, at the same random moments.
#ifdef TRACKORO_FEWER_KILLS
constexpr int kKillDivisor = TRACKORO_FEWER_KILLS;
#else
constexpr int kKillDivisor = 1;
#endif

// Two large histories that differ in every line.
QStringList entries(QChar tag, const QString& courier, const QString& remark) {
    QStringList list;
    list.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        list.append(QStringLiteral("%1%2|%3|%4第%5件")
                        .arg(tag)
                        .arg(i, 8, 10, QLatin1Char('0'))
                        .arg(courier, remark)
                        .arg(i));
    }
    return list;
}

QVector<QStringList> rowsOf(const QStringList& list) {
    QVector<QStringList> rows;
    rows.reserve(list.size());
    for (const QString& entry : list) {
        rows.append(entry.split(QLatin1Char('|')));
    }
    return rows;
}

}  // namespace

using testsupport::fileBytes;
using testsupport::putBytes;

class TstCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedWriterLeavesAWholeFile_data();
    void killedWriterLeavesAWholeFile();

private:
    QStringList a_;
    QStringList b_;
};

void TstCrashSafety::initTestCase() {
    QVERIFY2(QFile::exists(QStringLiteral(TRACKORO_HISTORY_WRITER)), TRACKORO_HISTORY_WRITER);
    a_ = entries(QLatin1Char('A'), QStringLiteral("顺丰快递"), QStringLiteral("爸爸衣服"));
    b_ = entries(QLatin1Char('B'), QStringLiteral("圆通快递"), QStringLiteral("妈妈的鞋子"));
}

void TstCrashSafety::killedWriterLeavesAWholeFile_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("kills");
    QTest::addColumn<int>("longestDelayMs");
    // A history write takes a few milliseconds here, an export write a few dozen: the
    // delays span several writes either way.
    QTest::newRow("history file") << "history" << 210 / kKillDivisor << 40;
    QTest::newRow("export file") << "export" << 30 / kKillDivisor << 80;
}

void TstCrashSafety::killedWriterLeavesAWholeFile() {
    QFETCH(QString, mode);
    QFETCH(int, kills);
    QFETCH(int, longestDelayMs);
    const bool history = mode == QLatin1String("history");
    const QByteArray bytesA =
        history ? history::encodeHistory(a_).value() : history::exportBytes(rowsOf(a_)).value();
    const QByteArray bytesB =
        history ? history::encodeHistory(b_).value() : history::exportBytes(rowsOf(b_)).value();
    QVERIFY(bytesA.size() > 1024 * 1024);
    QVERIFY(bytesB.size() > 1024 * 1024);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString refA = dir.filePath(QStringLiteral("a.ref"));
    const QString refB = dir.filePath(QStringLiteral("b.ref"));
    QVERIFY(putBytes(refA, history::encodeHistory(a_).value()));
    QVERIFY(putBytes(refB, history::encodeHistory(b_).value()));
    // The file lives in a folder of its own, so that anything else left there shows.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("program")));
    const QString folder = dir.filePath(QStringLiteral("program"));
    const QString target = QDir(folder).filePath(
        history ? QString::fromLatin1(history::kHistoryFileName) : QStringLiteral("导出.txt"));
    QVERIFY(putBytes(target, bytesA));

    // A fixed seed: a failure can be run again with the same moments.
    QRandomGenerator random(20261207);
    int midWrite = 0;    // kills that came between the start and the end of a write
    int writesDone = 0;  // writes completed over all runs
    QByteArray before = bytesA;
    for (int kill = 1; kill <= kills; ++kill) {
        QProcess writer;
        writer.setProgram(QStringLiteral(TRACKORO_HISTORY_WRITER));
        writer.setArguments({mode, target, refA, refB});
        writer.setProcessChannelMode(QProcess::SeparateChannels);
        writer.start();
        QVERIFY2(writer.waitForStarted(10000), qPrintable(writer.errorString()));
        while (!writer.canReadLine()) {
            QVERIFY2(writer.waitForReadyRead(10000), "the writer did not get ready");
        }
        QCOMPARE(writer.readLine(), QByteArray("ready\n"));

        // A random moment: several writes start and end in the time it may take, so the kill
        // falls anywhere in a write (encoding, writing, renaming) or between two. Every tenth
        // kill first waits for a finished write, however slow the machine (or a sanitizer
        // build) is, so finished writes are always among the cases.
        QByteArray output;
        if (kill % 10 == 0) {
            QDeadlineTimer patience(60000);
            while (!output.startsWith("d\n") && !output.contains("\nd\n") &&
                   !patience.hasExpired()) {
                writer.waitForReadyRead(100);
                output += writer.readAllStandardOutput();
            }
        }
        const int delayMs = random.bounded(1, longestDelayMs + 1);
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < delayMs) {
            writer.waitForReadyRead(delayMs - static_cast<int>(waited.elapsed()));
        }
        writer.kill();  // SIGKILL
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        QVERIFY2(writer.readAllStandardError().isEmpty(), "the writer reported a failure");

        // What the writer got through: the last write it finished, and the one it was in.
        output += writer.readAllStandardOutput();
        const QList<QByteArray> log = output.split('\n');
        QByteArray finished = before;
        QByteArray started;
        for (const QByteArray& line : log) {
            if (line == "bA" || line == "bB") {
                started = line == "bA" ? bytesA : bytesB;
            } else if (line == "d") {
                finished = started;
                started.clear();
                ++writesDone;
            }
        }
        if (!started.isEmpty()) {
            ++midWrite;
        }

        const QByteArray now = fileBytes(target);
        const bool whole = now == bytesA || now == bytesB;
        if (!whole) {
            qWarning("kill %d after %d ms: the file has %lld bytes, neither A nor B", kill, delayMs,
                     static_cast<long long>(now.size()));
        }
        QVERIFY(whole);
        // It is the last finished write, or the one under way when it had got to the rename.
        QVERIFY2(now == finished || (!started.isEmpty() && now == started),
                 qPrintable(
                     QStringLiteral("kill %1: the file went back to an older content").arg(kill)));
        before = now;
    }

    // The only other files the kills may leave are the writer's temporary files beside the
    // target, at most one per kill.
    const QStringList others =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    int leftovers = 0;
    for (const QString& name : others) {
        if (name == QFileInfo(target).fileName()) {
            continue;
        }
        QVERIFY2(name.startsWith(QFileInfo(target).fileName() + QLatin1Char('.')),
                 qPrintable(name));
        ++leftovers;
    }
    QVERIFY(leftovers <= kills);
    qInfo(
        "%d kills survived (%d in the middle of a write), %d writes completed, "
        "%d temporary files left behind",
        kills, midWrite, writesDone, leftovers);
    // The kills did hit writes under way, and the writer did get writes done.
    QVERIFY(midWrite > kills / 4);
    QVERIFY(writesDone > 0);
}

QTEST_GUILESS_MAIN(TstCrashSafety)
#include "tst_crash_safety.moc"
