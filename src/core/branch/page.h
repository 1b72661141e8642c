#pragma once

#include <QString>
#include <QStringView>

namespace branch {

// The six values of a branch-query page: 1 branch name, 2 person in charge, 3 second name
// field, 4 telephone, 5 delivery area, 6 area not delivered to (index 0 to 5 here).
struct BranchFields {
    static constexpr int kCount = 6;
    QString field[kCount];

    // The page names no branch when the first field is empty.
    bool found() const { return !field[0].isEmpty(); }
};

// Cuts the page at every "td" (case-sensitive, wherever it stands) and takes each field from
// a fixed piece, dropping a fixed number of leading characters and every "</" after that:
//   field 1..6 from pieces 6, 10, 14, 18, 22, 26, dropping 19, 19, 19, 19, 19, 20 characters.
// A piece that is missing or not longer than the characters to drop gives an empty field.
BranchFields cutBranchPage(QStringView page);

}  // namespace branch
