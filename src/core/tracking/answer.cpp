#include "tracking/answer.h"

#include <QStringMatcher>

namespace tracking {

AnswerKind classifyAnswer(QStringView page) {
    if (page.isEmpty()) {
        return AnswerKind::Empty;
    }
    if (page.contains(u"单号格式错误")) {
        return AnswerKind::BadFormat;
    }
    if (page.contains(u"不存在")) {
        return AnswerKind::NotFound;
    }
    if (page.contains(u"不支持的快递公司")) {
        return AnswerKind::Unsupported;
    }
    if (page.contains(u"请输入")) {
        return AnswerKind::PleaseEnter;
    }
    return AnswerKind::Data;
}

int countRowMarkers(QStringView page) {
    static const QStringMatcher marker(kRowMarker);
    int count = 0;
    qsizetype from = 0;
    // The marker cannot overlap itself, so stepping past a whole occurrence finds the same
    // occurrences as stepping one character on. Once the count is full, further markers
    // change nothing and the search can end.
    while (count < kMaxRowCount) {
        const qsizetype at = marker.indexIn(page, from);
        if (at < 0) {
            break;
        }
        ++count;
        from = at + kRowMarker.size();
    }
    return count;
}

}  // namespace tracking
