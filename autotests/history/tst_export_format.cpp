#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "base/text_codec.h"
#include "history/export_format.h"
#include "support/file_bytes.h"
#include "support/file_faults.h"

namespace {

// Lets everyone into and write in a folder, so only the permissions under test count.
void openUp(const QString& folder) {
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
}

const QVector<QStringList> kThreeRows{
    {"1", "2013-01-05 10:20:00", "已签收"},
    {"2", "2013-01-05 08:00:00", "派件中"},
    {"3", "2013-01-04 21:30:00", "到达 上海"},
};

}  // namespace

using testsupport::fileBytes;
using testsupport::Unprivileged;

class TstExportFormat : public QObject {
    Q_OBJECT

private slots:
    void fixedLength_data();
    void fixedLength();
    void lineOfOneRow();
    void oneRowByteForByte();
    void threeRowsByteForByte();
    void longCellWrittenWhole();
    void pathUsedAsGiven();
    void exportReplacesExistingFile();
    void noRowsTouchNothing();
    void withoutGbkConverterNothingIsWritten();
    void unwritablePathFails();
    void readOnlyFileIsNotReplaced();
};

void TstExportFormat::fixedLength_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("out");
    QTest::newRow("1 byte") << "1" << 8 << "1       ";
    QTest::newRow("2 bytes") << "12" << 8 << "12      ";
    QTest::newRow("8 bytes") << "12345678" << 8 << "12345678";
    QTest::newRow("9 bytes not cut") << "123456789" << 8 << "123456789";
    QTest::newRow("chinese counts 2 bytes") << "快递" << 8 << "快递    ";
    QTest::newRow("chinese 8 bytes") << "快递快递" << 8 << "快递快递";
    QTest::newRow("trimmed") << "  12  " << 8 << "12      ";
    QTest::newRow("spaces only") << "     " << 8 << "";
    QTest::newRow("empty") << "" << 8 << "";
    QTest::newRow("tab is kept") << "\t1 " << 8 << "\t1      ";
    QTest::newRow("width 0") << " 12 " << 0 << "12";
    QTest::newRow("negative width") << " 12 " << -5 << "12";
}

void TstExportFormat::fixedLength() {
    QFETCH(QString, in);
    QFETCH(int, width);
    QFETCH(QString, out);
    QCOMPARE(history::SetStringFixedLength(in, width), out);
}

void TstExportFormat::lineOfOneRow() {
    // "1", seven spaces of width, three of separator.
    QCOMPARE(history::exportLine({"1", "T", "P"}), QString("1          T   P"));
    QCOMPARE(history::exportLine({"32767", "T", "P"}), QString("32767      T   P"));
    QCOMPARE(history::exportLine({"123456789", "T", ""}), QString("123456789   T   "));
    QCOMPARE(history::exportLine({"1"}), QString("1       "));
}

void TstExportFormat::oneRowByteForByte() {
    QTemporaryDir dir;
    const QString path = dir.filePath("one.txt");
    QVERIFY(history::writeExportFile(path, {{"1", "2013-01-05 10:20", "已签收"}}));
    QCOMPARE(fileBytes(path),
             QByteArray("1          2013-01-05 10:20   \xd2\xd1\xc7\xa9\xca\xd5\r\n"));
}

void TstExportFormat::threeRowsByteForByte() {
    const QByteArray expected =
        "1          2013-01-05 10:20:00   \xd2\xd1\xc7\xa9\xca\xd5\r\n"
        "2          2013-01-05 08:00:00   \xc5\xc9\xbc\xfe\xd6\xd0\r\n"
        "3          2013-01-04 21:30:00   \xb5\xbd\xb4\xef \xc9\xcf\xba\xa3\r\n";
    QCOMPARE(history::exportBytes(kThreeRows).value(), expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("three.txt");
    QVERIFY(history::writeExportFile(path, kThreeRows));
    QCOMPARE(fileBytes(path), expected);
}

void TstExportFormat::longCellWrittenWhole() {
    const QString progress = QString("快").repeated(1000);  // 2,000 bytes in GBK
    const QByteArray bytes = history::exportBytes({{"1", "t", progress}}).value();
    QCOMPARE(bytes.size(), 8 + 3 + 1 + 3 + 2000 + 2);
    QVERIFY(bytes.endsWith(QByteArray("\xbf\xec\r\n")));
}

void TstExportFormat::pathUsedAsGiven() {
    QTemporaryDir dir;
    const QString path = dir.filePath("export");
    QVERIFY(history::writeExportFile(path, kThreeRows));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"export"});
}

void TstExportFormat::exportReplacesExistingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    QVERIFY(history::writeExportFile(path, kThreeRows));
    QVERIFY(history::writeExportFile(path, {{"1", "t", "p"}}));
    QCOMPARE(fileBytes(path), QByteArray("1          t   p\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.txt"});
}

void TstExportFormat::noRowsTouchNothing() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("keep.txt");
    QVERIFY(history::writeExportFile(existing, kThreeRows));
    const QByteArray before = fileBytes(existing);
    QVERIFY(!history::writeExportFile(existing, {}));
    QCOMPARE(fileBytes(existing), before);
    QVERIFY(!history::writeExportFile(dir.filePath("new.txt"), {}));
    QVERIFY(!QFile::exists(dir.filePath("new.txt")));
}

void TstExportFormat::withoutGbkConverterNothingIsWritten() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("keep.txt");
    QVERIFY(history::writeExportFile(existing, kThreeRows));
    const QByteArray before = fileBytes(existing);
    base::Result replaced;
    base::Result created;
    {
        base::GbkConverterMissing missing;
        QVERIFY(!history::exportBytes(kThreeRows).has_value());
        replaced = history::writeExportFile(existing, {{"1", "t", "p"}});
        created = history::writeExportFile(dir.filePath("new.txt"), kThreeRows);
    }
    QVERIFY(!replaced);
    QVERIFY2(replaced.error().contains("GBK"), qPrintable(replaced.error()));
    QCOMPARE(fileBytes(existing), before);
    QVERIFY(!created);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.txt"});
}

void TstExportFormat::unwritablePathFails() {
    QTemporaryDir dir;
    QVERIFY(!history::writeExportFile(dir.filePath("no/such/folder/out.txt"), kThreeRows));
    QVERIFY(!history::writeExportFile(dir.path(), kThreeRows));  // a folder
    QVERIFY(!history::writeExportFile(QString(), kThreeRows));

#ifdef Q_OS_WIN
    QSKIP("Windows has no read-only folders");
#endif
    const QString folder = dir.filePath("locked");
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    openUp(dir.path());
    QFile::setPermissions(folder,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    bool written = true;
    {
        Unprivileged user;
        QVERIFY(user.ok());
        written = history::writeExportFile(folder + "/out.txt", kThreeRows).ok();
    }
    QVERIFY(!written);
    QVERIFY(!QFile::exists(folder + "/out.txt"));
}

void TstExportFormat::readOnlyFileIsNotReplaced() {
    QTemporaryDir dir;
    openUp(dir.path());
    const QString path = dir.filePath("kept.txt");
    QVERIFY(history::writeExportFile(path, {{"1", "t", "p"}}));
    const QByteArray before = fileBytes(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    bool written = true;
    {
        Unprivileged user;
        QVERIFY(user.ok());
        written = history::writeExportFile(path, kThreeRows).ok();
    }
    QVERIFY(!written);
    QCOMPARE(fileBytes(path), before);
}

QTEST_GUILESS_MAIN(TstExportFormat)
#include "tst_export_format.moc"
