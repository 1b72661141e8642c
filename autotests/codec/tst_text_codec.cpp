// GBK (GB18030) both ways, as the history and export files and the tracking pages need it,
// with the bytes other GB18030 converters give for the same text.
#include <QtTest>

#include "platform/text_codec.h"

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
};

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
    const std::optional<QByteArray> encoded = platform::toGbk(text);
    QVERIFY(encoded.has_value());
    QCOMPARE(encoded->toHex(' '), bytes.toHex(' '));
    if (!bytes.contains('\x1a')) {
        QCOMPARE(platform::fromGbk(bytes).value_or("<none>"), text);
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
    QTest::newRow("empty") << QByteArray() << QString();
}

void TstTextCodec::decodesCutOffCharactersAsMarks() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(platform::fromGbk(bytes).value_or("<none>"), text);
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
    QCOMPARE(platform::decodeBody(body, contentType, fallback.constData()), text);
}

void TstTextCodec::missingConverterEncodesNothing() {
    {
        platform::GbkConverterMissing missing;
        QVERIFY(!platform::toGbk(QStringLiteral("已签收")).has_value());
        QVERIFY(!platform::toGbk(QString()).has_value());
        QVERIFY(!platform::fromGbk(QByteArray::fromHex("d2d1c7a9cad5")).has_value());
    }
    QCOMPARE(platform::toGbk(QStringLiteral("已签收")).value_or("<none>"),
             QByteArray::fromHex("d2d1c7a9cad5"));
}

QTEST_GUILESS_MAIN(TstTextCodec)
#include "tst_text_codec.moc"
