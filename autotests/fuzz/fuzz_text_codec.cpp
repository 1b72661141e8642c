// The decoding of every body and file: a fuzzed Content-Type header and body through
// decodeBody, and GBK (GB18030) both ways.
//
// Input: the Content-Type value up to the first LF, the body after it (no LF: no header).

#include <QStringDecoder>

#include "fuzz_support.h"

namespace {

bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void checkCharset(const QByteArray& contentType) {
    const QByteArray charset = base::charsetOf(contentType);
    for (const char c : charset) {
        FUZZ_CHECK(!(c >= 'A' && c <= 'Z'), "charset " + charset.left(200));
    }
    FUZZ_CHECK(
        charset.isEmpty() || (!isAsciiSpace(charset.front()) && !isAsciiSpace(charset.back())),
        "charset " + charset.left(200));
}

void checkBody(QByteArrayView body, const QByteArray& contentType) {
    const QByteArray charset = base::charsetOf(contentType);
    const bool gbk = charset == "gbk" || charset == "gb2312" || charset == "x-gbk" ||
                     charset == "cp936" || charset == "gb_2312-80" || charset == "gb18030";
    const bool utf8 = charset == "utf-8" || charset == "utf8";
    for (const char* fallback : {"GB18030", "UTF-8"}) {
        const QString text = base::decodeBody(body, contentType, fallback);
        const bool fallbackUsed =
            charset.isEmpty() || !QStringDecoder(charset.constData()).isValid();
        if (gbk || (fallbackUsed && fallback[0] == 'G')) {
            FUZZ_CHECK(text == base::fromGbk(body).value(), "not read as GBK");
        } else if (utf8 || fallbackUsed) {
            // UTF-8: every byte is in the text, as itself or as a U+FFFD.
            FUZZ_CHECK(text == QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
                                   .decode(body),
                       "not read as UTF-8");
            if (!text.contains(QChar::ReplacementCharacter) && !body.startsWith("\xEF\xBB\xBF")) {
                FUZZ_CHECK(text.toUtf8() == body, "UTF-8 bytes lost: " + fuzz::shown(text));
            }
        }
    }
}

// GB18030 covers all of Unicode: text without lone surrogates comes back unchanged.
void checkGbkRoundTrip(const QString& text) {
    if (fuzz::hasLoneSurrogate(text)) {
        (void)base::toGbk(text);
        return;
    }
    const QString back = base::fromGbk(base::toGbk(text).value()).value();
    FUZZ_CHECK(back == text,
               "GBK round trip: " + fuzz::shown(text) + " came back as " + fuzz::shown(back));
}

// Well-formed GBK bytes come back unchanged from their text, and no bytes vanish at the end:
// a line feed is never part of a GB18030 character, so the text of bytes cut at one is the
// text of the two parts with the line feed between them.
void checkGbkBytes(QByteArrayView bytes) {
    const QString text = base::fromGbk(bytes).value();
    const qsizetype lf = bytes.indexOf('\n');
    if (lf >= 0) {
        const QString parts = base::fromGbk(bytes.first(lf)).value() + u'\n' +
                              base::fromGbk(bytes.sliced(lf + 1)).value();
        FUZZ_CHECK(text == parts, "bytes " + bytes.toByteArray().toHex(' ').left(300) +
                                      " read as " + fuzz::shown(text) + ", in parts as " +
                                      fuzz::shown(parts));
    }
    if (text.contains(QChar::ReplacementCharacter)) {
        return;
    }
    FUZZ_CHECK(
        base::toGbk(text).value() == bytes,
        "bytes " + bytes.toByteArray().toHex(' ').left(300) + " read as " + fuzz::shown(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input = fuzz::bytesOf(data, size);
    const qsizetype lf = input.indexOf('\n');
    const QByteArray contentType = lf < 0 ? QByteArray() : input.first(lf).toByteArray();
    const QByteArrayView body = lf < 0 ? input : input.sliced(lf + 1);

    checkCharset(contentType);
    checkBody(body, contentType);
    checkGbkBytes(input);
    checkGbkRoundTrip(fuzz::asUtf8(data, size));
    checkGbkRoundTrip(fuzz::asUtf16(data, size));
    return 0;
}
