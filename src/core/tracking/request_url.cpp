#include "tracking/request_url.h"

namespace tracking {

namespace {

bool sentAsIs(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) {
        return false;  // control characters, space, DEL and every byte of a non-ASCII character
    }
    switch (c) {
        // Query delimiters and the escape character itself.
        case '&':
        case '#':
        case '%':
        case '+':
        // Characters a URL may not carry unencoded.
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}':
            return false;
        default:
            return true;
    }
}

}  // namespace

QByteArray encodeNumber(const QString& number) {
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = number.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() * 3);
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (sentAsIs(c)) {
            out.append(ch);
        } else {
            out.append('%');
            out.append(kHex[c >> 4]);
            out.append(kHex[c & 0x0F]);
        }
    }
    return out;
}

QUrl requestUrl(const QUrl& serviceBase, const QString& code, const QString& number) {
    QUrl base = serviceBase.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    if (base.path().isEmpty()) {
        base.setPath(QStringLiteral("/"));
    }
    const QByteArray query = "com=" + code.toLatin1() + "&nu=" + encodeNumber(number) +
                             "&id=" + QByteArray(kAccessId) + "&type=html";
    return QUrl::fromEncoded(base.toEncoded() + '?' + query, QUrl::StrictMode);
}

}  // namespace tracking
