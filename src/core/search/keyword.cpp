#include "search/keyword.h"

namespace search {

QList<int> matchingPositions(const QStringList& names, const QString& keyword) {
    QList<int> positions;
    if (keyword.isEmpty()) {
        return positions;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).contains(keyword, Qt::CaseSensitive)) {
            positions.append(i);
        }
    }
    return positions;
}

}  // namespace search
