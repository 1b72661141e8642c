#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace base {

// Text files of the program (history, export) and the tracking service's pages are GBK.
// GB18030 is its superset: byte for byte the same for every character GBK has, and it
// keeps the characters GBK lacks (as four-byte sequences) instead of turning them into "?".
// A lone surrogate (half of a character) becomes the byte 0x1A.
//
// One converter of our own on every system (platform/gb18030.h): the 2005 edition of the
// standard, with the error handling of ICU's, and no converter of the system behind it. Both
// give nullopt only while a GbkConverterMissing lives, so that a caller's tests can prove it
// fails instead of writing an empty file or taking a file for empty.
std::optional<QByteArray> toGbk(QStringView text);
std::optional<QString> fromGbk(QByteArrayView bytes);

// For tests of what a caller does when the text cannot be converted: while one of these
// lives, toGbk and fromGbk give nullopt.
class GbkConverterMissing {
public:
    GbkConverterMissing();
    ~GbkConverterMissing();
    GbkConverterMissing(const GbkConverterMissing&) = delete;
    GbkConverterMissing& operator=(const GbkConverterMissing&) = delete;
};

// Decodes a response body. A charset named in the Content-Type header wins when it is
// one we can decode; GBK and GB2312 are read as GB18030. Otherwise `fallback` is used
// ("GB18030" or "UTF-8"). A body to be read as GBK is empty while a GbkConverterMissing lives.
QString decodeBody(QByteArrayView body, const QByteArray& contentType, const char* fallback);

// The charset parameter of a Content-Type header value, lower-cased; empty when none.
QByteArray charsetOf(const QByteArray& contentType);

}  // namespace base
