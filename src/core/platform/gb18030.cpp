#include "platform/gb18030.h"

#include <QTextCodec>
#include <algorithm>

namespace platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kSubstitute = 0x1A;

// The one pair the 2005 edition changed: the 2000 edition maps them the other way round.
constexpr char16_t kMBreve = 0x1E3F;  // ḿ
constexpr std::uint32_t kMBreveBytes = 0xA8BC;
constexpr char16_t kPrivate = 0xE7C7;
constexpr std::uint32_t kPrivateBytes = 0x8135F437;

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

void appendFourBytes(QByteArray& out, int index) {
    const char b4 = static_cast<char>(0x30 + index % 10);
    index /= 10;
    const char b3 = static_cast<char>(0x81 + index % 126);
    index /= 126;
    const char b2 = static_cast<char>(0x30 + index % 10);
    const char b1 = static_cast<char>(0x81 + index / 10);
    out.append(b1).append(b2).append(b3).append(b4);
}

}  // namespace

Gb18030::Gb18030(QTextCodec* tableSource) : source(tableSource) {}

// The converter's state is kept from call to call: ICU's converter is opened once then, not
// for every part of the table. Each call converts whole characters only, so the state holds
// nothing from one call to the next.
QByteArray Gb18030::fromSource(const QString& chars) const {
    const std::lock_guard<std::mutex> lock(sourceLock);
    return source->fromUnicode(chars.constData(), static_cast<int>(chars.size()), &encoderState);
}

QString Gb18030::toSource(const QByteArray& bytes) const {
    const std::lock_guard<std::mutex> lock(sourceLock);
    return source->toUnicode(bytes.constData(), static_cast<int>(bytes.size()), &decoderState);
}

// One block of 256 code points, encoded by the converter in one call and cut into characters
// by the structure of the encoding.
void Gb18030::fillBlock(int block) const {
    QString chars;
    chars.reserve(256);
    for (int c = block * 256; c < (block + 1) * 256; ++c) {
        if (!QChar::isSurrogate(static_cast<char32_t>(c))) {
            chars.append(QChar(static_cast<char16_t>(c)));
        }
    }
    auto& part = *(encoded[block] = std::make_unique<std::array<std::uint32_t, 256>>());
    part.fill(0);
    const QByteArray bytes = fromSource(chars);
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype p = 0;
    for (const QChar c : std::as_const(chars)) {
        if (p >= n) {
            break;
        }
        std::uint32_t value = 0;
        if (b[p] < 0x80) {
            value = b[p];
            p += 1;
        } else if (p + 3 < n && isDigit(b[p + 1])) {
            value = (std::uint32_t{b[p]} << 24) | (std::uint32_t{b[p + 1]} << 16) |
                    (std::uint32_t{b[p + 2]} << 8) | b[p + 3];
            p += 4;
        } else if (p + 1 < n) {
            value = (std::uint32_t{b[p]} << 8) | b[p + 1];
            p += 2;
        } else {
            break;
        }
        part[c.unicode() & 0xFF] = value;
    }
    if (block == kMBreve >> 8) {
        part[kMBreve & 0xFF] = kMBreveBytes;
    }
    if (block == kPrivate >> 8) {
        part[kPrivate & 0xFF] = kPrivateBytes;
    }
}

// The 190 two-byte codes of one lead byte, decoded by the converter in one call.
void Gb18030::fillRow(int row) const {
    QByteArray bytes;
    bytes.reserve(2 * kTrails);
    for (int t = 0; t < kTrails; ++t) {
        bytes.append(static_cast<char>(0x81 + row)).append(static_cast<char>(trailOf(t)));
    }
    auto& part = *(twoBytes[row] = std::make_unique<std::array<char16_t, kTrails>>());
    part.fill(kReplacement);
    const QString chars = toSource(bytes);
    if (chars.size() == kTrails) {
        for (int t = 0; t < kTrails; ++t) {
            part[t] = chars[t].unicode();
        }
    }
    if (row == int(kMBreveBytes >> 8) - 0x81) {
        part[trailIndex(kMBreveBytes & 0xFF)] = kMBreve;
    }
}

// The four-byte codes of the BMP that share their first two bytes, decoded in one call.
void Gb18030::fillGroup(int group) const {
    const int first = group * kFourByteGroup;
    const int last = std::min(first + kFourByteGroup, kFourByteBmp);
    QByteArray bytes;
    bytes.reserve(4 * (last - first));
    for (int index = first; index < last; ++index) {
        appendFourBytes(bytes, index);
    }
    auto& part = *(fourBytes[group] = std::make_unique<std::array<char16_t, kFourByteGroup>>());
    part.fill(kReplacement);
    const QString chars = toSource(bytes);
    if (chars.size() == last - first) {
        for (int index = first; index < last; ++index) {
            part[index - first] = chars[index - first].unicode();
        }
    }
    const int privateIndex = linearIndex(0x81, 0x35, 0xF4, 0x37);
    if (privateIndex >= first && privateIndex < last) {
        part[privateIndex - first] = kPrivate;
    }
}

std::uint32_t Gb18030::bytesOf(char16_t c) const {
    std::call_once(blockFilled[c >> 8], [this, c] { fillBlock(c >> 8); });
    return (*encoded[c >> 8])[c & 0xFF];
}

char16_t Gb18030::twoByte(int lead, int trail) const {
    const int row = lead - 0x81;
    std::call_once(rowFilled[row], [this, row] { fillRow(row); });
    return (*twoBytes[row])[trailIndex(static_cast<unsigned char>(trail))];
}

char16_t Gb18030::fourByteBmp(int index) const {
    const int group = index / kFourByteGroup;
    std::call_once(groupFilled[group], [this, group] { fillGroup(group); });
    return (*fourBytes[group])[index % kFourByteGroup];
}

QByteArray Gb18030::encode(QStringView text) const {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(static_cast<char>(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            appendFourBytes(out, kSupplementaryStart + static_cast<int>(code - 0x10000));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out.append(kSubstitute);
        } else {
            const std::uint32_t bytes = bytesOf(c);
            if (bytes > 0xFFFF) {
                out.append(static_cast<char>(bytes >> 24)).append(static_cast<char>(bytes >> 16));
            }
            if (bytes > 0xFF) {
                out.append(static_cast<char>(bytes >> 8));
            }
            out.append(bytes == 0 ? kSubstitute : static_cast<char>(bytes));
        }
    }
    return out;
}

QString Gb18030::decode(QByteArrayView bytes) const {
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
            out.append(QChar(twoByte(lead, second)));
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

}  // namespace platform
