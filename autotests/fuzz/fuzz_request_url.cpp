// The tracking request: whatever the user types as the number, the query keeps exactly the
// keys com, nu, id and type in that order, and nu carries the number unchanged.

#include <QUrl>
#include <QUrlQuery>

#include "fuzz_support.h"
#include "tracking/catalogue.h"
#include "tracking/request_url.h"

namespace {

// The service's access key, written out: the query is checked against it, not against the
// program's own constant.
constexpr char kAccessId[] = "3F1C7A0B5D92E4608A17C3B9D0E25F4C";

const char* const kServiceBases[] = {
    "http://api.trackoro.example/",
    "http://127.0.0.1:8080",
    "http://h:81/api/q",
    "http://h/q?old=1#frag",
};

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void checkNumber(const QString& number, const QUrl& base, const QString& code) {
    const QByteArray nu = tracking::encodeNumber(number);
    // Printable ASCII only, and nothing that delimits or escapes anything but "%XX".
    for (qsizetype i = 0; i < nu.size(); ++i) {
        const char c = nu.at(i);
        if (c == '%') {
            FUZZ_CHECK(i + 2 < nu.size() && isHexDigit(nu.at(i + 1)) && isHexDigit(nu.at(i + 2)),
                       "escape at " + QByteArray::number(i) + " in " + nu.left(200));
            i += 2;
            continue;
        }
        FUZZ_CHECK(c > 0x20 && c < 0x7F && !QByteArray("&#+\"<>\\^`{|}").contains(c),
                   "raw byte " + QByteArray::number(static_cast<unsigned char>(c)) + " in " +
                       nu.left(200));
    }
    FUZZ_CHECK(QByteArray::fromPercentEncoding(nu) == number.toUtf8(),
               "nu " + nu.left(200) + " for " + fuzz::shown(number));

    const QUrl url = tracking::requestUrl(base, code, number);
    FUZZ_CHECK(url.isValid(),
               "invalid url for " + fuzz::shown(number) + ": " + url.errorString().toUtf8());
    FUZZ_CHECK(!url.hasFragment(), "fragment " + url.fragment(QUrl::FullyEncoded).toUtf8());
    const QByteArray expectedQuery =
        "com=" + code.toLatin1() + "&nu=" + nu + "&id=" + QByteArray(kAccessId) + "&type=html";
    FUZZ_CHECK(url.query(QUrl::FullyEncoded).toLatin1() == expectedQuery,
               "query " + url.query(QUrl::FullyEncoded).toUtf8().left(300));
    FUZZ_CHECK(url.host() == base.host() && url.port() == base.port(),
               "host " + url.host().toUtf8());

    // The query as a server splits it at "&" and at the first "=": the four keys in order,
    // each value the bytes that were put in.
    const QList<QByteArray> pairs = url.query(QUrl::FullyEncoded).toLatin1().split('&');
    FUZZ_CHECK(pairs.size() == 4, QByteArray::number(pairs.size()) + " pairs");
    const QByteArray values[4] = {code.toLatin1(), nu, kAccessId, "html"};
    const char* const keys[4] = {"com", "nu", "id", "type"};
    for (int i = 0; i < 4; ++i) {
        const qsizetype eq = pairs.at(i).indexOf('=');
        FUZZ_CHECK(
            eq > 0 && pairs.at(i).left(eq) == keys[i] && pairs.at(i).mid(eq + 1) == values[i],
            "pair " + QByteArray::number(i) + ": " + pairs.at(i).left(300));
    }

    // And as QUrlQuery reads it.
    const QList<QPair<QString, QString>> items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    QByteArray names;
    for (const auto& item : items) {
        names += item.first.toUtf8() + ",";
    }
    FUZZ_CHECK(names == "com,nu,id,type,", "keys " + names.left(300));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the service address and the courier; all of the input is the number.
    const unsigned pick = size > 0 ? data[0] : 0;
    const QUrl base(QString::fromLatin1(kServiceBases[pick % std::size(kServiceBases)]));
    const QString code = tracking::courierCode(static_cast<int>(pick % tracking::kCourierCount));

    checkNumber(fuzz::asUtf8(data, size), base, code);
    checkNumber(fuzz::asGbk(data, size), base, code);
    checkNumber(fuzz::asUtf16(data, size), base, code);
    return 0;
}
