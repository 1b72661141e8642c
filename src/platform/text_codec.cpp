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
    // One decoder per call: a decoder keeps state between calls.
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
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
    QByteArray charset = charsetOf(contentType);
    if (charset == "gbk" || charset == "gb2312" || charset == "x-gbk" || charset == "cp936" ||
        charset == "gb_2312-80") {
        charset = "GB18030";
    }
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData());
        if (named.isValid()) {
            return named.decode(body);
        }
    }
    QStringDecoder decoder(fallback);
    return decoder.decode(body);
}

}  // namespace platform
