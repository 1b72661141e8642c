#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "base/text.h"

namespace search {

// The keyword is trimmed of spaces (U+0020) only: a tab or a full-width space stays part of
// it.
using base::trimSpaces;

// Positions, in ascending order, of the names that contain `keyword` as a contiguous
// substring, compared exactly (case-sensitive, no folding of full-width forms). An empty
// keyword matches nothing.
QList<int> matchingPositions(const QStringList& names, const QString& keyword);

}  // namespace search
