#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "base/text_codec.h"
#include "history/history_entry.h"
#include "history/history_file.h"
#include "support/file_bytes.h"
#include "support/file_faults.h"

namespace {

// The entries read back; a marker entry when the file could not be opened.
QStringList loaded(const QString& path) {
    return history::readHistoryFile(path).value_or(QStringList{"<not opened>"});
}

void setMode(const QString& path, QFile::Permissions permissions) {
    QVERIFY(QFile::setPermissions(path, permissions));
}

const QFile::Permissions kReadOnly =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
const QFile::Permissions kOpen = kReadOnly | QFile::WriteOwner | QFile::WriteOther;

}  // namespace

using testsupport::fileBytes;
#ifndef Q_OS_WIN
#endif
using testsupport::putBytes;
using testsupport::Unprivileged;

class TstHistoryFormat : public QObject {
    Q_OBJECT

private slots:
    // Entries
    void entryJoinsThreeFields();
    void piecesOfAnEntry();
    void companyWithBarSplitsOnPick();
    void numberOfEntryWithoutBar();
    void holdsNumberComparesTheNumberField_data();
    void holdsNumberComparesTheNumberField();

    // File format
    void filePathHasOneSeparator();
    void fileBytesForThreeEntries();
    void emptyListIsZeroBytes();
    void lineEnds_data();
    void lineEnds();
    void characterGbkLacksRoundTrips();

    // Reading and writing
    void writeThenRead();
    void missingFileIsNotRead();
    void readErrorAtTheStartLoadsNothing();
    void writeIntoReadOnlyFolderFails();
    void readOnlyFileIsNotReplaced();
    void withoutGbkConverterTheFileStays();
};

void TstHistoryFormat::entryJoinsThreeFields() {
    QCOMPARE(history::makeEntry("1234", "EMS快递", "爸爸衣服"), QString("1234|EMS快递|爸爸衣服"));
    QCOMPARE(history::makeEntry(" 12 ", "EMS快递", "a|b"), QString(" 12 |EMS快递|a|b"));
}

void TstHistoryFormat::piecesOfAnEntry() {
    const QString entry = "1234|EMS快递|爸爸|衣服";
    QCOMPARE(history::entryPiece(entry, 0), QString("1234"));
    QCOMPARE(history::entryPiece(entry, 1), QString("EMS快递"));
    QCOMPARE(history::entryPiece(entry, 2), QString("爸爸"));
    QCOMPARE(history::entryPiece(entry, 3), QString("衣服"));
    QCOMPARE(history::entryPiece(entry, 4), QString());
    QCOMPARE(history::entryPiece("1234|EMS快递", 2), QString());
    QCOMPARE(history::entryPiece("1234||r", 1), QString());
    QCOMPARE(history::entryPiece("1234||r", 2), QString("r"));
    QCOMPARE(history::pickNumber(entry), QString("1234"));
}

void TstHistoryFormat::companyWithBarSplitsOnPick() {
    const QString entry = history::makeEntry("9876", "共速达物流|快递", "书");
    QCOMPARE(entry, QString("9876|共速达物流|快递|书"));
    QCOMPARE(history::pickNumber(entry), QString("9876"));
    QCOMPARE(history::entryPiece(entry, 1), QString("共速达物流"));
    QCOMPARE(history::entryPiece(entry, 2), QString("快递"));
    QCOMPARE(history::numberField(entry), QString("9876"));
}

void TstHistoryFormat::numberOfEntryWithoutBar() {
    QCOMPARE(history::pickNumber("5678"), QString());
    QCOMPARE(history::numberField("5678"), QString("5678"));
    QCOMPARE(history::pickNumber(""), QString());
    QCOMPARE(history::numberField(""), QString());
    QCOMPARE(history::pickNumber("|EMS快递|r"), QString());
}

void TstHistoryFormat::holdsNumberComparesTheNumberField_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("held");
    const QStringList stored{"1234|EMS快递|爸爸衣服", "SF1|顺丰快递|书 777"};
    QTest::newRow("same number") << stored << "1234" << true;
    QTest::newRow("prefix of a number") << stored << "123" << false;
    QTest::newRow("inside a number") << stored << "234" << false;
    QTest::newRow("longer number") << stored << "12345" << false;
    QTest::newRow("inside a remark") << stored << "777" << false;
    QTest::newRow("company") << stored << "EMS快递" << false;
    QTest::newRow("case differs") << stored << "sf1" << false;
    QTest::newRow("second entry") << stored << "SF1" << true;
    QTest::newRow("entry without bar") << QStringList{"5678"} << "5678" << true;
    QTest::newRow("spaces count") << stored << " 1234" << false;
    QTest::newRow("empty list") << QStringList{} << "1234" << false;
}

void TstHistoryFormat::holdsNumberComparesTheNumberField() {
    QFETCH(QStringList, entries);
    QFETCH(QString, number);
    QFETCH(bool, held);
    QCOMPARE(history::holdsNumber(entries, number), held);
}

void TstHistoryFormat::filePathHasOneSeparator() {
    QCOMPARE(history::historyFilePath("/"), QString("/wlnum.ini"));
    QCOMPARE(history::historyFilePath("/opt/trackoro"), QString("/opt/trackoro/wlnum.ini"));
    QCOMPARE(history::historyFilePath("/opt/trackoro/"), QString("/opt/trackoro/wlnum.ini"));
}

void TstHistoryFormat::fileBytesForThreeEntries() {
    const QStringList entries{"1234|EMS快递|爸爸衣服", "SF1|顺丰快递|a", "中"};
    const QByteArray expected = QByteArray::fromHex(
        "313233347c454d53bfecb5dd7cb0d6b0d6d2c2b7fe0d0a"  // 1234|EMS快递|爸爸衣服 CR LF
        "5346317ccbb3b7e1bfecb5dd7c610d0a"                // SF1|顺丰快递|a CR LF
        "d6d00d0a");                                      // 中 CR LF
    QCOMPARE(history::encodeHistory(entries).value(), expected);

    QTemporaryDir dir;
    const QString path = history::historyFilePath(dir.path());
    QVERIFY(history::writeHistoryFile(path, entries));
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(loaded(path), entries);
}

void TstHistoryFormat::emptyListIsZeroBytes() {
    QVERIFY(history::encodeHistory({}).value().isEmpty());
    QTemporaryDir dir;
    const QString path = history::historyFilePath(dir.path());
    QVERIFY(putBytes(path, "old\r\n"));
    QVERIFY(history::writeHistoryFile(path, {}));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(loaded(path), QStringList{});
}

void TstHistoryFormat::lineEnds_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("zero bytes") << QByteArray() << QStringList{};
    QTest::newRow("crlf") << QByteArray("A\r\nB\r\n") << QStringList{"A", "B"};
    QTest::newRow("last line without crlf") << QByteArray("A\r\nB") << QStringList{"A", "B"};
    QTest::newRow("lone cr") << QByteArray("A\rB\r\n") << QStringList{"A", "B"};
    QTest::newRow("ends with lone cr") << QByteArray("A\r") << QStringList{"A"};
    QTest::newRow("lone lf stays") << QByteArray("A\nB\r\n") << QStringList{"A\nB"};
    QTest::newRow("empty line between")
        << QByteArray("A\r\n\r\nB\r\n") << QStringList{"A", "", "B"};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("no bar, spaces kept") << QByteArray(" x \r\n") << QStringList{" x "};
    QTest::newRow("gbk") << QByteArray::fromHex("d6d07c454d53bfecb5dd7c610d0a")
                         << QStringList{"中|EMS快递|a"};
}

void TstHistoryFormat::lineEnds() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(history::decodeHistory(bytes).value(), entries);
}

void TstHistoryFormat::characterGbkLacksRoundTrips() {
    const QStringList entries{QString("1|EMS快递|") + QString::fromUtf8("ğ😀")};
    const QByteArray bytes = history::encodeHistory(entries).value();
    QVERIFY(!bytes.contains('?'));
    QCOMPARE(history::decodeHistory(bytes).value(), entries);
}

void TstHistoryFormat::writeThenRead() {
    QTemporaryDir dir;
    const QString path = history::historyFilePath(dir.path());
    QVERIFY(history::writeHistoryFile(path, {"A|EMS快递|x", "B|EMS快递|y"}));
    // Rewriting replaces the whole content.
    QVERIFY(history::writeHistoryFile(path, {"C|EMS快递|z"}));
    QCOMPARE(loaded(path), QStringList{"C|EMS快递|z"});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"wlnum.ini"});
}

void TstHistoryFormat::missingFileIsNotRead() {
    QTemporaryDir dir;
    QVERIFY(!history::readHistoryFile(history::historyFilePath(dir.path())).has_value());
}

void TstHistoryFormat::readErrorAtTheStartLoadsNothing() {
    // Reading a process's own memory file from offset 0 opens but fails on the first read:
    // the load ends without a message and adds nothing. (A read failing after some lines is
    // hard to bring about; the same code path keeps the whole lines read before it.)
    if (!QFile::exists("/proc/self/mem")) {
        QSKIP("no /proc");
    }
    const std::optional<QStringList> entries = history::readHistoryFile("/proc/self/mem");
    QVERIFY(entries.has_value());
    QVERIFY(entries->isEmpty());
}

void TstHistoryFormat::writeIntoReadOnlyFolderFails() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no read-only folders");
#endif
    QTemporaryDir dir;
    const QString path = history::historyFilePath(dir.path());
    QVERIFY(history::writeHistoryFile(path, {"old|EMS快递|x"}));
    const QByteArray before = fileBytes(path);
    // The file itself may be written by anyone: only the folder stands in the way.
    setMode(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    setMode(dir.path(), kReadOnly);
    bool written = true;
    {
        Unprivileged user;
        QVERIFY(user.ok());
        written = history::writeHistoryFile(path, {"old|EMS快递|x", "new|EMS快递|y"}).ok();
    }
    setMode(dir.path(), kOpen);
    QVERIFY(!written);
    QCOMPARE(fileBytes(path), before);
    QVERIFY(!history::writeHistoryFile(dir.filePath("missing/wlnum.ini"), {"a"}));
}

void TstHistoryFormat::readOnlyFileIsNotReplaced() {
    QTemporaryDir dir;
    setMode(dir.path(), kOpen);
    const QString path = history::historyFilePath(dir.path());
    QVERIFY(history::writeHistoryFile(path, {"old|EMS快递|x"}));
    const QByteArray before = fileBytes(path);
    setMode(path, QFile::ReadOwner | QFile::ReadOther);
    bool written = true;
    {
        Unprivileged user;
        QVERIFY(user.ok());
        written = history::writeHistoryFile(path, {"new|EMS快递|y"}).ok();
    }
    QVERIFY(!written);
    QCOMPARE(fileBytes(path), before);
}

void TstHistoryFormat::withoutGbkConverterTheFileStays() {
    QTemporaryDir dir;
    const QString path = history::historyFilePath(dir.path());
    QVERIFY(history::writeHistoryFile(path, {"1234|EMS快递|爸爸衣服"}));
    const QByteArray before = fileBytes(path);
    base::Result written;
    {
        base::GbkConverterMissing missing;
        QVERIFY(!history::encodeHistory({"SF1|顺丰快递|x"}).has_value());
        written = history::writeHistoryFile(path, {"1234|EMS快递|爸爸衣服", "SF1|顺丰快递|x"});
    }
    QVERIFY(!written);
    QVERIFY2(written.error().contains("GBK"), qPrintable(written.error()));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"wlnum.ini"});
}

QTEST_GUILESS_MAIN(TstHistoryFormat)
#include "tst_history_format.moc"
