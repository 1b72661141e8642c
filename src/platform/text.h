#pragma once

#include <QString>
#include <QStringView>

namespace platform {

// The text without its leading and trailing spaces (U+0020) and no other character: tabs,
// line ends and full-width spaces stay. This is the program's one notion of trimming, for
// search keywords, branch names and exported cells alike.
inline QString trimSpaces(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ') {
        ++first;
    }
    while (last > first && text.at(last - 1) == u' ') {
        --last;
    }
    return text.mid(first, last - first).toString();
}

}  // namespace platform
