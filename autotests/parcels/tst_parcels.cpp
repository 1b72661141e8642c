#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "parcels/parcel_state.h"
#include "parcels/parcels_file.h"
#include "parcels/table_csv.h"
#include "support/file_bytes.h"
#include "tracking/catalogue.h"

using parcels::FetchEnd;
using parcels::ParcelKey;
using parcels::ParcelRecord;
using parcels::ParcelsState;
using parcels::Reading;
using parcels::Status;
using testsupport::fileBytes;
using testsupport::putBytes;

Q_DECLARE_METATYPE(parcels::FetchEnd)

namespace {

QString row(const QString& time, const QString& progress) {
    return QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(time, progress);
}

// A page the way the service sends it: the rows oldest first, the table closed.
QString page(const QStringList& rows) {
    return QStringLiteral("<table>") + rows.join(QString()) + QStringLiteral("</table>");
}

// A page of `count` rows, the newest "t<count>" / "p<count> 运输中".
QString pageOfRows(int count) {
    QString text = QStringLiteral("<table>");
    for (int i = 1; i <= count; ++i) {
        text += row(QStringLiteral("t%1").arg(i), QStringLiteral("p%1 运输中").arg(i));
    }
    return text + QStringLiteral("</table>");
}

const QDateTime kQueried = QDateTime(QDate(2026, 12, 3), QTime(15, 30, 0), Qt::UTC);

// A good file's text around its parts: the settings armed at 60 minutes unless given.
QByteArray fileWith(const QByteArray& parcels,
                    const QByteArray& watch = R"({"armed": true, "interval": 60})",
                    const QByteArray& head = R"("format": "trackoro-parcels", "version": 1)") {
    return "{" + head + ", \"watch\": " + watch + ", \"parcels\": [" + parcels + "]}";
}

// One parcel's entry, in transit with 3 lines, queried at kQueried; each of `fields` (a JSON
// member) replaces the one of its name or is added.
QByteArray entryWith(const QByteArray& number, const QList<QByteArray>& fields = {}) {
    QList<QByteArray> members{"\"number\": \"" + number + "\"", R"("company": "顺丰快递")",
                              R"("status": "in-transit")",      R"("time": "2026-12-01 09:12:40")",
                              R"("progress": "已发车")",        R"("lines": 3)",
                              R"("queried": 1796311800000)",    R"("moved": false)"};
    for (const QByteArray& field : fields) {
        const QByteArray name = field.left(field.indexOf(':') + 1);
        const auto same = [&name](const QByteArray& member) { return member.startsWith(name); };
        members.removeIf(same);
        members.append(field);
    }
    return "{" + members.join(", ") + "}";
}

ParcelRecord recordOf(Status status, const QString& time, const QString& progress, int lines,
                      bool moved = false) {
    ParcelRecord record;
    record.status = status;
    record.newest = {time, progress};
    record.lineCount = lines;
    record.queriedAt = kQueried;
    record.moved = moved;
    return record;
}

}  // namespace

class TstParcels : public QObject {
    Q_OBJECT

private slots:
    // An answer's state
    void answerRead_data();
    void answerRead();
    void longAndHostileTextsKeptShort();
    void keyOfAnEntry();
    void entryParts_data();
    void entryParts();

    // Moved
    void moved_data();
    void moved();
    void failureKeepsTheLastLines();

    // The saved file
    void roundTrip();
    void queryTimeShown();
    void damagedFile_data();
    void damagedFile();
    void missingOrOversizedFileReadsEmpty();
    void unstorableParcelLeftOut();
    void writeFailureIsAValue();

    // CSV
    void csvField_data();
    void csvField();
    void csvBytesExactly();
    void csvFileWritten();
};

void TstParcels::answerRead_data() {
    QTest::addColumn<FetchEnd>("end");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<int>("lines");

    const QString signedPage = page({row("2026-12-01 09:12:40", "【深圳】已收取快件"),
                                     row("2026-12-02 02:44:51", "【上海】快件已到达"),
                                     row("2026-12-03 15:21:09", "已签收，签收人：本人")});
    QTest::newRow("signed") << FetchEnd::Answered << signedPage << "已签收"
                            << "2026-12-03 15:21:09"
                            << "已签收，签收人：本人" << 3;
    QTest::newRow("妥投 is signed")
        << FetchEnd::Answered << page({row("t1", "收件"), row("t2", "妥投")}) << "已签收"
        << "t2"
        << "妥投" << 2;
    QTest::newRow("delivering") << FetchEnd::Answered
                                << page({row("t1", "收件"), row("t2", "正在派送途中")}) << "派件中"
                                << "t2"
                                << "正在派送途中" << 2;
    QTest::newRow("in transit") << FetchEnd::Answered
                                << page({row("t1", "收件"), row("t2", "已发车")}) << "运送中"
                                << "t2"
                                << "已发车" << 2;
    QTest::newRow("time cell with a line break tag")
        << FetchEnd::Answered << page({row("2013-01-05 10:20<br>", "到达")}) << "运送中"
        << "2013-01-05 10:20br>"
        << "到达" << 1;
    QTest::newRow("rows past the 16-bit count")
        << FetchEnd::Answered << pageOfRows(32768) << "运送中"
        << "t32767"
        << "p32767 运输中" << 32767;

    QTest::newRow("bad format") << FetchEnd::Answered << "<p>单号格式错误，请核对</p>"
                                << "单号格式错误"
                                << ""
                                << "" << 0;
    QTest::newRow("bad format with a row") << FetchEnd::Answered << "<p>单号格式错误</p><tr><td>"
                                           << "单号格式错误"
                                           << ""
                                           << "" << 0;
    QTest::newRow("not found") << FetchEnd::Answered << "<p>您查询的单号不存在或者已经过期</p>"
                               << "单号不存在"
                               << ""
                               << "" << 0;
    QTest::newRow("unsupported") << FetchEnd::Answered << "不支持的快递公司<tr><td>"
                                 << "不支持的快递公司"
                                 << ""
                                 << "" << 0;
    QTest::newRow("asks for input") << FetchEnd::Answered << "<p>请输入快递公司代码</p>"
                                    << "查询失败"
                                    << ""
                                    << "" << 0;
    QTest::newRow("empty answer") << FetchEnd::Answered << ""
                                  << "暂无物流信息"
                                  << ""
                                  << "" << 0;
    QTest::newRow("answer without rows") << FetchEnd::Answered << "<p>正在查询，请稍候</p>"
                                         << "暂无物流信息"
                                         << ""
                                         << "" << 0;
    QTest::newRow("timed out") << FetchEnd::TimedOut << signedPage << "查询超时"
                               << ""
                               << "" << 0;
    QTest::newRow("fetch failed") << FetchEnd::Failed << signedPage << "查询失败"
                                  << ""
                                  << "" << 0;
}

void TstParcels::answerRead() {
    QFETCH(FetchEnd, end);
    QFETCH(QString, page);
    QFETCH(QString, status);
    QFETCH(QString, time);
    QFETCH(QString, progress);
    QFETCH(int, lines);
    const Reading reading = parcels::readAnswer(end, page);
    QCOMPARE(parcels::statusText(reading.status), status);
    QCOMPARE(parcels::hasLines(reading.status), lines > 0);
    QCOMPARE(reading.newest.time, time);
    QCOMPARE(reading.newest.progress, progress);
    QCOMPARE(reading.lineCount, lines);
}

void TstParcels::longAndHostileTextsKeptShort() {
    // A server's megabyte of progress text, with a NUL, and a pair of surrogates at the cut.
    QString progress = QStringLiteral("派") + QChar(0) + QString(498, u'x');
    progress += QString::fromUtf8("\xF0\x9F\x98\x80") + QString(100000, u'y');
    const Reading reading = parcels::readAnswer(FetchEnd::Answered, page({row("t", progress)}));
    QCOMPARE(reading.status, Status::Delivering);
    QCOMPARE(reading.newest.progress.size(), parcels::kMaxProgressChars);
    QCOMPARE(reading.newest.progress, QStringLiteral("派") + QString(498, u'x') + QChar(0x2026));

    const QString time = QString(200, u'1');
    const Reading longTime = parcels::readAnswer(FetchEnd::Answered, page({row(time, "p")}));
    QCOMPARE(longTime.newest.time, QString(99, u'1') + QChar(0x2026));

    // What readAnswer keeps, the file keeps.
    const ParcelRecord record = parcels::recordQuery({}, reading, kQueried);
    QVERIFY(parcels::isStorable({"SF1", "顺丰快递"}, record));
}

void TstParcels::keyOfAnEntry() {
    const ParcelKey sf = parcels::keyOfEntry("1234|顺丰快递|爸爸衣服");
    QCOMPARE(sf.number, QString("1234"));
    QCOMPARE(sf.company, QString("顺丰快递"));
    QVERIFY(sf != parcels::keyOfEntry("1234|EMS快递|爸爸衣服"));
    QVERIFY(sf == parcels::keyOfEntry("1234|顺丰快递|妈妈的书"));
    QCOMPARE(parcels::keyOfEntry("5678").number, QString("5678"));
    QCOMPARE(parcels::keyOfEntry("5678").company, QString());
}

// Rows: an entry and how it reads (number, company, remark, whether the courier is known).
void TstParcels::entryParts_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<bool>("known");
    QTest::newRow("plain") << "1234|顺丰快递|爸爸衣服"
                           << QStringList{"1234", "顺丰快递", "爸爸衣服"} << true;
    QTest::newRow("remark with bars")
        << "1234|EMS快递|a|b|" << QStringList{"1234", "EMS快递", "a|b|"} << true;
    QTest::newRow("courier name with a bar")
        << "77|共速达物流|快递|书" << QStringList{"77", "共速达物流|快递", "书"} << true;
    QTest::newRow("courier name with a bar, no remark")
        << "77|共速达物流|快递" << QStringList{"77", "共速达物流|快递", ""} << true;
    QTest::newRow("a name that only starts like a courier's")
        << "9|顺丰快递公司|x" << QStringList{"9", "顺丰快递公司", "x"} << false;
    QTest::newRow("unknown courier")
        << "9|火星快递|x" << QStringList{"9", "火星快递", "x"} << false;
    QTest::newRow("number only") << "5678" << QStringList{"5678", "", ""} << false;
    QTest::newRow("empty remark") << "5678|AAE快递|" << QStringList{"5678", "AAE快递", ""} << true;
}

void TstParcels::entryParts() {
    QFETCH(QString, entry);
    QFETCH(QStringList, parts);
    QFETCH(bool, known);
    const parcels::ParcelEntry parsed = parcels::parseEntry(entry);
    QCOMPARE((QStringList{parsed.number, parsed.company, parsed.remark}), parts);
    QCOMPARE(parsed.courierPosition >= 0, known);
    if (known) {
        QCOMPARE(tracking::courierName(parsed.courierPosition), parsed.company);
    }
}

// Each step is one query: a number is an answer with that many lines, "T" a time-out, "F" a
// failed fetch, "N" a "不存在" answer, "E" an empty answer. `expected` holds "M" for a step
// that moves the parcel and "." for one that does not.
void TstParcels::moved_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first seen") << "5"
                                << ".";
    QTest::newRow("more lines") << "3 4"
                                << ".M";
    QTest::newRow("same lines") << "3 3"
                                << "..";
    QTest::newRow("fewer lines") << "4 3"
                                 << "..";
    QTest::newRow("fewer, then back") << "4 3 4"
                                      << "..M";
    QTest::newRow("time-out in between, same lines") << "3 T 3"
                                                     << "...";
    QTest::newRow("time-out in between, more lines") << "3 T 4"
                                                     << "..M";
    QTest::newRow("failures in between, more lines") << "3 F N E 4"
                                                     << "....M";
    QTest::newRow("failure before the first lines") << "T 3"
                                                    << "..";
    QTest::newRow("not found before the first lines") << "N 1 2"
                                                      << "..M";
    QTest::newRow("moved only once") << "2 3 3"
                                     << ".M.";
    QTest::newRow("full count stays full") << "32766 32768 32768"
                                           << ".M.";
}

void TstParcels::moved() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    ParcelRecord record;  // never queried
    QString seen;
    for (const QString& step : steps.split(u' ')) {
        Reading reading;
        if (step == u"T") {
            reading = parcels::readAnswer(FetchEnd::TimedOut, QString());
        } else if (step == u"F") {
            reading = parcels::readAnswer(FetchEnd::Failed, QString());
        } else if (step == u"N") {
            reading = parcels::readAnswer(FetchEnd::Answered, QStringLiteral("单号不存在"));
        } else if (step == u"E") {
            reading = parcels::readAnswer(FetchEnd::Answered, QString());
        } else {
            reading = parcels::readAnswer(FetchEnd::Answered, pageOfRows(step.toInt()));
        }
        const bool moved = parcels::hasMoved(record, reading);
        record = parcels::recordQuery(record, reading, kQueried);
        QCOMPARE(record.moved, moved);
        seen += moved ? u'M' : u'.';
    }
    QCOMPARE(seen, expected);
}

void TstParcels::failureKeepsTheLastLines() {
    const QString answer = page({row("t1", "收件"), row("t2", "已发车")});
    const QDateTime later = kQueried.addSecs(600);
    ParcelRecord record =
        parcels::recordQuery({}, parcels::readAnswer(FetchEnd::Answered, answer), kQueried);
    record =
        parcels::recordQuery(record, parcels::readAnswer(FetchEnd::TimedOut, QString()), later);
    QCOMPARE(record.status, Status::TimedOut);
    QCOMPARE(record.newest.time, QString("t2"));
    QCOMPARE(record.newest.progress, QString("已发车"));
    QCOMPARE(record.lineCount, 2);
    QCOMPARE(record.queriedAt, later);
    QVERIFY(!record.moved);
}

void TstParcels::roundTrip() {
    ParcelsState state;
    state.watch = {true, 45};
    // One number with two couriers, numbers and companies with "|", tabs, quotes and line
    // ends, Chinese text and characters beyond 16 bits, the largest count.
    state.parcels.insert({"1234", "顺丰快递"},
                         recordOf(Status::Signed, "2026-12-03 15:21:09",
                                  "已签收，签收人：本人 \"前台\"\t代收", 6, true));
    state.parcels.insert({"1234", "共速达物流|快递"},
                         recordOf(Status::TimedOut, "t", "运输中 \\ / \r\n<p>", 32767));
    state.parcels.insert({"A|B\t\"C\"", "EMS快递"},
                         recordOf(Status::NotFound, QString(), QString(), 0));
    state.parcels.insert({QString::fromUtf8("\xF0\x9F\x93\xA6"), ""},
                         recordOf(Status::Delivering, QString(100, u'时'), QString(500, u'派'), 1));
    state.parcels[{"EMS1", "EMS快递"}] = recordOf(Status::NoInformation, "", "", 0);
    state.parcels[{"EMS1", "EMS快递"}].queriedAt = QDateTime(QDate(2030, 1, 1), QTime(8, 0));

    QTemporaryDir dir;
    const QString path = parcels::parcelsFilePath(dir.path());
    QCOMPARE(path, dir.filePath("parcels.json"));
    QVERIFY(parcels::writeParcelsFile(path, state));
    const ParcelsState back = parcels::readParcelsFile(path);
    QCOMPARE(back.watch, state.watch);
    QCOMPARE(back.parcels.keys(), state.parcels.keys());
    for (auto it = state.parcels.cbegin(); it != state.parcels.cend(); ++it) {
        QVERIFY2(back.parcels.value(it.key()) == it.value(), qPrintable(it.key().number));
    }
    QVERIFY(back == state);
    // Nothing else is written beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"parcels.json"});
}

void TstParcels::queryTimeShown() {
    const QDateTime local(QDate(2026, 12, 1), QTime(9, 5, 7));
    QCOMPARE(parcels::queryTimeText(local), QString("2026-12-01 09:05:07"));
    QCOMPARE(parcels::queryTimeText(local.toUTC()), QString("2026-12-01 09:05:07"));
    QCOMPARE(parcels::queryTimeText(QDateTime()), QString());
}

// `parcels` is the number of parcels kept; a file ignored as a whole keeps none and gives
// the default settings (not armed, 30 minutes) where the good file says armed, 60 minutes.
void TstParcels::damagedFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("parcels");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("interval");

    const QByteArray two = entryWith("SF1") + "," + entryWith("SF2");
    const QByteArray good = fileWith(two);
    QTest::newRow("good") << good << 2 << true << 60;
    QTest::newRow("good with a byte-order mark") << "\xEF\xBB\xBF" + good << 2 << true << 60;
    QTest::newRow("no parcels") << fileWith("") << 0 << true << 60;

    // Ignored as a whole.
    QTest::newRow("empty") << QByteArray() << 0 << false << 30;
    QTest::newRow("truncated") << good.left(good.size() - 3) << 0 << false << 30;
    QTest::newRow("cut in a character") << good.left(good.indexOf("顺") + 1) << 0 << false << 30;
    QTest::newRow("not JSON") << QByteArray("SF1|顺丰快递|爸爸衣服\r\n") << 0 << false << 30;
    QTest::newRow("an array") << "[" + two + "]" << 0 << false << 30;
    QTest::newRow("garbage after it") << good + "x" << 0 << false << 30;
    QTest::newRow("another format")
        << fileWith(two, R"({"armed": true, "interval": 60})", R"("format": "other", "version": 1)")
        << 0 << false << 30;
    QTest::newRow("version 2") << fileWith(two, R"({"armed": true, "interval": 60})",
                                           R"("format": "trackoro-parcels", "version": 2)")
                               << 0 << false << 30;
    QTest::newRow("armed as text")
        << fileWith(two, R"({"armed": "true", "interval": 60})") << 0 << false << 30;
    QTest::newRow("interval a fraction")
        << fileWith(two, R"({"armed": true, "interval": 60.5})") << 0 << false << 30;
    QTest::newRow("no settings") << fileWith(two, "null") << 0 << false << 30;
    QTest::newRow("parcels an object")
        << QByteArray(R"({"format": "trackoro-parcels", "version": 1, )"
                      R"("watch": {"armed": true, "interval": 60}, "parcels": {}})")
        << 0 << false << 30;
    QByteArray tooMany;
    for (int i = 0; i <= parcels::kMaxParcels; ++i) {
        tooMany += (i > 0 ? "," : "") + entryWith("N" + QByteArray::number(i));
    }
    QTest::newRow("more parcels than kept") << fileWith(tooMany) << 0 << false << 30;
    QTest::newRow("larger than kept")
        << good + QByteArray(parcels::kMaxFileBytes - good.size() + 1, ' ') << 0 << false << 30;
    QTest::newRow("deep") << fileWith(QByteArray(100000, '[') + QByteArray(100000, ']')) << 0
                          << false << 30;
    QTest::newRow("invalid UTF-8")
        << fileWith(entryWith("SF\xFF") + "," + entryWith("SF2")) << 0 << false << 30;
    QTest::newRow("an encoded half surrogate in UTF-8")
        << fileWith(entryWith("SF\xED\xA0\x80") + "," + entryWith("SF2")) << 0 << false << 30;

    // The interval brought within its bounds.
    QTest::newRow("interval below")
        << fileWith(two, R"({"armed": true, "interval": -5})") << 2 << true << 10;
    QTest::newRow("interval above")
        << fileWith(two, R"({"armed": false, "interval": 1e30})") << 2 << false << 360;

    // One parcel left out, the other kept.
    const auto oneBad = [](const QList<QByteArray>& fields) {
        return fileWith(entryWith("SF1", fields) + "," + entryWith("SF2"));
    };
    QTest::newRow("negative count") << oneBad({R"("lines": -1)"}) << 1 << true << 60;
    QTest::newRow("count past 32767") << oneBad({R"("lines": 32768)"}) << 1 << true << 60;
    QTest::newRow("count a fraction") << oneBad({R"("lines": 2.5)"}) << 1 << true << 60;
    QTest::newRow("count as text") << oneBad({R"("lines": "3")"}) << 1 << true << 60;
    QTest::newRow("count zero with lines") << oneBad({R"("lines": 0)"}) << 1 << true << 60;
    QTest::newRow("unknown status") << oneBad({R"("status": "已签收")"}) << 1 << true << 60;
    QTest::newRow("moved after a failure")
        << oneBad({R"("status": "failed")", R"("moved": true)"}) << 1 << true << 60;
    QTest::newRow("newest line without a count")
        << oneBad({R"("status": "not-found")", R"("lines": 0)"}) << 1 << true << 60;
    QTest::newRow("time as a number") << oneBad({R"("time": 20261201)"}) << 1 << true << 60;
    QTest::newRow("no query time") << oneBad({R"("queried": null)"}) << 1 << true << 60;
    QTest::newRow("query time before 1970") << oneBad({R"("queried": -1)"}) << 1 << true << 60;
    QTest::newRow("query time past 9999")
        << oneBad({R"("queried": 253402300800000)"}) << 1 << true << 60;
    // Qt's reader takes a raw NUL inside a string as the character U+0000.
    QTest::newRow("a raw NUL byte")
        << fileWith(entryWith(QByteArray("SF\0", 3) + "1") + "," + entryWith("SF2")) << 1 << true
        << 60;
    QTest::newRow("an escaped NUL") << oneBad({R"("progress": "a\u0000b")"}) << 1 << true << 60;
    QTest::newRow("an escaped half surrogate")
        << oneBad({R"("progress": "a\ud800b")"}) << 1 << true << 60;
    QTest::newRow("number too long")
        << fileWith(entryWith(QByteArray(parcels::kMaxKeyChars + 1, '1')) + "," + entryWith("SF2"))
        << 1 << true << 60;
    QTest::newRow("progress too long")
        << oneBad({"\"progress\": \"" + QByteArray(parcels::kMaxProgressChars + 1, 'p') + "\""})
        << 1 << true << 60;
    QTest::newRow("not an object")
        << fileWith(R"("SF1|顺丰快递", )" + entryWith("SF2")) << 1 << true << 60;
    QTest::newRow("same key twice")
        << fileWith(entryWith("SF2") + "," + entryWith("SF2")) << 1 << true << 60;
}

void TstParcels::damagedFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, parcels);
    QFETCH(bool, armed);
    QFETCH(int, interval);

    QTemporaryDir dir;
    const QString path = dir.filePath("parcels.json");
    QVERIFY(putBytes(path, bytes));
    const ParcelsState state = parcels::readParcelsFile(path);
    QCOMPARE(state.parcels.size(), parcels);
    QCOMPARE(state.watch.armed, armed);
    QCOMPARE(state.watch.intervalMinutes, interval);
    // What is kept is the good entry, whole.
    if (parcels > 0) {
        const ParcelRecord sf2 = state.parcels.value({"SF2", "顺丰快递"});
        QCOMPARE(sf2, recordOf(Status::InTransit, "2026-12-01 09:12:40", "已发车", 3));
    }
    // The same bytes read from memory.
    QVERIFY(parcels::decodeParcels(bytes) == state);
}

void TstParcels::missingOrOversizedFileReadsEmpty() {
    QTemporaryDir dir;
    const ParcelsState missing = parcels::readParcelsFile(dir.filePath("parcels.json"));
    QVERIFY(missing == ParcelsState());
    QVERIFY(!missing.watch.armed);
    QCOMPARE(missing.watch.intervalMinutes, parcels::kDefaultWatchMinutes);
    // A folder where the file should be.
    QVERIFY(QDir(dir.path()).mkdir("parcels.json"));
    QVERIFY(parcels::readParcelsFile(dir.filePath("parcels.json")) == ParcelsState());
}

void TstParcels::unstorableParcelLeftOut() {
    ParcelsState state;
    state.parcels.insert({"SF1", "顺丰快递"}, recordOf(Status::InTransit, "t", "p", 3));
    state.parcels.insert({QString(parcels::kMaxKeyChars + 1, u'1'), "顺丰快递"},
                         recordOf(Status::InTransit, "t", "p", 3));
    ParcelRecord noTime = recordOf(Status::InTransit, "t", "p", 3);
    noTime.queriedAt = QDateTime();
    state.parcels.insert({"SF3", "顺丰快递"}, noTime);
    state.watch.intervalMinutes = 5;

    const ParcelsState back = parcels::decodeParcels(parcels::encodeParcels(state));
    const QList<ParcelKey> kept{{"SF1", "顺丰快递"}};
    QCOMPARE(back.parcels.keys(), kept);
    QCOMPARE(back.watch.intervalMinutes, parcels::kMinWatchMinutes);
}

void TstParcels::writeFailureIsAValue() {
    QTemporaryDir dir;
    ParcelsState state;
    state.parcels.insert({"SF1", "顺丰快递"}, recordOf(Status::InTransit, "t", "p", 3));
    const base::Result noFolder =
        parcels::writeParcelsFile(dir.filePath("missing/parcels.json"), state);
    QVERIFY(!noFolder);
    QVERIFY(!noFolder.error().isEmpty());

    // More parcels than the file keeps: the old file stays.
    const QString path = dir.filePath("parcels.json");
    QVERIFY(parcels::writeParcelsFile(path, state));
    const QByteArray before = fileBytes(path);
    ParcelsState many;
    for (int i = 0; i <= parcels::kMaxParcels; ++i) {
        many.parcels.insert({QString::number(i), "顺丰快递"},
                            recordOf(Status::InTransit, "t", "p", 3));
    }
    const base::Result tooMany = parcels::writeParcelsFile(path, many);
    QVERIFY(!tooMany);
    QVERIFY(!tooMany.error().isEmpty());
    QCOMPARE(fileBytes(path), before);
}

void TstParcels::csvField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "SF1001"
                           << "SF1001";
    QTest::newRow("chinese") << "顺丰快递"
                             << "顺丰快递";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("date and time") << "2026-12-01 09:12:40"
                                   << "2026-12-01 09:12:40";
    QTest::newRow("comma") << "a,b"
                           << "\"a,b\"";
    QTest::newRow("quote") << "他说\"好\""
                           << "\"他说\"\"好\"\"\"";
    QTest::newRow("LF") << "a\nb"
                        << "\"a\nb\"";
    QTest::newRow("bar and tab inside") << "a|b\tc"
                                        << "a|b\tc";
    QTest::newRow("formula") << "=1+1"
                             << "'=1+1";
    QTest::newRow("long number of digits") << "773456789012345"
                                           << "\"=\"\"773456789012345\"\"\"";
    QTest::newRow("number with a leading zero") << "0123456"
                                                << "\"=\"\"0123456\"\"\"";
    QTest::newRow("short number of digits") << "12345678901"
                                            << "12345678901";
    QTest::newRow("zero alone") << "0"
                                << "0";
    QTest::newRow("formula with quotes and comma")
        << "=HYPERLINK(\"http://x\",\"点我\")"
        << "\"'=HYPERLINK(\"\"http://x\"\",\"\"点我\"\")\"";
    QTest::newRow("plus") << "+86 138"
                          << "'+86 138";
    QTest::newRow("minus") << "-2+3"
                           << "'-2+3";
    QTest::newRow("minus alone") << "-"
                                 << "'-";
    QTest::newRow("at") << "@SUM(A1)"
                        << "'@SUM(A1)";
    QTest::newRow("tab") << "\t=1"
                         << "'\t=1";
    QTest::newRow("CR") << "\r=1"
                        << "\"'\r=1\"";
    QTest::newRow("negative number") << "-12"
                                     << "-12";
    QTest::newRow("signed decimal") << "+3.5"
                                    << "+3.5";
    QTest::newRow("sign and a dot") << "-3."
                                    << "'-3.";
}

void TstParcels::csvField() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(parcels::csvField(text), field);
}

void TstParcels::csvBytesExactly() {
    const QVector<QStringList> rows{
        {"快件单号", "物流公司", "备注"},
        {"SF1", "顺丰快递", "=1+1"},
        {"1234", "共速达物流|快递", "a,\"b\""},
        {},
    };
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "\xE5\xBF\xAB\xE4\xBB\xB6\xE5\x8D\x95\xE5\x8F\xB7,"
        "\xE7\x89\xA9\xE6\xB5\x81\xE5\x85\xAC\xE5\x8F\xB8,"
        "\xE5\xA4\x87\xE6\xB3\xA8\r\n"
        "SF1,\xE9\xA1\xBA\xE4\xB8\xB0\xE5\xBF\xAB\xE9\x80\x92,'=1+1\r\n"
        "1234,\xE5\x85\xB1\xE9\x80\x9F\xE8\xBE\xBE\xE7\x89\xA9\xE6\xB5\x81|"
        "\xE5\xBF\xAB\xE9\x80\x92,\"a,\"\"b\"\"\"\r\n"
        "\r\n";
    QCOMPARE(parcels::csvBytes(rows), expected);
    QCOMPARE(parcels::csvBytes({{"a"}}), QByteArray("\xEF\xBB\xBF"
                                                    "a\r\n"));
}

void TstParcels::csvFileWritten() {
    QTemporaryDir dir;
    const QString path = dir.filePath("全部快件.csv");
    const QVector<QStringList> rows{{"快件单号", "状态"}, {"SF1", "已签收"}};
    QVERIFY(parcels::writeCsvFile(path, rows));
    QCOMPARE(fileBytes(path), parcels::csvBytes(rows));
    // Nothing to write: an existing file stays.
    const base::Result none = parcels::writeCsvFile(path, {});
    QVERIFY(!none);
    QCOMPARE(fileBytes(path), parcels::csvBytes(rows));
    QVERIFY(!parcels::writeCsvFile(dir.filePath("missing/out.csv"), rows));
}

QTEST_GUILESS_MAIN(TstParcels)
#include "tst_parcels.moc"
