#include "history/history_entry.h"

namespace history {

namespace {
constexpr QChar kBar = u'|';
}  // namespace

QString makeEntry(const QString& number, const QString& company, const QString& remark) {
    return number + kBar + company + kBar + remark;
}

QString entryPiece(const QString& entry, int index) {
    if (index < 0) {
        return {};
    }
    qsizetype begin = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype bar = entry.indexOf(kBar, begin);
        if (bar < 0) {
            return {};
        }
        begin = bar + 1;
    }
    const qsizetype end = entry.indexOf(kBar, begin);
    return entry.mid(begin, end < 0 ? -1 : end - begin);
}

QString pickNumber(const QString& entry) {
    const qsizetype bar = entry.indexOf(kBar);
    return bar < 0 ? QString() : entry.left(bar);
}

QString numberField(const QString& entry) {
    const qsizetype bar = entry.indexOf(kBar);
    return bar < 0 ? entry : entry.left(bar);
}

bool holdsNumber(const QStringList& entries, const QString& number) {
    for (const QString& entry : entries) {
        const qsizetype bar = entry.indexOf(kBar);
        const QStringView field = bar < 0 ? QStringView(entry) : QStringView(entry).left(bar);
        if (field == number) {
            return true;
        }
    }
    return false;
}

}  // namespace history
