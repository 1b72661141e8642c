#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace tracking {

// The key the tracking service issued to this program; sent as the value of `id`.
inline constexpr const char* kAccessId = "3F1C7A0B5D92E4608A17C3B9D0E25F4C";

// The tracking number as it goes into the query string: untrimmed, and with every
// character that could change the URL's structure percent-encoded (upper-case hex):
// space, "&", "#", "%", "+", control characters, the characters a URL may not carry raw
// ('"', "<", ">", "\", "^", "`", "{", "|", "}") and everything outside printable ASCII
// (as its UTF-8 bytes). All other printable ASCII characters are sent as they are, so a
// number can never add, replace or cut off a query key.
QByteArray encodeNumber(const QString& number);

// The request URL for one query:
//   <serviceBase>?com=<code>&nu=<encodeNumber(number)>&id=<kAccessId>&type=html
// The service base keeps its scheme, host, port and path ("/" when it has none). The
// courier code is fixed ASCII from the catalogue and goes in as it is. The URL is built
// from encoded bytes in strict mode, so QUrl neither re-encodes nor repairs anything.
QUrl requestUrl(const QUrl& serviceBase, const QString& code, const QString& number);

}  // namespace tracking
