#include "search/keyword.h"

namespace search {

QString trimSpaces(const QString& keyword) {
    const QChar space(u' ');
    qsizetype first = 0;
    qsizetype last = keyword.size();
    while (first < last && keyword.at(first) == space) {
        ++first;
    }
    while (last > first && keyword.at(last - 1) == space) {
        --last;
    }
    return keyword.mid(first, last - first);
}

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
