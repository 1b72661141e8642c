#pragma once

// Helpers shared by the fuzz targets: the input read as text in the ways the program meets
// outside text, and a check that stops the run (so libFuzzer keeps the input) when a rule
// breaks one of its promises.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/text_codec.h"

namespace fuzz {

inline QByteArrayView bytesOf(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The bytes as a page in UTF-8 (invalid sequences become U+FFFD).
inline QString asUtf8(const uint8_t* data, size_t size) {
    return QString::fromUtf8(bytesOf(data, size));
}

// The bytes as a page in GBK, the way the program reads the tracking service and its files.
inline QString asGbk(const uint8_t* data, size_t size) {
    return base::fromGbk(bytesOf(data, size)).value();
}

// The bytes as UTF-16 code units, little-endian; an odd last byte is dropped. Unlike the
// decoders above this gives lone surrogates and any other code unit as it is.
inline QString asUtf16(const uint8_t* data, size_t size) {
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2) {
        text[static_cast<qsizetype>(i / 2)] =
            QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    return text;
}

// True when the text holds a surrogate code unit that is not part of a pair.
inline bool hasLoneSurrogate(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            return true;
        }
        if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

// A short, printable rendering of a text for a failure message.
inline QByteArray shown(QStringView text) {
    QByteArray out;
    const qsizetype limit = 300;
    for (qsizetype i = 0; i < text.size() && i < limit; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x20 && c < 0x7F && c != u'\\') {
            out.append(static_cast<char>(c));
        } else {
            out.append(QByteArray("\\u") + QByteArray::number(c, 16).rightJustified(4, '0'));
        }
    }
    if (text.size() > limit) {
        out.append("...(" + QByteArray::number(text.size()) + " code units)");
    }
    return out;
}

[[noreturn]] inline void fail(const char* file, int line, const char* condition,
                              const QByteArray& detail) {
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n", file, line, condition);
    if (!detail.isEmpty()) {
        std::fprintf(stderr, "  %s\n", detail.constData());
    }
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzz

// Stops the run with the input kept when the condition does not hold; `detail` (a QByteArray
// expression, evaluated only on failure) says what was seen.
#define FUZZ_CHECK(condition, detail)                                         \
    do {                                                                      \
        if (!(condition)) {                                                   \
            ::fuzz::fail(__FILE__, __LINE__, #condition, QByteArray(detail)); \
        }                                                                     \
    } while (false)
