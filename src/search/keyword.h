#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace search {

// Removes leading and trailing spaces (U+0020) and no other character: a tab or a
// full-width space stays part of the keyword.
QString trimSpaces(const QString& keyword);

// Positions, in ascending order, of the names that contain `keyword` as a contiguous
// substring, compared exactly (case-sensitive, no folding of full-width forms). An empty
// keyword matches nothing.
QList<int> matchingPositions(const QStringList& names, const QString& keyword);

}  // namespace search
