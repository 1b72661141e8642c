#include <QTest>

#include "branch/encoding.h"
#include "branch/page.h"

using branch::BranchFields;

namespace {

// A page whose pieces (the text between the "td"s) are given; pieces not given are "x".
QString pageOf(const QMap<int, QString>& pieces, int pieceCount = 28) {
    QStringList all;
    for (int i = 0; i < pieceCount; ++i) {
        all << pieces.value(i, QStringLiteral("x"));
    }
    return all.join(QStringLiteral("td"));
}

const QString kPrefix19 = QStringLiteral(" class=\"vv\" id=\"q\">");   // 19 characters
const QString kPrefix20 = QStringLiteral(" class=\"vv\" id=\"qq\">");  // 20 characters

}  // namespace

class TestBranchRules : public QObject {
    Q_OBJECT
private slots:
    void encodesAsPercentUtf8_data();
    void encodesAsPercentUtf8();
    void escapesWhatWouldSplitTheQuery_data();
    void escapesWhatWouldSplitTheQuery();
    void requestValueTrimsOuterSpacesOnly();
    void queryUrlJoinsSiteAndPage();

    void cutsTheSixFields();
    void valueWithTdShiftsLaterPieces();
    void shortAndMissingPiecesGiveEmptyFields();
    void removesEveryClosingMarkInOnePass();
};

void TestBranchRules::encodesAsPercentUtf8_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("中") << QStringLiteral("中") << QStringLiteral("%E4%B8%AD");
    QTest::newRow("上海") << QStringLiteral("上海") << QStringLiteral("%E4%B8%8A%E6%B5%B7");
    QTest::newRow("é") << QStringLiteral("é") << QStringLiteral("%C3%A9");
    QTest::newRow("space kept") << QStringLiteral("a b") << QStringLiteral("a b");
    QTest::newRow("U+007F") << QString(QChar(0x7F)) << QString(QChar(0x7F));
    QTest::newRow("U+0080") << QString(QChar(0x80)) << QStringLiteral("%C2%80");
    QTest::newRow("U+07FF") << QString(QChar(0x7FF)) << QStringLiteral("%DF%BF");
    QTest::newRow("U+0800") << QString(QChar(0x800)) << QStringLiteral("%E0%A0%80");
    QTest::newRow("U+FFFF") << QString(QChar(0xFFFF)) << QStringLiteral("%EF%BF%BF");
    // U+1F600 is the pair D83D DE00; each half is its own three-byte group.
    QTest::newRow("surrogate pair")
        << QString::fromUcs4(U"\U0001F600") << QStringLiteral("%ED%A0%BD%ED%B8%80");
    QTest::newRow("escapes pass") << QStringLiteral("%E4%B8%AD 100%")
                                  << QStringLiteral("%E4%B8%AD 100%");
    QTest::newRow("ascii punctuation")
        << QStringLiteral("a&b=c?d#e+f\t") << QStringLiteral("a&b=c?d#e+f\t");
    QTest::newRow("mixed") << QStringLiteral("A1 中b") << QStringLiteral("A1 %E4%B8%ADb");
}

void TestBranchRules::encodesAsPercentUtf8() {
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(branch::UTF8_URLEncoding(text), encoded);
}

void TestBranchRules::escapesWhatWouldSplitTheQuery_data() {
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("ampersand") << QStringLiteral("a&b") << QStringLiteral("a%26b");
    QTest::newRow("hash") << QStringLiteral("a#b") << QStringLiteral("a%23b");
    QTest::newRow("plus") << QStringLiteral("a+b") << QStringLiteral("a%2Bb");
    QTest::newRow("space") << QStringLiteral("a b") << QStringLiteral("a%20b");
    QTest::newRow("controls") << QStringLiteral("\x01\t\n\x1F") + QChar(0x7F)
                              << QStringLiteral("%01%09%0A%1F%7F");
    QTest::newRow("percent and the rest pass")
        << QStringLiteral("%E4%B8%AD=?/%;") << QStringLiteral("%E4%B8%AD=?/%;");
}

void TestBranchRules::escapesWhatWouldSplitTheQuery() {
    QFETCH(QString, encoded);
    QFETCH(QString, escaped);
    QCOMPARE(branch::escapeQueryValue(encoded), escaped);
}

void TestBranchRules::requestValueTrimsOuterSpacesOnly() {
    QCOMPARE(branch::branchRequestValue(QStringLiteral("  上海 浦东 ")),
             QStringLiteral("%E4%B8%8A%E6%B5%B7%20%E6%B5%A6%E4%B8%9C"));
    // Only U+0020 is trimmed: a tab at the edge stays, escaped.
    QCOMPARE(branch::branchRequestValue(QStringLiteral("\tA ")), QStringLiteral("%09A"));
    // A full-width space is a character like any other.
    QCOMPARE(branch::branchRequestValue(QStringLiteral(" \u3000")), QStringLiteral("%E3%80%80"));
    QCOMPARE(branch::branchRequestValue(QStringLiteral("   ")), QString());
    QCOMPARE(branch::branchRequestValue(QStringLiteral("A&age=1#x")),
             QStringLiteral("A%26age=1%23x"));
}

void TestBranchRules::queryUrlJoinsSiteAndPage() {
    const QString expected = QStringLiteral("http://h.example:81/query_list.asp?name=%E4%B8%AD");
    QCOMPARE(
        branch::branchQueryUrl(QUrl(QStringLiteral("http://h.example:81")), QStringLiteral("中")),
        expected);
    QCOMPARE(
        branch::branchQueryUrl(QUrl(QStringLiteral("http://h.example:81/")), QStringLiteral("中")),
        expected);
    QCOMPARE(
        branch::branchQueryUrl(QUrl(QStringLiteral("http://h.example/kd/")), QStringLiteral("a b")),
        QStringLiteral("http://h.example/kd/query_list.asp?name=a%20b"));
}

void TestBranchRules::cutsTheSixFields() {
    const QString page = pageOf({
        {6, kPrefix19 + QStringLiteral("上海浦东</")},
        {10, kPrefix19 + QStringLiteral("张三</")},
        {14, kPrefix19 + QStringLiteral("浦东新区分部</")},
        {18, kPrefix19 + QStringLiteral("021-12345678</")},
        {22, kPrefix19 + QStringLiteral("浦东新区全境，<b>含</b>张江</")},
        {26, kPrefix20 + QStringLiteral("崇明岛</")},
    });
    const BranchFields fields = branch::cutBranchPage(page);
    QCOMPARE(fields.field[0], QStringLiteral("上海浦东"));
    QCOMPARE(fields.field[1], QStringLiteral("张三"));
    QCOMPARE(fields.field[2], QStringLiteral("浦东新区分部"));
    QCOMPARE(fields.field[3], QStringLiteral("021-12345678"));
    QCOMPARE(fields.field[4], QStringLiteral("浦东新区全境，<b>含b>张江"));
    QCOMPARE(fields.field[5], QStringLiteral("崇明岛"));
    QVERIFY(fields.found());
}

void TestBranchRules::valueWithTdShiftsLaterPieces() {
    QMap<int, QString> pieces = {
        {6, kPrefix19 + QStringLiteral("Acme Express</")},
        {9, kPrefix19 + QStringLiteral("from nine</")},
        {10, kPrefix19 + QStringLiteral("Li Si</")},
        {25, kPrefix20 + QStringLiteral("from twenty-five</")},
        {26, kPrefix20 + QStringLiteral("Chongming</")},
    };
    BranchFields fields = branch::cutBranchPage(pageOf(pieces));
    QCOMPARE(fields.field[0], QStringLiteral("Acme Express"));
    QCOMPARE(fields.field[1], QStringLiteral("Li Si"));
    QCOMPARE(fields.field[5], QStringLiteral("Chongming"));

    // "Ltd" inside the first value is a cut like any other: field 1 ends at "L" and every
    // later field comes from the piece before its usual one.
    pieces.insert(6, kPrefix19 + QStringLiteral("Acme Ltd Express</"));
    fields = branch::cutBranchPage(pageOf(pieces));
    QCOMPARE(fields.field[0], QStringLiteral("Acme L"));
    QCOMPARE(fields.field[1], QStringLiteral("from nine"));
    QCOMPARE(fields.field[5], QStringLiteral("from twenty-five"));
}

void TestBranchRules::shortAndMissingPiecesGiveEmptyFields() {
    // Piece 6 of exactly 19 characters: nothing is left after the drop.
    BranchFields fields = branch::cutBranchPage(pageOf({{6, kPrefix19}}));
    QCOMPARE(fields.field[0], QString());
    QVERIFY(!fields.found());

    // 25 "td": pieces 0..25, so field 6 (piece 26) has no source, the others do.
    QMap<int, QString> pieces;
    for (int p : {6, 10, 14, 18, 22}) {
        pieces.insert(p, kPrefix19 + QStringLiteral("v%1").arg(p));
    }
    fields = branch::cutBranchPage(pageOf(pieces, 26));
    QCOMPARE(fields.field[0], QStringLiteral("v6"));
    QCOMPARE(fields.field[4], QStringLiteral("v22"));
    QCOMPARE(fields.field[5], QString());

    // 20 characters after piece 26's cut is exactly its drop: empty.
    pieces.insert(26, kPrefix20);
    fields = branch::cutBranchPage(pageOf(pieces, 27));
    QCOMPARE(fields.field[5], QString());
    pieces.insert(26, kPrefix20 + QStringLiteral("Z"));
    fields = branch::cutBranchPage(pageOf(pieces, 27));
    QCOMPARE(fields.field[5], QStringLiteral("Z"));

    fields = branch::cutBranchPage(QString());
    for (const QString& field : fields.field) {
        QVERIFY(field.isEmpty());
    }
    QVERIFY(!fields.found());

    // "TD" in capitals is no cut.
    fields = branch::cutBranchPage(pageOf({{6, kPrefix19 + QStringLiteral("A<TD>B")}}));
    QCOMPARE(fields.field[0], QStringLiteral("A<TD>B"));
}

void TestBranchRules::removesEveryClosingMarkInOnePass() {
    const BranchFields fields =
        branch::cutBranchPage(pageOf({{6, kPrefix19 + QStringLiteral("a</b</c<<//")}}));
    QCOMPARE(fields.field[0], QStringLiteral("abc</"));
}

QTEST_APPLESS_MAIN(TestBranchRules)
#include "tst_branch_rules.moc"
