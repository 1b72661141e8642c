#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Why the program has a GB18030 converter of its own: the history and the export are GBK files,
// and the same text must give the same bytes on Linux and on Windows, this year and later. No
// converter of the system does that. Qt for Windows has no ICU, so Qt's QStringEncoder and
// QStringDecoder know no GB18030 there; Qt Core5Compat's QTextCodec uses ICU on Linux but tables
// of its own on Windows, wrong beyond the Basic Multilingual Plane; and ICU 73.2 and later map
// 18 characters the way of the 2022 edition of the standard (ICU 74 also reads A3 A0 as U+3000).
// So the program keeps the 2005 edition itself, with no converter of the system at all.
namespace base::gb18030 {

// The structure of the encoding is computed here: ASCII as one byte; two bytes, a lead byte
// 0x81-0xFE and a trail byte 0x40-0x7E or 0x80-0xFE; four bytes, 0x81-0xFE 0x30-0x39 0x81-0xFE
// 0x30-0x39, counted linearly, which gives every character beyond the Basic Multilingual Plane
// (U+10000 is 90 30 81 30). The table of the Basic Multilingual Plane is data, the 2005 edition
// as Debian 12's ICU 72.1 gives it (gb18030_table.h): U+1E3F is A8 BC, U+E7C7 is 81 35 F4 37,
// A6 D9 is U+E78D, U+FE10 is 84 31 82 36.
//
// Bad bytes are read as Debian 12's GB18030 decoder (ICU) reads them: each becomes U+FFFD. A
// lead byte whose next byte cannot continue it is one U+FFFD and that next byte is read again, so
// an ASCII byte after it stays; a lead byte with 0xFF after it is one U+FFFD for both; a
// four-byte sequence broken off after its second or third byte is a U+FFFD for the lead byte and
// the rest read again; a whole four-byte sequence without a character is one U+FFFD. The end of
// the input breaks off a character like a byte that cannot continue it. A lone surrogate (half a
// character) is written as the byte 0x1A.
QByteArray encode(QStringView text);
QString decode(QByteArrayView bytes);

}  // namespace base::gb18030
