// The branch page: the six fields cut from any page, read as UTF-8 (as the branch site sends
// it) and as GBK, compared with the cutting done the plain way.

#include <QStringList>

#include "branch/page.h"
#include "fuzz_support.h"

namespace {

// The page cut at every "td", found left to right without overlap.
QList<QStringView> piecesOf(QStringView page) {
    QList<QStringView> pieces;
    qsizetype begin = 0;
    for (;;) {
        const qsizetype at = page.indexOf(u"td", begin);
        if (at < 0) {
            break;
        }
        pieces.append(page.mid(begin, at - begin));
        begin = at + 2;
    }
    pieces.append(page.mid(begin));
    return pieces;
}

// Every "</" deleted in one pass from left to right: the characters around a deleted pair
// are not looked at again.
QString withoutClosingMarks(QStringView text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'<' && i + 1 < text.size() && text.at(i + 1) == u'/') {
            ++i;
            continue;
        }
        out += text.at(i);
    }
    return out;
}

void checkPage(const QString& page) {
    static constexpr int kPiece[] = {6, 10, 14, 18, 22, 26};
    static constexpr int kDropped[] = {19, 19, 19, 19, 19, 20};
    const branch::BranchFields fields = branch::cutBranchPage(page);
    const QList<QStringView> pieces = piecesOf(page);
    for (int i = 0; i < branch::BranchFields::kCount; ++i) {
        QString expected;
        if (kPiece[i] < pieces.size() && pieces.at(kPiece[i]).size() > kDropped[i]) {
            expected = withoutClosingMarks(pieces.at(kPiece[i]).mid(kDropped[i]));
        }
        FUZZ_CHECK(fields.field[i] == expected, "field " + QByteArray::number(i + 1) + " " +
                                                    fuzz::shown(fields.field[i]) + " expected " +
                                                    fuzz::shown(expected));
        // A "</" is left only where the pass glued one together from a "<" before a deleted
        // pair and a "/" after it; every "</" of the page itself is gone.
        if (fields.field[i].contains(u"</")) {
            FUZZ_CHECK(pieces.at(kPiece[i]).contains(u"<</"),
                       "field " + QByteArray::number(i + 1) + " " + fuzz::shown(fields.field[i]));
        }
    }
    FUZZ_CHECK(fields.found() == !fields.field[0].isEmpty(), "found");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkPage(fuzz::asUtf8(data, size));
    checkPage(fuzz::asGbk(data, size));
    return 0;
}
