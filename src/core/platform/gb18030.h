#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include <QTextCodec>

namespace platform {

// GB18030 both ways, the same on every system. The structure of the encoding is computed here:
// ASCII as one byte; two bytes, a lead byte 0x81-0xFE and a trail byte 0x40-0x7E or 0x80-0xFE;
// four bytes, 0x81-0xFE 0x30-0x39 0x81-0xFE 0x30-0x39, counted linearly, which gives every
// character beyond the Basic Multilingual Plane (U+10000 is 90 30 81 30). Only the table of the
// Basic Multilingual Plane comes from a converter, asked part by part when a part is first
// needed, and always in the 2005 edition of the standard (U+1E3F is A8 BC, U+E7C7 is
// 81 35 F4 37), whichever edition the converter follows.
//
// Bad bytes are read as Debian's GB18030 decoder (ICU) reads them: each becomes U+FFFD. A lead
// byte whose next byte cannot continue it is one U+FFFD and that next byte is read again, so an
// ASCII byte after it stays; a lead byte with 0xFF after it is one U+FFFD for both; a four-byte
// sequence broken off after its second or third byte is a U+FFFD for the lead byte and the rest
// read again; a whole four-byte sequence without a character is one U+FFFD. The end of the
// input breaks off a character like a byte that cannot continue it. A lone surrogate (half a
// character) is written as the byte 0x1A.
class Gb18030 {
public:
    // `tableSource`: a GB18030 converter, kept and asked for the table; it must outlive this.
    explicit Gb18030(QTextCodec* tableSource);
    Gb18030(const Gb18030&) = delete;
    Gb18030& operator=(const Gb18030&) = delete;

    QByteArray encode(QStringView text) const;
    QString decode(QByteArrayView bytes) const;

private:
    static constexpr int kBlocks = 256;              // code points U+xx00-U+xxFF per block
    static constexpr int kTwoByteRows = 126;         // lead bytes 0x81-0xFE
    static constexpr int kTrails = 190;              // 0x40-0x7E, 0x80-0xFE
    static constexpr int kFourByteBmp = 39420;       // 81 30 81 30 to 84 31 A4 39
    static constexpr int kFourByteGroup = 126 * 10;  // codes sharing their first two bytes
    static constexpr int kFourByteGroups = (kFourByteBmp + kFourByteGroup - 1) / kFourByteGroup;

    // The bytes of a code point of the BMP, packed high byte first (two or four bytes).
    std::uint32_t bytesOf(char16_t c) const;
    char16_t twoByte(int lead, int trail) const;
    char16_t fourByteBmp(int index) const;

    QByteArray fromSource(const QString& chars) const;
    QString toSource(const QByteArray& bytes) const;
    void fillBlock(int block) const;
    void fillRow(int row) const;
    void fillGroup(int group) const;

    QTextCodec* const source;
    mutable std::mutex sourceLock;
    mutable QTextCodec::ConverterState encoderState;
    mutable QTextCodec::ConverterState decoderState;
    // Each part is allocated when it is filled: the whole table is over 300 KB, and most texts
    // need a few parts of it.
    mutable std::array<std::unique_ptr<std::array<std::uint32_t, 256>>, kBlocks> encoded;
    mutable std::array<std::unique_ptr<std::array<char16_t, kTrails>>, kTwoByteRows> twoBytes;
    mutable std::array<std::unique_ptr<std::array<char16_t, kFourByteGroup>>, kFourByteGroups>
        fourBytes;
    mutable std::array<std::once_flag, kBlocks> blockFilled;
    mutable std::array<std::once_flag, kTwoByteRows> rowFilled;
    mutable std::array<std::once_flag, kFourByteGroups> groupFilled;
};

}  // namespace platform
