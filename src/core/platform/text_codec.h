#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace platform {

// Text files of the program (history, export) and the tracking service's pages are GBK.
// GB18030 is its superset: byte for byte the same for every character GBK has, and it
// keeps the characters GBK lacks (as four-byte sequences) instead of turning them into "?".
QByteArray toGbk(QStringView text);
QString fromGbk(QByteArrayView bytes);

// Decodes a response body. A charset named in the Content-Type header wins when it is
// one we can decode; GBK and GB2312 are read as GB18030. Otherwise `fallback` is used
// ("GB18030" or "UTF-8").
QString decodeBody(QByteArrayView body, const QByteArray& contentType, const char* fallback);

// The charset parameter of a Content-Type header value, lower-cased; empty when none.
QByteArray charsetOf(const QByteArray& contentType);

}  // namespace platform
