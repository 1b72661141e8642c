#include "base/gb18030.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>

#include "base/gb18030_table.h"

namespace base::gb18030 {

namespace {

using gb18030_table::kFourByteRuns;
using gb18030_table::kTwoByte;

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kSubstitute = 0x1A;

constexpr int kTrails = 190;         // 0x40-0x7E, 0x80-0xFE
constexpr int kFourByteBmp = 39420;  // 81 30 81 30 to 84 31 A4 39
static_assert(std::size(kTwoByte) == 126 * kTrails);

// Linear index of four-byte sequences: 81 30 81 30 is 0; U+10000 starts at 90 30 81 30.
constexpr int kSupplementaryStart = (0x90 - 0x81) * 10 * 126 * 10;
constexpr int kLastIndex = kSupplementaryStart + 0x10FFFF - 0x10000;

bool isLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool isDigit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}
bool isTrail(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}
int trailIndex(unsigned char b) {
    return b < 0x7F ? b - 0x40 : b - 0x41;
}
unsigned char trailOf(int index) {
    return static_cast<unsigned char>(index < 0x3F ? index + 0x40 : index + 0x41);
}

int linearIndex(unsigned char b1, unsigned char b2, unsigned char b3, unsigned char b4) {
    return (((b1 - 0x81) * 10 + (b2 - 0x30)) * 126 + (b3 - 0x81)) * 10 + (b4 - 0x30);
}

// The four bytes of a linear index, packed high byte first.
std::uint32_t fourBytes(int index) {
    const std::uint32_t b4 = 0x30 + index % 10;
    index /= 10;
    const std::uint32_t b3 = 0x81 + index % 126;
    index /= 126;
    const std::uint32_t b2 = 0x30 + index % 10;
    const std::uint32_t b1 = 0x81 + index / 10;
    return b1 << 24 | b2 << 16 | b3 << 8 | b4;
}

char16_t fourByteBmp(int index) {
    const auto* run =
        std::upper_bound(std::begin(kFourByteRuns), std::end(kFourByteRuns), index,
                         [](int i, const gb18030_table::FourByteRun& r) { return i < r.index; });
    --run;
    return static_cast<char16_t>(run->first + (index - run->index));
}

// The bytes of every code point of the BMP, packed high byte first (two or four bytes; ASCII
// and the surrogates are not in it): the table turned round once, on the first text written.
using EncodeTable = std::array<std::uint32_t, 0x10000>;
const EncodeTable& encodeTable() {
    static const std::unique_ptr<const EncodeTable> table = [] {
        auto t = std::make_unique<EncodeTable>();  // zeros
        for (int code = 0; code < int(std::size(kTwoByte)); ++code) {
            (*t)[kTwoByte[code]] =
                std::uint32_t(0x81 + code / kTrails) << 8 | trailOf(code % kTrails);
        }
        for (std::size_t r = 0; r < std::size(kFourByteRuns); ++r) {
            const int end =
                r + 1 < std::size(kFourByteRuns) ? kFourByteRuns[r + 1].index : kFourByteBmp;
            for (int index = kFourByteRuns[r].index; index < end; ++index) {
                (*t)[kFourByteRuns[r].first + (index - kFourByteRuns[r].index)] = fourBytes(index);
            }
        }
        return std::unique_ptr<const EncodeTable>(std::move(t));
    }();
    return *table;
}

void append(QByteArray& out, std::uint32_t bytes) {
    if (bytes > 0xFFFF) {
        out.append(static_cast<char>(bytes >> 24)).append(static_cast<char>(bytes >> 16));
    }
    out.append(static_cast<char>(bytes >> 8)).append(static_cast<char>(bytes));
}

}  // namespace

QByteArray encode(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    const EncodeTable* table = nullptr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(static_cast<char>(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            append(out, fourBytes(kSupplementaryStart + static_cast<int>(code - 0x10000)));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out.append(kSubstitute);
        } else {
            if (table == nullptr) {
                table = &encodeTable();
            }
            append(out, (*table)[c]);
        }
    }
    return out;
}

QString decode(QByteArrayView bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n) {
        const unsigned char lead = b[i];
        if (lead < 0x80) {
            out.append(QChar(lead));
            ++i;
            continue;
        }
        if (!isLead(lead) || i + 1 == n) {
            out.append(QChar(kReplacement));
            ++i;
            continue;
        }
        const unsigned char second = b[i + 1];
        if (isTrail(second)) {
            out.append(QChar(kTwoByte[(lead - 0x81) * kTrails + trailIndex(second)]));
            i += 2;
        } else if (second == 0xFF) {
            out.append(QChar(kReplacement));
            i += 2;
        } else if (isDigit(second) && i + 3 < n && isLead(b[i + 2]) && isDigit(b[i + 3])) {
            const int index = linearIndex(lead, second, b[i + 2], b[i + 3]);
            if (index < kFourByteBmp) {
                out.append(QChar(fourByteBmp(index)));
            } else if (index >= kSupplementaryStart && index <= kLastIndex) {
                const char32_t code = 0x10000 + static_cast<char32_t>(index - kSupplementaryStart);
                out.append(QChar(QChar::highSurrogate(code)))
                    .append(QChar(QChar::lowSurrogate(code)));
            } else {
                out.append(QChar(kReplacement));
            }
            i += 4;
        } else {
            // Broken off: the lead byte alone is the bad character; what follows is read again.
            out.append(QChar(kReplacement));
            ++i;
        }
    }
    return out;
}

}  // namespace base::gb18030
