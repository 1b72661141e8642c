// The branch name's encoding and the branch-query address: any UTF-16 text (lone surrogates
// included) encodes to ASCII that decodes back to the same code units, and the address always
// carries exactly one query key, `name`.

#include <QUrl>
#include <QUrlQuery>

#include "branch/encoding.h"
#include "fuzz_support.h"

namespace {

const char* const kSites[] = {
    "http://branch.trackoro.example",
    "http://h.example:81/",
    "http://h.example/kd/?x=1#top",
};

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;  // lower-case hex is not what the encoding writes
}

// Reads one "%XX" at `at`; -1 when there is none.
int escapedByte(const QString& text, qsizetype at) {
    if (at + 3 > text.size() || text.at(at) != u'%') {
        return -1;
    }
    const int high = hexValue(text.at(at + 1));
    const int low = hexValue(text.at(at + 2));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool hasSurrogate(const QString& text) {
    for (const QChar c : text) {
        if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

// Decodes the encoding unit by unit against the input: each unit below U+0080 stands as it
// is, each other one as a two- or three-byte group whose bits give the unit back.
void checkEncoding(const QString& text) {
    const QString encoded = branch::UTF8_URLEncoding(text);
    qsizetype at = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        FUZZ_CHECK(at < encoded.size(), "encoding ends early at unit " + QByteArray::number(i));
        if (unit < 0x80) {
            FUZZ_CHECK(encoded.at(at) == text.at(i), "unit " + QByteArray::number(i) + " changed");
            ++at;
            continue;
        }
        const int lead = escapedByte(encoded, at);
        FUZZ_CHECK(lead >= 0xC2 && lead <= 0xEF,
                   "lead " + QByteArray::number(lead) + " for unit " + QByteArray::number(unit));
        const int trailing = lead >= 0xE0 ? 2 : 1;
        unsigned decoded = lead & (trailing == 2 ? 0x0F : 0x1F);
        at += 3;
        for (int t = 0; t < trailing; ++t) {
            const int byte = escapedByte(encoded, at);
            FUZZ_CHECK(byte >= 0x80 && byte <= 0xBF, "trail byte for unit " +
                                                         QByteArray::number(unit) + ": " +
                                                         QByteArray::number(byte));
            decoded = (decoded << 6) | (byte & 0x3F);
            at += 3;
        }
        FUZZ_CHECK(decoded == unit, "unit " + QByteArray::number(unit) + " decodes as " +
                                        QByteArray::number(decoded));
        // The shortest form: no overlong group.
        FUZZ_CHECK((trailing == 1) == (unit < 0x800), "group size for " + QByteArray::number(unit));
    }
    FUZZ_CHECK(at == encoded.size(), "encoding runs on past the text");

    // For text without "%" or surrogates it is plain percent-encoded UTF-8.
    if (!text.contains(u'%') && !hasSurrogate(text)) {
        FUZZ_CHECK(QByteArray::fromPercentEncoding(encoded.toLatin1()) == text.toUtf8(),
                   "not UTF-8: " + fuzz::shown(encoded));
    }
}

void checkAddress(const QString& name, const QUrl& site) {
    const QString value = branch::branchRequestValue(name);
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        FUZZ_CHECK(u > 0x20 && u < 0x7F && u != u'&' && u != u'#' && u != u'+',
                   "value " + fuzz::shown(value));
    }
    const QString address = branch::branchQueryUrl(site, name);
    FUZZ_CHECK(address.endsWith(QLatin1String("/query_list.asp?name=") + value),
               "address " + fuzz::shown(address));

    // Read the way the fetch reads it.
    const QUrl url = QUrl::fromEncoded(address.toUtf8());
    FUZZ_CHECK(url.isValid(),
               "invalid " + fuzz::shown(address) + ": " + url.errorString().toUtf8());
    FUZZ_CHECK(!url.hasFragment(), "fragment in " + fuzz::shown(address));
    FUZZ_CHECK(url.path().endsWith(QLatin1String("/query_list.asp")),
               "path " + url.path().toUtf8());
    FUZZ_CHECK(url.host() == site.host(), "host " + url.host().toUtf8());
    const QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyEncoded);
    FUZZ_CHECK(items.size() == 1 && items.at(0).first == QLatin1String("name"),
               QByteArray::number(items.size()) + " keys in " + fuzz::shown(address));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const unsigned pick = size > 0 ? data[0] : 0;
    const QUrl site(QString::fromLatin1(kSites[pick % std::size(kSites)]));
    for (const QString& name :
         {fuzz::asUtf16(data, size), fuzz::asUtf8(data, size), fuzz::asGbk(data, size)}) {
        checkEncoding(name);
        checkAddress(name, site);
    }
    return 0;
}
