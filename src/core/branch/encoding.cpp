#include "branch/encoding.h"

#include "base/text.h"

namespace branch {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

void appendEscapedByte(QString& out, unsigned byte) {
    out += QLatin1Char('%');
    out += QLatin1Char(kHexDigits[(byte >> 4) & 0xF]);
    out += QLatin1Char(kHexDigits[byte & 0xF]);
}

}  // namespace

QString UTF8_URLEncoding(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    QString result;
    result.reserve(text.size() * 3);
    for (const QChar ch : text) {
        const unsigned c = ch.unicode();
        if (c < 0x80) {
            result += ch;
        } else if (c < 0x800) {
            appendEscapedByte(result, 0xC0 | (c >> 6));
            appendEscapedByte(result, 0x80 | (c & 0x3F));
        } else {
            // Surrogate halves land here too: each half becomes its own three-byte group.
            appendEscapedByte(result, 0xE0 | (c >> 12));
            appendEscapedByte(result, 0x80 | ((c >> 6) & 0x3F));
            appendEscapedByte(result, 0x80 | (c & 0x3F));
        }
    }
    return result;
}

QString escapeQueryValue(const QString& encoded) {
    QString result;
    result.reserve(encoded.size());
    for (const QChar ch : encoded) {
        const unsigned c = ch.unicode();
        const bool splits = c == '&' || c == '#' || c == '+' || c == ' ';
        const bool control = c < 0x20 || c == 0x7F;
        if (splits || control) {
            appendEscapedByte(result, c);
        } else {
            result += ch;
        }
    }
    return result;
}

QString branchRequestValue(const QString& name) {
    const QString encoded = UTF8_URLEncoding(name);
    // The encoding keeps spaces as they are, so these are the name's own outer spaces.
    // Inner spaces stay and are escaped.
    return escapeQueryValue(base::trimSpaces(encoded));
}

QString branchQueryUrl(const QUrl& site, const QString& name) {
    QString base = QString::fromLatin1(site.toEncoded(QUrl::RemoveQuery | QUrl::RemoveFragment));
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return base + QLatin1String("/query_list.asp?name=") + branchRequestValue(name);
}

}  // namespace branch
