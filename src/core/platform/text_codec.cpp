#include "platform/text_codec.h"

#include <QList>
#include <QStringDecoder>
#include <QTextCodec>
#include <atomic>

namespace platform {

namespace {

std::atomic<int> missingForTests{0};

// Core5Compat's GB18030 codec: its tables are compiled in, so it exists on every system
// where the library does. Its conversions below pass no state: each call stands alone.
QTextCodec* gb18030() {
    if (missingForTests.load() > 0) {
        return nullptr;
    }
    static QTextCodec* const codec = QTextCodec::codecForName("GB18030");
    return codec;
}

}  // namespace

GbkConverterMissing::GbkConverterMissing() {
    ++missingForTests;
}

GbkConverterMissing::~GbkConverterMissing() {
    --missingForTests;
}

std::optional<QByteArray> toGbk(QStringView text) {
    QTextCodec* const codec = gb18030();
    if (codec == nullptr) {
        return std::nullopt;
    }
    // The codec writes "?" for a lone surrogate; the files have always held 0x1A there (the
    // substitute character of GB18030 converters), so lone surrogates are replaced first.
    QString marked;  // a copy, made only for a text with a lone surrogate
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            if (marked.isNull()) {
                marked = text.toString();
            }
            marked[i] = QChar(0x1A);
        }
    }
    return marked.isNull() ? codec->fromUnicode(text) : codec->fromUnicode(marked);
}

std::optional<QString> fromGbk(QByteArrayView bytes) {
    QTextCodec* const codec = gb18030();
    if (codec == nullptr) {
        return std::nullopt;
    }
    // Without a state to keep, the codec drops a character cut off at the end of its input.
    // Only a text ending in a byte that can start or continue a character (a byte from 0x80
    // up, or a digit, the second byte of a four-byte character) can end that way; such a
    // text is decoded with a line feed after it, which is never part of a GB18030 character,
    // so the cut-off character ends there as U+FFFD instead of vanishing, and the line feed
    // is then dropped again.
    const char last = bytes.isEmpty() ? '\n' : bytes.back();
    const bool mayBeCut = static_cast<unsigned char>(last) >= 0x80 || (last >= '0' && last <= '9');
    if (!mayBeCut) {
        return codec->toUnicode(bytes.data(), static_cast<int>(bytes.size()));
    }
    QByteArray terminated;
    terminated.reserve(bytes.size() + 1);
    terminated.append(bytes).append('\n');
    QString text = codec->toUnicode(terminated);
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
        return fromGbk(body).value_or(QString());
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
        return fromGbk(body).value_or(QString());
    }
    QStringDecoder decoder(fallback, QStringConverter::Flag::Stateless);
    return decoder.decode(body);
}

}  // namespace platform
