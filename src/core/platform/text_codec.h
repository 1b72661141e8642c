#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace platform {

// Text files of the program (history, export) and the tracking service's pages are GBK.
// GB18030 is its superset: byte for byte the same for every character GBK has, and it
// keeps the characters GBK lacks (as four-byte sequences) instead of turning them into "?".
// A lone surrogate (half of a character) becomes the byte 0x1A.
//
// One converter of our own on every system (platform/gb18030.h), with the error handling of
// ICU's; only its table of the Basic Multilingual Plane comes from Qt Core5Compat's GB18030
// codec (the converters of QStringEncoder depend on ICU, which Qt for Windows lacks). Without
// that codec nothing can be read or written: both give nullopt, so a caller fails instead of
// writing an empty file or taking a file for empty.
std::optional<QByteArray> toGbk(QStringView text);
std::optional<QString> fromGbk(QByteArrayView bytes);

// For tests of what the program does on a system without the GB18030 converter: while one
// of these lives, the converter counts as missing.
class GbkConverterMissing {
public:
    GbkConverterMissing();
    ~GbkConverterMissing();
    GbkConverterMissing(const GbkConverterMissing&) = delete;
    GbkConverterMissing& operator=(const GbkConverterMissing&) = delete;
};

// Decodes a response body. A charset named in the Content-Type header wins when it is
// one we can decode; GBK and GB2312 are read as GB18030. Otherwise `fallback` is used
// ("GB18030" or "UTF-8"). A body to be read as GBK is empty without the GB18030 converter.
QString decodeBody(QByteArrayView body, const QByteArray& contentType, const char* fallback);

// The charset parameter of a Content-Type header value, lower-cased; empty when none.
QByteArray charsetOf(const QByteArray& contentType);

}  // namespace platform
