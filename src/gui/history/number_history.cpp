#include "history/number_history.h"

#include <QFileInfo>

#include "history/history_entry.h"
#include "history/history_file.h"

namespace history {

NumberHistory::NumberHistory(const HistoryControls& controls, const QString& programFolder)
    : c_(controls), filePath_(historyFilePath(programFolder)) {}

QString NumberHistory::saveFailedText() {
    return QStringLiteral("历史记录保存失败!");
}

std::optional<QStringList> NumberHistory::storedEntries() const {
    if (!QFileInfo::exists(filePath_)) {
        return QStringList();
    }
    return readHistoryFile(filePath_);
}

base::Result NumberHistory::write(const QStringList& entries) {
    base::Result written = writeHistoryFile(filePath_, entries);
    changed();
    return written;
}

void NumberHistory::changed() const {
    if (changed_) {
        changed_();
    }
}

base::Result NumberHistory::xr() {
    const QString number = c_.Text1->text();
    const std::optional<QStringList> stored = storedEntries();
    if ((stored && holdsNumber(*stored, number)) || holdsNumber(c_.Text1->items(), number)) {
        return {};
    }
    const QString entry = makeEntry(number, c_.Combo1->text(), c_.Text2->text());
    c_.Text1->appendItem(entry);
    if (!stored) {
        // Rewriting a file we could not read would lose what it holds.
        return base::Result::failure(QStringLiteral("cannot read %1").arg(filePath_));
    }
    return write(*stored + QStringList{entry});
}

void NumberHistory::dq() {
    std::optional<QStringList> entries = readHistoryFile(filePath_);
    if (entries) {
        c_.Text1->appendItems(*entries);
    }
}

base::Result NumberHistory::xr2(const QStringList& entries) {
    base::Result written = write(entries);
    c_.Text1->setText(QString());
    return written;
}

base::Result NumberHistory::clear() {
    c_.Text1->clearList();
    base::Result cleared = clearHistoryFile(filePath_);
    changed();
    return cleared;
}

}  // namespace history
