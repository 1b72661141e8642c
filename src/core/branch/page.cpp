#include "branch/page.h"

#include <QList>

namespace branch {

namespace {

struct Cut {
    int piece;
    int dropped;
};

constexpr Cut kCuts[BranchFields::kCount] = {{6, 19},  {10, 19}, {14, 19},
                                             {18, 19}, {22, 19}, {26, 20}};

}  // namespace

BranchFields cutBranchPage(QStringView page) {
    // One pass over the page; the pieces are views into it.
    const QList<QStringView> pieces = page.split(u"td", Qt::KeepEmptyParts, Qt::CaseSensitive);
    BranchFields fields;
    for (int i = 0; i < BranchFields::kCount; ++i) {
        const Cut& cut = kCuts[i];
        if (cut.piece >= pieces.size()) {
            continue;
        }
        const QStringView piece = pieces.at(cut.piece);
        if (piece.size() <= cut.dropped) {
            continue;
        }
        fields.field[i] = piece.mid(cut.dropped).toString().remove(QStringLiteral("</"));
    }
    return fields;
}

}  // namespace branch
