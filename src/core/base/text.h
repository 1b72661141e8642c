#pragma once

#include <QString>
#include <QStringView>

namespace base {

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

// The text a control shows of `text`: at most `maxChars` characters, a cut marked with "…".
// A window lays out and draws what it shows, so a multi-megabyte answer from a server must
// not reach it whole; the full text stays with the program (export, balloon, copies). A
// character made of two UTF-16 units is never split: the cut goes before it.
inline QString shownText(const QString& text, qsizetype maxChars) {
    if (text.size() <= maxChars) {
        return text;
    }
    qsizetype keep = maxChars;
    if (keep > 0 && text.at(keep - 1).isHighSurrogate()) {
        --keep;
    }
    return text.left(keep) + QChar(0x2026);
}

// Twips (1/1440 inch) to pixels at a logical resolution of `dpi` dots per inch, rounded.
constexpr int twipsToPixelsAt(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

}  // namespace base
