// GBK (GB18030) both ways, as the history and export files and the tracking pages need it,
// with the bytes other GB18030 converters give for the same text: the 2005 edition of the
// standard, whichever edition the system's converter follows.
#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include "base/text.h"
#include "base/text_codec.h"

class TstTextCodec : public QObject {
    Q_OBJECT
private slots:
    void encodes_data();
    void encodes();
    void decodesCutOffCharactersAsMarks_data();
    void decodesCutOffCharactersAsMarks();
    void bodies_data();
    void bodies();
    void missingConverterEncodesNothing();
    void shownTextCutsWholeCharacters_data();
    void shownTextCutsWholeCharacters();
    void wholeBmpTableIsDebians();
    void wholeBmpMatchesSystemConverter();
    void randomBytesReadAsSystemConverterReads();
    void randomTextWrittenAsSystemConverterWrites();
};

namespace {

// The 18 characters the 2022 edition moved (ICU 73.2 and later, glibc's iconv on Debian 12):
// the 2005 edition gives the two-byte code to a private-use character and a four-byte code to
// the standard character; the 2022 edition gives the two-byte code to the standard one.
struct MovedIn2022 {
    char16_t privateUse;
    char16_t standard;
    const char* twoBytes;
    const char* fourBytes;
};
constexpr MovedIn2022 kMovedIn2022[] = {
    {0xE78D, 0xFE10, "a6d9", "84318236"}, {0xE78E, 0xFE12, "a6da", "84318238"},
    {0xE78F, 0xFE11, "a6db", "84318237"}, {0xE790, 0xFE13, "a6dc", "84318239"},
    {0xE791, 0xFE14, "a6dd", "84318330"}, {0xE792, 0xFE15, "a6de", "84318331"},
    {0xE793, 0xFE16, "a6df", "84318332"}, {0xE794, 0xFE17, "a6ec", "84318333"},
    {0xE795, 0xFE18, "a6ed", "84318334"}, {0xE796, 0xFE19, "a6f3", "84318335"},
    {0xE81E, 0x9FB4, "fe59", "82359037"}, {0xE826, 0x9FB5, "fe61", "82359038"},
    {0xE82B, 0x9FB6, "fe66", "82359039"}, {0xE82C, 0x9FB7, "fe67", "82359130"},
    {0xE832, 0x9FB8, "fe6d", "82359131"}, {0xE843, 0x9FB9, "fe7e", "82359132"},
    {0xE854, 0x9FBA, "fe90", "82359133"}, {0xE864, 0x9FBB, "fea0", "82359134"},
};
// ICU 74 and later also read A3 A0 as U+3000 (an ideographic space, written A1 A1), not U+E5E5.
constexpr char16_t kReadOtherwiseByIcu74 = 0xE5E5;
const QByteArray kA3A0 = QByteArray::fromHex("a3a0");

// Text or bytes that a system converter of another edition reads or writes otherwise.
bool editionsDiffer(QStringView text) {
    for (const MovedIn2022& pair : kMovedIn2022) {
        if (text.contains(QChar(pair.privateUse)) || text.contains(QChar(pair.standard))) {
            return true;
        }
    }
    return text.contains(QChar(kReadOtherwiseByIcu74));
}

bool editionsDiffer(const QByteArray& bytes) {
    for (const MovedIn2022& pair : kMovedIn2022) {
        if (bytes.contains(QByteArray::fromHex(pair.twoBytes)) ||
            bytes.contains(QByteArray::fromHex(pair.fourBytes))) {
            return true;
        }
    }
    return bytes.contains(kA3A0);
}

// Every code point of the BMP but the surrogates, in order.
QString wholeBmp() {
    QString text;
    text.reserve(0x10000);
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (!QChar::isSurrogate(c)) {
            text.append(QChar(static_cast<char16_t>(c)));
        }
    }
    return text;
}

// Every two-byte code, then every four-byte code of the BMP (81 30 81 30 to 84 31 A4 39).
QList<QByteArray> everyBmpCodeOf() {
    QList<QByteArray> codes;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F) {
                codes.append(QByteArray().append(char(lead)).append(char(trail)));
            }
        }
    }
    for (int index = 0; index < 39420; ++index) {
        codes.append(QByteArray()
                         .append(char(0x81 + index / 12600))
                         .append(char(0x30 + index / 1260 % 10))
                         .append(char(0x81 + index / 10 % 126))
                         .append(char(0x30 + index % 10)));
    }
    return codes;
}

QByteArray everyBmpCode() {
    return everyBmpCodeOf().join();
}

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The system's own converter (ICU on Debian), as the program read and wrote before it had its
// own: a text is read whole, its end ending a character cut off there; a lone surrogate is
// written as 0x1A. Invalid where Qt has no ICU.
QStringEncoder systemEncoder() {
    return QStringEncoder("GB18030", QStringConverter::Flag::Stateless);
}

QString systemRead(QByteArray bytes) {
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    bytes.append('\n');  // never part of a character
    QString text = decoder.decode(bytes);
    text.chop(1);
    return text;
}

QByteArray systemWrite(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            text[i] = QChar(0x1A);
        }
    }
    QStringEncoder encoder = systemEncoder();
    return encoder.encode(text);
}

bool systemConverterExists() {
    return systemEncoder().isValid();
}

// Bytes shaped like GB18030, with its edges: ASCII, lead, trail and digit bytes, and the
// bytes just outside those ranges.
QByteArray randomGbkLike(QRandomGenerator& random) {
    static const unsigned char edges[] = {0x00, 0x0A, 0x0D, 0x2F, 0x30, 0x39, 0x3A, 0x3F,
                                          0x40, 0x41, 0x7E, 0x7F, 0x80, 0x81, 0x84, 0x85,
                                          0x8F, 0x90, 0xA8, 0xBC, 0xE3, 0xE4, 0xFE, 0xFF};
    QByteArray bytes;
    const int size = random.bounded(1, 24);
    for (int i = 0; i < size; ++i) {
        switch (random.bounded(4)) {
            case 0:
                bytes.append(char(edges[random.bounded(int(sizeof edges))]));
                break;
            case 1:
                bytes.append(char(0x30 + random.bounded(10)));
                break;
            case 2:
                bytes.append(char(0x81 + random.bounded(126)));
                break;
            default:
                bytes.append(char(random.bounded(256)));
                break;
        }
    }
    return bytes;
}

}  // namespace

void TstTextCodec::encodes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ascii line") << QStringLiteral("SF123|x\r\n") << QByteArray("SF123|x\r\n");
    QTest::newRow("entry") << QStringLiteral("A1|EMS快递|爸爸衣服\r\n")
                           << QByteArray::fromHex("41317c454d53bfecb5dd7cb0d6b0d6d2c2b7fe0d0a");
    QTest::newRow("status") << QStringLiteral("已签收") << QByteArray::fromHex("d2d1c7a9cad5");
    QTest::newRow("middle dot") << QStringLiteral("·") << QByteArray::fromHex("a1a4");
    // What GBK lacks keeps its own bytes instead of becoming "?".
    QTest::newRow("euro sign, two bytes") << QStringLiteral("€") << QByteArray::fromHex("a2e3");
    QTest::newRow("U+0080, four bytes") << QString(QChar(0x80)) << QByteArray::fromHex("81308130");
    QTest::newRow("outside the BMP") << QStringLiteral("快递|EMS|𠀀|€")
                                     << QByteArray::fromHex("bfecb5dd7c454d537c953282367ca2e3");
    QTest::newRow("first code point beyond the BMP")
        << QString::fromUcs4(U"\U00010000") << QByteArray::fromHex("90308130");
    // The 2005 edition of the standard; the 2000 edition has these two the other way round.
    QTest::newRow("m with acute, 2005") << QString(QChar(0x1E3F)) << QByteArray::fromHex("a8bc");
    QTest::newRow("private use E7C7, 2005")
        << QString(QChar(0xE7C7)) << QByteArray::fromHex("8135f437");
    // The 2005 edition, where the 2022 edition and ICU 73.2 and later differ: the private-use
    // character and the standard one, each with its own bytes, both ways.
    for (const MovedIn2022& pair : kMovedIn2022) {
        QTest::addRow("U+%04X and U+%04X, 2005", pair.privateUse, pair.standard)
            << (QString(QChar(pair.privateUse)) + QChar(pair.standard))
            << QByteArray::fromHex(pair.twoBytes) + QByteArray::fromHex(pair.fourBytes);
    }
    QTest::newRow("private use E5E5, 2005") << QString(QChar(kReadOtherwiseByIcu74)) << kA3A0;
    QTest::newRow("last four-byte code of the BMP")
        << QString(QChar(0xFFFF)) << QByteArray::fromHex("8431a439");
    QTest::newRow("last code point")
        << QString::fromUcs4(U"\U0010FFFF") << QByteArray::fromHex("e3329a35");
    // Half a character: the substitute byte, wherever it stands.
    QTest::newRow("lone high surrogate inside")
        << (QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b"))
        << QByteArray(
               "a\x1a"
               "b");
    QTest::newRow("lone low surrogate first")
        << (QString(QChar(0xDC00)) + QStringLiteral("快")) << QByteArray::fromHex("1abfec");
    QTest::newRow("lone high surrogate last")
        << (QStringLiteral("快") + QChar(0xD83D)) << QByteArray::fromHex("bfec1a");
    QTest::newRow("swapped pair") << (QString(QChar(0xDC00)) + QChar(0xD800))
                                  << QByteArray("\x1a\x1a");
}

void TstTextCodec::encodes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const std::optional<QByteArray> encoded = base::toGbk(text);
    QVERIFY(encoded.has_value());
    QCOMPARE(encoded->toHex(' '), bytes.toHex(' '));
    if (!bytes.contains('\x1a')) {
        QCOMPARE(base::fromGbk(bytes).value_or("<none>"), text);
    }
}

void TstTextCodec::decodesCutOffCharactersAsMarks_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString mark(QChar::ReplacementCharacter);
    QTest::newRow("lead byte at the end")
        << QByteArray::fromHex("d2d1cad5bc") << QStringLiteral("已收") + mark;
    QTest::newRow("lead byte after a whole character")
        << QByteArray("\xe9t\xe9") << QString(QChar(0x95A0)) + mark;
    QTest::newRow("four-byte sequence cut after two")
        << QByteArray("A\x81\x30") << QStringLiteral("A") + mark + u'0';
    QTest::newRow("four-byte sequence cut after three")
        << QByteArray("A\x81\x30\x81") << QStringLiteral("A") + mark + u'0' + mark;
    QTest::newRow("digit at the end") << QByteArray("SF123") << QStringLiteral("SF123");
    QTest::newRow("line feed at the end") << QByteArray("a\r\n") << QStringLiteral("a\r\n");
    // A line feed ends a cut-off character and stays.
    QTest::newRow("lead byte before a line feed")
        << QByteArray("\xbc\nA") << mark + QStringLiteral("\nA");
    QTest::newRow("only a lead byte") << QByteArray("\x81") << mark;
    // Bad bytes inside the text, read as Debian's converter reads them.
    QTest::newRow("lead byte and 0xFF, one mark") << QByteArray(
                                                         "\x81\xff"
                                                         "A")
                                                  << mark + u'A';
    QTest::newRow("lead byte and 0x7F") << QByteArray("\x81\x7f") << mark + QChar(0x7F);
    QTest::newRow("four-byte sequence broken by a trail byte")
        << QByteArray("\x81\x30\x81\x81") << mark + u'0' + QChar(0x4E96);
    QTest::newRow("four-byte code without a character") << QByteArray(
                                                               "\x84\x31\xa5\x30"
                                                               "A")
                                                        << mark + u'A';
    QTest::newRow("four-byte code past U+10FFFF") << QByteArray(
                                                         "\xe3\x32\x9a\x36"
                                                         "A")
                                                  << mark + u'A';
    QTest::newRow("lone 0x80 and 0xFF") << QByteArray("\x80\xff") << mark + mark;
    QTest::newRow("outside the BMP")
        << QByteArray::fromHex("95328236") << QString::fromUcs4(U"\U00020000");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TstTextCodec::decodesCutOffCharactersAsMarks() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(base::fromGbk(bytes).value_or("<none>"), text);
}

void TstTextCodec::bodies_data() {
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("fallback");
    QTest::addColumn<QString>("text");
    const QString chinese = QStringLiteral("已签收");
    const QByteArray gbk = QByteArray::fromHex("d2d1c7a9cad5");
    QTest::newRow("gbk, no charset")
        << QByteArray("text/html") << gbk << QByteArray("GB18030") << chinese;
    QTest::newRow("gbk named") << QByteArray("text/html; charset=GBK") << gbk << QByteArray("UTF-8")
                               << chinese;
    QTest::newRow("gb2312 quoted")
        << QByteArray("text/html;charset=\"gb2312\"") << gbk << QByteArray("UTF-8") << chinese;
    QTest::newRow("cp936 named") << QByteArray("text/html; charset=cp936") << gbk
                                 << QByteArray("UTF-8") << chinese;
    QTest::newRow("utf-8 named") << QByteArray("text/html; charset=utf-8") << chinese.toUtf8()
                                 << QByteArray("GB18030") << chinese;
    QTest::newRow("utf-8, no charset")
        << QByteArray("text/html") << chinese.toUtf8() << QByteArray("UTF-8") << chinese;
    QTest::newRow("unknown charset")
        << QByteArray("text/html; charset=x-nonsense") << gbk << QByteArray("GB18030") << chinese;
    QTest::newRow("gbk cut off, no charset")
        << QByteArray("text/html") << gbk + '\xbc' << QByteArray("GB18030")
        << chinese + QChar::ReplacementCharacter;
}

void TstTextCodec::bodies() {
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, fallback);
    QFETCH(QString, text);
    QCOMPARE(base::decodeBody(body, contentType, fallback.constData()), text);
}

void TstTextCodec::missingConverterEncodesNothing() {
    {
        base::GbkConverterMissing missing;
        QVERIFY(!base::toGbk(QStringLiteral("已签收")).has_value());
        QVERIFY(!base::toGbk(QString()).has_value());
        QVERIFY(!base::fromGbk(QByteArray::fromHex("d2d1c7a9cad5")).has_value());
    }
    QCOMPARE(base::toGbk(QStringLiteral("已签收")).value_or("<none>"),
             QByteArray::fromHex("d2d1c7a9cad5"));
}

// The whole table, the 2005 edition as Debian 12's ICU gives it (wholeBmpMatchesSystemConverter
// compares it with the system's converter where the editions agree): the same on every system.
void TstTextCodec::wholeBmpTableIsDebians() {
    const QString bmp = wholeBmp();
    const std::optional<QByteArray> written = base::toGbk(bmp);
    QVERIFY(written.has_value());
    QCOMPARE(sha256(*written),
             QByteArray("60d7db256a17caf4ce4f66c0b1d0e95908cb77cbd67f422bc35814466b675043"));
    const std::optional<QString> read = base::fromGbk(everyBmpCode());
    QVERIFY(read.has_value());
    QCOMPARE(sha256(read->toUtf8()),
             QByteArray("6213cbb05a427eb7b368d8350d065f33115dfef7de521f922a6ec0c87bfc83c4"));
    QCOMPARE(base::fromGbk(*written).value_or("<none>"), bmp);
}

// Character by character and code by code, where the system's converter cannot follow another
// edition of the standard.
void TstTextCodec::wholeBmpMatchesSystemConverter() {
    if (!systemConverterExists()) {
        QSKIP("no GB18030 converter of the system to compare with (Qt without ICU)");
    }
    int compared = 0;
    const QString bmp = wholeBmp();
    for (const QChar c : bmp) {
        if (editionsDiffer(QStringView(&c, 1))) {
            continue;
        }
        QVERIFY2(base::toGbk(QString(c)).value() == systemWrite(QString(c)),
                 qPrintable(QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QChar('0'))));
        ++compared;
    }
    for (const QByteArray& code : everyBmpCodeOf()) {
        if (editionsDiffer(code)) {
            continue;
        }
        QVERIFY2(base::fromGbk(code).value() == systemRead(code), code.toHex(' ').constData());
        ++compared;
    }
    // All but the 36 characters and the 36 codes of the 18 pairs, U+E5E5 and A3 A0.
    QCOMPARE(compared, bmp.size() - 37 + 126 * 190 + 39420 - 37);
}

void TstTextCodec::randomBytesReadAsSystemConverterReads() {
    if (!systemConverterExists()) {
        QSKIP("no GB18030 converter of the system to compare with (Qt without ICU)");
    }
    QRandomGenerator random(18030);
    for (int i = 0; i < 200000; ++i) {
        const QByteArray bytes = randomGbkLike(random);
        if (editionsDiffer(bytes)) {
            continue;
        }
        const QString expected = systemRead(bytes);
        const QString read = base::fromGbk(bytes).value();
        if (read != expected) {
            QFAIL(qPrintable(QStringLiteral("%1 read as %2, not %3")
                                 .arg(QString::fromLatin1(bytes.toHex(' ')),
                                      QString::fromLatin1(read.toUtf8().toHex(' ')),
                                      QString::fromLatin1(expected.toUtf8().toHex(' ')))));
        }
    }
}

void TstTextCodec::randomTextWrittenAsSystemConverterWrites() {
    if (!systemConverterExists()) {
        QSKIP("no GB18030 converter of the system to compare with (Qt without ICU)");
    }
    QRandomGenerator random(54936);
    for (int i = 0; i < 50000; ++i) {
        QString text;
        const int size = random.bounded(1, 12);
        for (int k = 0; k < size; ++k) {
            const int kind = random.bounded(4);
            if (kind == 0) {
                text.append(QChar(static_cast<char16_t>(random.bounded(0x80))));
            } else if (kind == 1) {
                text.append(QChar(static_cast<char16_t>(0xD800 + random.bounded(0x800))));
            } else if (kind == 2) {
                const char32_t code = 0x10000 + random.bounded(0x100000);
                text.append(QChar(QChar::highSurrogate(code)))
                    .append(QChar(QChar::lowSurrogate(code)));
            } else {
                text.append(QChar(static_cast<char16_t>(random.bounded(0x10000))));
            }
        }
        if (editionsDiffer(text)) {
            continue;
        }
        const QByteArray expected = systemWrite(text);
        const QByteArray written = base::toGbk(text).value();
        if (written != expected) {
            QFAIL(qPrintable(QStringLiteral("%1 written as %2, not %3")
                                 .arg(QString::fromLatin1(text.toUtf8().toHex(' ')),
                                      QString::fromLatin1(written.toHex(' ')),
                                      QString::fromLatin1(expected.toHex(' ')))));
        }
    }
}

// What a control shows of a long text: its start and "…", never half of a character beyond
// 16 bits, which would be drawn as a box.
void TstTextCodec::shownTextCutsWholeCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<QString>("shown");
    const QString ellipsis(QChar(0x2026));
    QTest::newRow("short enough") << QStringLiteral("已签收") << 3 << QStringLiteral("已签收");
    QTest::newRow("cut") << QStringLiteral("已签收了") << 3 << QStringLiteral("已签收") + ellipsis;
    QTest::newRow("cut before a pair")
        << QStringLiteral("ab𠀀cd") << 3 << QStringLiteral("ab") + ellipsis;
    QTest::newRow("cut after a pair")
        << QStringLiteral("a𠀀cd") << 3 << QStringLiteral("a𠀀") + ellipsis;
    QTest::newRow("a pair first") << QStringLiteral("𠀀𠀀") << 1 << ellipsis;
}

void TstTextCodec::shownTextCutsWholeCharacters() {
    QFETCH(QString, text);
    QFETCH(int, maxChars);
    QFETCH(QString, shown);
    QCOMPARE(base::shownText(text, maxChars), shown);
}

QTEST_GUILESS_MAIN(TstTextCodec)
#include "tst_text_codec.moc"
