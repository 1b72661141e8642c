#include "app/update_label.h"

#include <QStringView>

#include "base/version.h"

namespace app {

namespace {

QString withoutTrailingSpace(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) {
        --end;
    }
    return text.left(end);
}

bool allAsciiDigits(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

// Compares two runs of ASCII digits as numbers of any length.
int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0') {
        a = a.mid(1);
    }
    while (b.size() > 1 && b.front() == u'0') {
        b = b.mid(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

}  // namespace

UpdateJudgement judgeUpdateAnswer(bool fetched, const QString& answer) {
    UpdateJudgement judgement{UpdateVerdict::Failed, withoutTrailingSpace(answer)};
    if (!fetched || judgement.label.isEmpty()) {
        return judgement;
    }
    // A label is a few characters long ("V3.2"); anything longer is not one.
    constexpr qsizetype kLongestLabel = 16;
    if (judgement.label.size() > kLongestLabel) {
        return judgement;
    }
    const QStringView label(judgement.label);
    const qsizetype dot = label.indexOf(u'.');
    if (!label.startsWith(u'V') || dot < 0) {
        return judgement;
    }
    const QStringView major = label.mid(1, dot - 1);
    const QStringView minor = label.mid(dot + 1);
    if (!allAsciiDigits(major) || !allAsciiDigits(minor)) {
        return judgement;
    }
    const QString ownMajor = QString::number(base::Version::major);
    const QString ownMinor = QString::number(base::Version::minor);
    int order = compareNumbers(major, ownMajor);
    if (order == 0) {
        order = compareNumbers(minor, ownMinor);
    }
    judgement.verdict = order > 0 ? UpdateVerdict::Newer : UpdateVerdict::UpToDate;
    return judgement;
}

}  // namespace app
