// The history file reader and the pieces of an entry: any bytes as a history file, and the
// round trip of entries through the file format.

#include <QStringList>

#include "fuzz_support.h"
#include "history/history_entry.h"
#include "history/history_file.h"

namespace {

// Pieces of an entry looked at one by one (entryPiece walks the entry from its start).
constexpr int kPieceLimit = 64;

void checkEntry(const QString& entry, const QStringList& entries) {
    const qsizetype bars = entry.count(u'|');
    FUZZ_CHECK(history::entryPiece(entry, -1).isEmpty(), "piece -1");
    if (bars <= kPieceLimit) {
        QStringList pieces;
        for (int i = 0; i <= bars; ++i) {
            const QString piece = history::entryPiece(entry, i);
            FUZZ_CHECK(!piece.contains(u'|'), "piece " + QByteArray::number(i));
            pieces.append(piece);
        }
        FUZZ_CHECK(pieces.join(u'|') == entry, "pieces of " + fuzz::shown(entry));
        FUZZ_CHECK(history::entryPiece(entry, static_cast<int>(bars) + 1).isEmpty(),
                   "piece past the last of " + fuzz::shown(entry));
    }
    const QString first = history::entryPiece(entry, 0);
    if (bars == 0) {
        FUZZ_CHECK(history::pickNumber(entry).isEmpty(), "pick " + fuzz::shown(entry));
        FUZZ_CHECK(history::numberField(entry) == entry, "number " + fuzz::shown(entry));
    } else {
        FUZZ_CHECK(history::pickNumber(entry) == first, "pick " + fuzz::shown(entry));
        FUZZ_CHECK(history::numberField(entry) == first, "number " + fuzz::shown(entry));
    }
    FUZZ_CHECK(history::holdsNumber(entries, history::numberField(entry)),
               "stored number not found: " + fuzz::shown(entry));
}

// Any bytes as the history file.
void checkFile(QByteArrayView bytes) {
    const QStringList lines = history::decodeHistory(bytes).value();
    const QString text = base::fromGbk(bytes).value();

    // Every line end of the file is one in the text: decoding swallows no CR.
    FUZZ_CHECK(text.count(u'\r') == bytes.count('\r'),
               QByteArray::number(bytes.count('\r')) + " CR bytes, " +
                   QByteArray::number(text.count(u'\r')) + " in the text");

    // The lines are the text without its line ends, one line per line end, and a last line
    // when text follows the last line end.
    QString joined;
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(u'\r'), "CR in " + fuzz::shown(line));
        joined += line;
    }
    QString withoutEnds;
    qsizetype ends = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r') {
            ++ends;
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            continue;
        }
        withoutEnds += text.at(i);
    }
    const bool tail = !text.isEmpty() && !text.endsWith(u'\r') && !text.endsWith(u"\r\n");
    FUZZ_CHECK(
        lines.size() == ends + (tail ? 1 : 0),
        QByteArray::number(lines.size()) + " lines for " + QByteArray::number(ends) + " line ends");
    FUZZ_CHECK(joined == withoutEnds, "lines " + fuzz::shown(joined));

    for (qsizetype i = 0; i < lines.size() && i < 64; ++i) {
        checkEntry(lines.at(i), lines);
    }
}

// Entries made from text with its CRs as separators: what the program stores holds no line
// end of its own. A lone LF is kept (it belongs to the line).
void checkRoundTrip(const QString& text) {
    const QStringList entries = text.split(u'\r');
    const QByteArray bytes = history::encodeHistory(entries).value();
    FUZZ_CHECK(bytes.endsWith("\r\n"), "no line end at the end");
    const QStringList back = history::decodeHistory(bytes).value();
    FUZZ_CHECK(back == entries, QByteArray::number(entries.size()) + " entries, " +
                                    QByteArray::number(back.size()) + " back; first " +
                                    fuzz::shown(entries.first()) + " / " +
                                    fuzz::shown(back.value(0)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkFile(fuzz::bytesOf(data, size));
    checkRoundTrip(fuzz::asUtf8(data, size));
    checkRoundTrip(fuzz::asGbk(data, size));
    // Code units as they come, less the lone surrogates GBK cannot hold.
    QString units = fuzz::asUtf16(data, size);
    if (!fuzz::hasLoneSurrogate(units)) {
        checkRoundTrip(units);
    }
    return 0;
}
