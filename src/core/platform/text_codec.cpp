#include "platform/text_codec.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QByteArray toGbk(QStringView text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString fromGbk(QByteArrayView bytes) {
    // One decoder per call: a decoder keeps state between calls. That state is also where it
    // holds back a character cut off at the end of its input, waiting for the rest. Only a
    // text ending in a byte that can start or continue a character (a byte from 0x80 up, or
    // a digit, the second byte of a four-byte character) can end that way; such a text is
    // decoded with a line feed after it, which is never part of a GB18030 character, so the
    // cut-off character ends there as U+FFFD instead of vanishing, and the line feed is then
    // dropped again. (Feeding the line feed in a second call does not flush every such tail.)
    QStringDecoder decoder("GB18030");
    const char last = bytes.isEmpty() ? '\n' : bytes.back();
    const bool mayBeCut = static_cast<unsigned char>(last) >= 0x80 || (last >= '0' && last <= '9');
    if (!mayBeCut) {
        return decoder.decode(bytes);
    }
    QByteArray terminated;
    terminated.reserve(bytes.size() + 1);
    terminated.append(bytes).append('\n');
    QString text = decoder.decode(terminated);
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text;
}

QByteArray charsetOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (int i = 1; i < parts.size(); ++i) {
        QByteArray part = parts.at(i).trimmed();
        const int eq = part.indexOf('=');
        if (eq < 0) {
            continue;
        }
        if (part.left(eq).trimmed().toLower() != "charset") {
            continue;
        }
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\''))) {
            value = value.mid(1, value.size() - 2);
        }
        return value.trimmed().toLower();
    }
    return {};
}

QString decodeBody(QByteArrayView body, const QByteArray& contentType, const char* fallback) {
    const QByteArray charset = charsetOf(contentType);
    if (charset == "gbk" || charset == "gb2312" || charset == "x-gbk" || charset == "cp936" ||
        charset == "gb_2312-80" || charset == "gb18030") {
        return fromGbk(body);
    }
    // Stateless: the whole body is decoded at once, so Qt's own decoders (UTF-8, UTF-16,
    // UTF-32, Latin-1) mark a character cut off at its end as U+FFFD rather than keep it back
    // for a next call that never comes.
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData(), QStringConverter::Flag::Stateless);
        if (named.isValid()) {
            return named.decode(body);
        }
    }
    if (qstricmp(fallback, "GB18030") == 0) {
        return fromGbk(body);
    }
    QStringDecoder decoder(fallback, QStringConverter::Flag::Stateless);
    return decoder.decode(body);
}

}  // namespace platform
