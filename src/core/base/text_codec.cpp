#include "base/text_codec.h"

#include <QList>
#include <QStringDecoder>
#include <atomic>

#include "base/gb18030.h"

namespace base {

namespace {

std::atomic<int> missingForTests{0};

}  // namespace

GbkConverterMissing::GbkConverterMissing() {
    ++missingForTests;
}

GbkConverterMissing::~GbkConverterMissing() {
    --missingForTests;
}

std::optional<QByteArray> toGbk(QStringView text) {
    if (missingForTests.load() > 0) {
        return std::nullopt;
    }
    return gb18030::encode(text);
}

std::optional<QString> fromGbk(QByteArrayView bytes) {
    if (missingForTests.load() > 0) {
        return std::nullopt;
    }
    return gb18030::decode(bytes);
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

}  // namespace base
