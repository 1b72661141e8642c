#include "history/history_handlers.h"

#include <QFile>

#include "history/export_format.h"
#include "history/history_entry.h"
#include "platform/message_boxes.h"
#include "platform/save_dialog.h"

namespace history {

bool ExportListViewContent(const platform::ListView* objListView, const QString& strFilePath) {
    const int rows = objListView->count();
    if (rows == 0) {
        return false;
    }
    const int columns = objListView->model()->columnCount();
    QVector<QStringList> cells;
    cells.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        QStringList line;
        line.reserve(columns);
        for (int column = 0; column < columns; ++column) {
            line.append(objListView->text(row, column));
        }
        cells.append(std::move(line));
    }
    return writeExportFile(strFilePath, cells);
}

HistoryHandlers::HistoryHandlers(const HistoryControls& controls, NumberHistory* history,
                                 Wiring wiring, QObject* parent)
    : QObject(parent), c_(controls), history_(history), w_(std::move(wiring)) {}

void HistoryHandlers::Text1_Click() {
    const int index = c_.Text1->listIndex();
    const QString entry = index >= 0 ? c_.Text1->item(index) : c_.Text1->text();
    c_.Text1->setText(pickNumber(entry));
    // Selects the courier of that name; a name that matches none keeps the selection.
    c_.Combo1->setText(entryPiece(entry, 1));
    c_.Text2->setText(entryPiece(entry, 2));
    w_.resetLineCounts();
    w_.runQuery();
}

void HistoryHandlers::Command3_Click() {
    if (w_.Command3->text() == QStringLiteral("历史快递查询")) {
        w_.Command3->setText(QStringLiteral("最新快递查询"));
        history_->dq();
        c_.S1->setPanelText(2, QStringLiteral("已加载历史快递列表"));
    } else if (w_.Command3->text() == QStringLiteral("最新快递查询")) {
        w_.Command3->setText(QStringLiteral("历史快递查询"));
        c_.Text1->clearList();
        c_.S1->setPanelText(2, QStringLiteral("已清空历史快递列表"));
    }
}

void HistoryHandlers::Command9_Click() {
    const QString number = c_.Text1->text();
    if (number.isEmpty()) {
        w_.boxes->inform(w_.boxParent, QStringLiteral("请先选择要删除的单号!"));
        return;
    }
    const auto answer = w_.boxes->ask(
        w_.boxParent, QStringLiteral("确定要删除[") + number + QStringLiteral("]此单号码?"));
    if (answer != platform::MessageBoxes::Answer::Yes) {
        return;
    }
    // The entries of exactly this number go, whether the box holds the number or a whole
    // entry; other numbers that merely contain it stay.
    const QString target = numberField(number);
    const auto keep = [&target](const QStringList& entries) {
        QStringList kept;
        kept.reserve(entries.size());
        for (const QString& entry : entries) {
            if (numberField(entry) != target) {
                kept.append(entry);
            }
        }
        return kept;
    };
    const QStringList listed = c_.Text1->items();
    const QStringList listedKept = keep(listed);
    if (listedKept.size() != listed.size()) {
        c_.Text1->replaceItems(listedKept);
    }
    // The stored entries are the file's, also those the list does not show. They are
    // rewritten in place (never deleted first), so a failure leaves the old file whole.
    const std::optional<QStringList> stored = history_->storedEntries();
    if (!stored) {
        c_.S1->setPanelText(2, NumberHistory::saveFailedText());
        c_.Text1->setText(QString());
        return;
    }
    history_->xr2(keep(*stored));
}

void HistoryHandlers::Command7_Click() {
    const auto answer = w_.boxes->ask(w_.boxParent, QStringLiteral("确定要清空查询列表吗?"));
    if (answer != platform::MessageBoxes::Answer::Yes) {
        return;
    }
    c_.Text1->clearList();
    QFile file(history_->filePath());
    bool cleared = !file.exists() || file.remove();
    if (!cleared && file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // A file that cannot be removed but can be emptied holds no entries either.
        file.close();
        cleared = file.size() == 0;
    }
    c_.S1->setPanelText(2, cleared ? QStringLiteral("查询列表已清空...")
                                   : NumberHistory::saveFailedText());
}

void HistoryHandlers::exportMenu() {
    if (w_.ListView1->count() == 0) {
        w_.boxes->inform(w_.boxParent, QStringLiteral("没有可导出的数据!"));
        return;
    }
    const std::optional<QString> path = w_.datasave->askSavePath(w_.boxParent, exportFilter());
    if (!path) {
        w_.boxes->inform(w_.boxParent, QStringLiteral("已取消保存"));
        return;
    }
    if (ExportListViewContent(w_.ListView1, *path)) {
        w_.boxes->inform(w_.boxParent, QStringLiteral("成功导出全部数据!"));
        c_.S1->setPanelText(2, QStringLiteral("成功导出全部数据.."));
    } else {
        // A failed write is not an empty list: the user is told where to look.
        w_.boxes->inform(w_.boxParent, QStringLiteral("导出失败,请检查保存位置!"));
        c_.S1->setPanelText(2, QStringLiteral("导出失败.."));
    }
}

}  // namespace history
