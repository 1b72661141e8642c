#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTest>
#include <QUrlQuery>
#include <memory>

#include "support/literal_parse.h"
#include "support/test_http_server.h"
#include "tracking/answer.h"
#include "tracking/request_url.h"
#include "tracking/result_parser.h"

using tracking::AnswerKind;
using tracking::ProgressLine;

namespace {

QString row(const QString& time, const QString& progress) {
    return QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(time, progress);
}

// A page the way the service sends it: the rows, the last one closed by the table's end.
QString page(const QStringList& rows) {
    return QStringLiteral("<table>") + rows.join(QString()) + QStringLiteral("</table>");
}

}  // namespace

using testsupport::parseLiterally;

class TstTrackingRules : public QObject {
    Q_OBJECT

private slots:
    // Request URL
    void urlForPlainNumber();
    void urlEncodesSpecialCharacters_data();
    void urlEncodesSpecialCharacters();
    void numberCannotChangeTheQueryKeys_data();
    void numberCannotChangeTheQueryKeys();
    void urlKeepsTheServicePath();
    void urlBytesOnTheWire();

    // Answer
    void classification_data();
    void classification();
    void rowMarkersCounted();
    void rowCountSaturates();

    // Result page
    void rowsShownNewestFirst();
    void lineBreakTagInTimeCell();
    void textAfterTableStaysInLastProgress();
    void missingProgressPieceRepeatsPrevious();
    void missingProgressPieceOnFirstRowIsEmpty();
    void removalRunsAgainOnRepeatedProgress();
    void rowWithoutCellEndHasEmptyTime();
    void otherTagsStayInProgress();
    void noRowsGiveNoLines();
    void everyRowShowsItsOwnProgress_data();
    void everyRowShowsItsOwnProgress();
    void saturatedRowCountParses();
    void nestedRowEndsStayWithinMemory();
    void matchesTheLiteralRules();

    // Parcel status
    void parcelStatus_data();
    void parcelStatus();
};

void TstTrackingRules::urlForPlainNumber() {
    const QUrl url = tracking::requestUrl(QUrl("http://127.0.0.1:8080/"), "shunfeng", "SF123");
    QVERIFY(url.isValid());
    QCOMPARE(url.toEncoded(),
             QByteArray("http://127.0.0.1:8080/"
                        "?com=shunfeng&nu=SF123&id=3F1C7A0B5D92E4608A17C3B9D0E25F4C&type=html"));
}

void TstTrackingRules::urlEncodesSpecialCharacters_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("nu");
    QTest::newRow("space & #") << "A B&C#D" << QByteArray("A%20B%26C%23D");
    QTest::newRow("percent plus") << "1%2+3" << QByteArray("1%252%2B3");
    QTest::newRow("untrimmed") << "  SF1 " << QByteArray("%20%20SF1%20");
    QTest::newRow("controls") << QString("a\tb\nc") + QChar(0x7F) + QChar(0)
                              << QByteArray("a%09b%0Ac%7F%00");
    QTest::newRow("chinese") << "顺丰1" << QByteArray("%E9%A1%BA%E4%B8%B01");
    QTest::newRow("printable as is")
        << "a=b?c/d:e@f!$'()*,;[]~-._" << QByteArray("a=b?c/d:e@f!$'()*,;[]~-._");
    QTest::newRow("not allowed raw in a URL")
        << "\"<>\\^`{|}" << QByteArray("%22%3C%3E%5C%5E%60%7B%7C%7D");
}

void TstTrackingRules::urlEncodesSpecialCharacters() {
    QFETCH(QString, number);
    QFETCH(QByteArray, nu);
    QCOMPARE(tracking::encodeNumber(number), nu);
    const QUrl url = tracking::requestUrl(QUrl("http://h/"), "ems", number);
    QVERIFY(url.isValid());
    QCOMPARE(url.toEncoded(),
             "http://h/?com=ems&nu=" + nu + "&id=3F1C7A0B5D92E4608A17C3B9D0E25F4C&type=html");
}

void TstTrackingRules::numberCannotChangeTheQueryKeys_data() {
    QTest::addColumn<QString>("number");
    QTest::newRow("extra key") << "1&id=X";
    QTest::newRow("fragment") << "1#&type=xml";
    QTest::newRow("encoded bar") << "1%26id%3DX";
    QTest::newRow("plus and space") << "1+2 3";
    QTest::newRow("mixed") << " 单号<b>&\"{x}\" ";
}

void TstTrackingRules::numberCannotChangeTheQueryKeys() {
    QFETCH(QString, number);
    const QUrl url = tracking::requestUrl(QUrl("http://h/"), "shunfeng", number);
    QVERIFY(url.isValid());
    QVERIFY(!url.hasFragment());
    const QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    QCOMPARE(items.size(), 4);
    QCOMPARE(items.at(0), qMakePair(QString("com"), QString("shunfeng")));
    QCOMPARE(items.at(1), qMakePair(QString("nu"), number));
    QCOMPARE(items.at(2), qMakePair(QString("id"), QString("3F1C7A0B5D92E4608A17C3B9D0E25F4C")));
    QCOMPARE(items.at(3), qMakePair(QString("type"), QString("html")));
}

void TstTrackingRules::urlKeepsTheServicePath() {
    QCOMPARE(tracking::requestUrl(QUrl("http://h:81/api/q"), "ems", "1").toEncoded(),
             QByteArray("http://h:81/api/q?com=ems&nu=1&id=3F1C7A0B5D92E4608A17C3B9D0E25F4C"
                        "&type=html"));
    QCOMPARE(tracking::requestUrl(QUrl("http://h:81"), "ems", "1").toEncoded(),
             QByteArray("http://h:81/?com=ems&nu=1&id=3F1C7A0B5D92E4608A17C3B9D0E25F4C"
                        "&type=html"));
}

void TstTrackingRules::urlBytesOnTheWire() {
    testsupport::TestHttpServer server;
    QVERIFY(server.start());
    server.setDefault(testsupport::TestHttpServer::Response::text("ok"));
    QNetworkAccessManager network;
    const QString number = QStringLiteral(" A B&C#D+%中 ");
    std::unique_ptr<QNetworkReply> reply(
        network.get(QNetworkRequest(tracking::requestUrl(server.url("/"), "shunfeng", number))));
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
    QCOMPARE(server.requestCount(), 1);
    QCOMPARE(server.requests().at(0).target,
             QByteArray("/?com=shunfeng&nu=%20A%20B%26C%23D%2B%25%E4%B8%AD%20"
                        "&id=3F1C7A0B5D92E4608A17C3B9D0E25F4C&type=html"));
}

void TstTrackingRules::classification_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<AnswerKind>("kind");
    QTest::newRow("empty") << QString() << AnswerKind::Empty;
    QTest::newRow("bad format") << "<p>单号格式错误</p>" << AnswerKind::BadFormat;
    QTest::newRow("not found") << "该单号不存在或已过期" << AnswerKind::NotFound;
    QTest::newRow("unsupported") << "不支持的快递公司" << AnswerKind::Unsupported;
    QTest::newRow("please enter") << "请输入单号" << AnswerKind::PleaseEnter;
    QTest::newRow("data") << page({row("t", "p")}) << AnswerKind::Data;
    QTest::newRow("not found before please enter") << "请输入…不存在" << AnswerKind::NotFound;
    QTest::newRow("bad format first") << "不存在 请输入 单号格式错误" << AnswerKind::BadFormat;
    QTest::newRow("unsupported before please enter")
        << "请输入 不支持的快递公司" << AnswerKind::Unsupported;
    QTest::newRow("rows with a phrase") << page({row("t", "请输入")}) << AnswerKind::PleaseEnter;
    QTest::newRow("whitespace is data") << " " << AnswerKind::Data;
}

void TstTrackingRules::classification() {
    QFETCH(QString, answer);
    QFETCH(AnswerKind, kind);
    QCOMPARE(tracking::classifyAnswer(answer), kind);
}

void TstTrackingRules::rowMarkersCounted() {
    QCOMPARE(tracking::countRowMarkers(u""), 0);
    QCOMPARE(tracking::countRowMarkers(u"<TR><TD>x</td><td>y"), 0);
    QCOMPARE(tracking::countRowMarkers(u"<tr><td><tr><td>"), 2);
    QCOMPARE(tracking::countRowMarkers(page({row("a", "1"), row("b", "2"), row("c", "3")})), 3);
}

void TstTrackingRules::rowCountSaturates() {
    const QString many = QStringLiteral("<tr><td>").repeated(40000);
    QCOMPARE(tracking::countRowMarkers(many), 32767);
    QCOMPARE(tracking::countRowMarkers(QStringLiteral("<tr><td>").repeated(32767)), 32767);
    QCOMPARE(tracking::countRowMarkers(QStringLiteral("<tr><td>").repeated(32766)), 32766);
}

void TstTrackingRules::rowsShownNewestFirst() {
    const QString answer =
        page({row("2013-01-01 08:00", "已揽收"), row("2013-01-02 09:00", "运输中"),
              row("2013-01-03 10:00", "已签收")});
    const QVector<ProgressLine> lines = tracking::parseResultPage(answer, 3);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).number, QString("1"));
    QCOMPARE(lines.at(0).time, QString("2013-01-03 10:00"));
    QCOMPARE(lines.at(0).progress, QString("已签收"));
    QCOMPARE(lines.at(1).number, QString("2"));
    QCOMPARE(lines.at(1).time, QString("2013-01-02 09:00"));
    QCOMPARE(lines.at(1).progress, QString("运输中"));
    QCOMPARE(lines.at(2).number, QString("3"));
    QCOMPARE(lines.at(2).time, QString("2013-01-01 08:00"));
    QCOMPARE(lines.at(2).progress, QString("已揽收"));
}

void TstTrackingRules::lineBreakTagInTimeCell() {
    const QVector<ProgressLine> lines =
        tracking::parseResultPage(page({row("2013-01-05 10:20<br>", "到达")}), 1);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.at(0).time, QString("2013-01-05 10:20br>"));
    QCOMPARE(lines.at(0).progress, QString("到达"));
}

void TstTrackingRules::textAfterTableStaysInLastProgress() {
    const QString answer = page({row("t1", "p1"), row("t2", "p2")}) + "<p>来源：快递100</p>\r\n";
    const QVector<ProgressLine> lines = tracking::parseResultPage(answer, 2);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).progress, QString("p2<p>来源：快递100</p>\r\n"));
    QCOMPARE(lines.at(1).progress, QString("p1"));
}

void TstTrackingRules::missingProgressPieceRepeatsPrevious() {
    // The second row has a single cell: the page has one "<td>" too few for it.
    const QString answer = "<table>" + row("t1", "p1") + "<tr><td>t2</td></tr></table>";
    const QVector<ProgressLine> lines = tracking::parseResultPage(answer, 2);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).number, QString("1"));
    QCOMPARE(lines.at(0).time, QString());
    QCOMPARE(lines.at(0).progress, QString("p1"));
    QCOMPARE(lines.at(1).time, QString("t1"));
    QCOMPARE(lines.at(1).progress, QString("p1"));
}

void TstTrackingRules::missingProgressPieceOnFirstRowIsEmpty() {
    const QVector<ProgressLine> lines = tracking::parseResultPage(u"<tr><td>t1</td>", 1);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.at(0).number, QString("1"));
    QCOMPARE(lines.at(0).time, QString());
    QCOMPARE(lines.at(0).progress, QString());
}

void TstTrackingRules::removalRunsAgainOnRepeatedProgress() {
    // Removing the inner row end glues a new one together; it goes only when the text is
    // taken again for a row whose own cell is missing.
    const QString answer = "<tr><td>t1</td><td>a</td></tr></td></tr><tr><tr>b<tr><td>t2</td></tr>";
    const QVector<ProgressLine> lines = tracking::parseResultPage(answer, 2);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(1).progress, QString("a</td></tr><tr>b<tr>"));
    QCOMPARE(lines.at(0).progress, QString("ab<tr>"));
}

void TstTrackingRules::rowWithoutCellEndHasEmptyTime() {
    const QVector<ProgressLine> lines =
        tracking::parseResultPage(u"<tr><td>t1<td>p1</td></tr></table>", 1);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.at(0).time, QString());
    QCOMPARE(lines.at(0).progress, QString("p1"));
}

void TstTrackingRules::otherTagsStayInProgress() {
    const QVector<ProgressLine> lines =
        tracking::parseResultPage(page({row("t<b>1</b>", "<a href=\"x\">派送</a>&amp;")}), 1);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.at(0).time, QString("tb>1/b>"));
    QCOMPARE(lines.at(0).progress, QString("<a href=\"x\">派送</a>&amp;"));
}

void TstTrackingRules::noRowsGiveNoLines() {
    QVERIFY(tracking::parseResultPage(page({row("t", "p")}), 0).isEmpty());
    QVERIFY(tracking::parseResultPage(page({row("t", "p")}), -3).isEmpty());
    QVERIFY(tracking::parseResultPage(u"", 0).isEmpty());
}

void TstTrackingRules::everyRowShowsItsOwnProgress_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("one row past half the limit") << 16384;
    QTest::newRow("the row limit") << 32767;
}

void TstTrackingRules::everyRowShowsItsOwnProgress() {
    // The newest row is the last one; its text decides the parcel's status.
    QFETCH(int, rows);
    QStringList parts;
    for (int i = 1; i < rows; ++i) {
        parts.append(row(QString("t%1").arg(i), QString("p%1").arg(i)));
    }
    parts.append(row(QString("t%1").arg(rows), QStringLiteral("已签收 p%1").arg(rows)));
    const QVector<ProgressLine> lines = tracking::parseResultPage(page(parts), rows);
    QCOMPARE(lines.size(), rows);
    for (int i = 1; i < rows; ++i) {
        const ProgressLine& line = lines.at(rows - i);
        if (line.progress != QString("p%1").arg(i) || line.time != QString("t%1").arg(i)) {
            QFAIL(qPrintable(QString("row %1 shows %2 / %3").arg(i).arg(line.time, line.progress)));
        }
    }
    QCOMPARE(lines.first().number, QString("1"));
    QCOMPARE(lines.first().progress, QStringLiteral("已签收 p%1").arg(rows));
    QCOMPARE(tracking::parcelStatus(lines.first().progress), QStringLiteral("快件状态：已签收"));
}

void TstTrackingRules::saturatedRowCountParses() {
    QStringList parts;
    for (int i = 1; i <= 40000; ++i) {
        parts.append(row(QString("t%1").arg(i), "p"));
    }
    const QString answer = page(parts);
    const int count = tracking::countRowMarkers(answer);
    QCOMPARE(count, 32767);
    const QVector<ProgressLine> lines = tracking::parseResultPage(answer, count);
    QCOMPARE(lines.size(), 32767);
    QCOMPARE(lines.first().number, QString("1"));
    QCOMPARE(lines.first().time, QString("t32767"));
    QCOMPARE(lines.last().number, QString("32767"));
    QCOMPARE(lines.last().time, QString("t1"));
}

void TstTrackingRules::matchesTheLiteralRules() {
    // Pages glued together from markers, broken markers and text, parsed with the row
    // count the page gives and with counts around it.
    const QStringList fragments{"<tr><td>",  "<td>",
                                "</td><td>", "</td></tr>",
                                "<tr>",      "</td></tr><tr>",
                                "</table>",  "</td></tr></table>",
                                "<",         "</td>",
                                "</tr>",     "<br>",
                                "a",         "签",
                                " ",         "\r\n"};
    QRandomGenerator random(20130105);
    for (int round = 0; round < 3000; ++round) {
        QString answer;
        const int pieces = random.bounded(40);
        for (int p = 0; p < pieces; ++p) {
            answer += fragments.at(random.bounded(fragments.size()));
        }
        const int markers = tracking::countRowMarkers(answer);
        for (const int rowCount : {markers, markers + 1, markers + 3, markers - 1}) {
            const QVector<ProgressLine> lines = tracking::parseResultPage(answer, rowCount);
            const QVector<ProgressLine> expected = parseLiterally(answer, rowCount);
            QCOMPARE(lines.size(), expected.size());
            for (int i = 0; i < lines.size(); ++i) {
                if (lines.at(i).number != expected.at(i).number ||
                    lines.at(i).time != expected.at(i).time ||
                    lines.at(i).progress != expected.at(i).progress) {
                    qWarning() << "page" << answer << "rows" << rowCount << "line" << i;
                }
                QCOMPARE(lines.at(i).number, expected.at(i).number);
                QCOMPARE(lines.at(i).time, expected.at(i).time);
                QCOMPARE(lines.at(i).progress, expected.at(i).progress);
            }
        }
    }
}

void TstTrackingRules::parcelStatus_data() {
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QString>("status");
    QTest::newRow("signed") << "已签收，签收人：本人"
                            << "快件状态：已签收";
    QTest::newRow("delivered") << "妥投"
                               << "快件状态：已签收";
    QTest::newRow("out for delivery") << "正在派送途中,派件员：某某"
                                      << "快件状态：派件中";
    QTest::newRow("in transit") << "快件已到达 浦东转运中心"
                                << "快件状态：运送中";
    QTest::newRow("empty") << ""
                           << "快件状态：运送中";
    QTest::newRow("both signed and delivering") << "派件员已签收"
                                                << "快件状态：已签收";
}

void TstTrackingRules::parcelStatus() {
    QFETCH(QString, progress);
    QFETCH(QString, status);
    QCOMPARE(tracking::parcelStatus(progress), status);
}

void TstTrackingRules::nestedRowEndsStayWithinMemory() {
    // Each removal pass glues the next "</td></tr><tr>" together: "</td></tr" k times, one
    // marker, "><tr>" k times. The rows past the page's cells repeat the text, one pass a
    // row, so the rules alone would make thousands of distinct texts of ~100 KB each. The
    // page has one cell per row, so the rows of its second half find no cell of their own.
    const int levels = 8000;
    const int rows = 16000;
    QString page = QStringLiteral("<tr><td>").repeated(rows);
    page += QStringLiteral("</td></tr").repeated(levels) + QStringLiteral("</td></tr><tr>") +
            QStringLiteral("><tr>").repeated(levels);
    const QVector<ProgressLine> lines =
        tracking::parseResultPage(page, tracking::countRowMarkers(page));
    QCOMPARE(lines.size(), rows);
    // The first repeated rows follow the rules: one marker less each.
    const int firstRepeated = rows - rows / 2 - 1;  // display index of page row rows/2 + 1
    const qsizetype full = lines.at(firstRepeated + 1).progress.size();
    QCOMPARE(lines.at(firstRepeated).progress.size(), full - 14);
    QCOMPARE(lines.at(firstRepeated - 1).progress.size(), full - 28);
    // All the distinct texts together stay within a bounded size.
    QSet<const QChar*> seen;
    qsizetype total = 0;
    for (const ProgressLine& line : lines) {
        if (!seen.contains(line.progress.constData())) {
            seen.insert(line.progress.constData());
            total += line.progress.size();
        }
    }
    QVERIFY2(total < (qsizetype(1) << 26), qPrintable(QString::number(total)));
    // Past the bound the text stops changing: the top lines share one text.
    QCOMPARE(lines.at(0).progress, lines.at(1).progress);
}

QTEST_GUILESS_MAIN(TstTrackingRules)
#include "tst_tracking_rules.moc"
