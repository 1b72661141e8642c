#include "history/history_handlers.h"

#include "history/export_format.h"
#include "history/history_entry.h"
#include "platform/system/message_boxes.h"
#include "platform/system/save_dialog.h"

namespace history {

base::Result ExportListViewContent(const platform::ListView* objListView,
                                   const QString& strFilePath) {
    const int rows = objListView->count();
    if (rows == 0) {
        return base::Result::failure(QStringLiteral("the list is empty"));
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

HistoryHandlers::HistoryHandlers(const HistoryHandlerControls& controls, NumberHistory* history,
                                 platform::MessageBoxes* boxes, platform::SaveDialog* datasave,
                                 QWidget* boxParent, QObject* parent)
    : QObject(parent),
      c_(controls),
      history_(history),
      boxes_(boxes),
      datasave_(datasave),
      boxParent_(boxParent) {
    connect(c_.Text1, &platform::ComboBox::clicked, this, &HistoryHandlers::Text1_Click);
    connect(c_.Command3, &QPushButton::clicked, this, &HistoryHandlers::Command3_Click);
    connect(c_.Command9, &QPushButton::clicked, this, &HistoryHandlers::Command9_Click);
    connect(c_.Command7, &QPushButton::clicked, this, &HistoryHandlers::Command7_Click);
}

void HistoryHandlers::Text1_Click() {
    const int index = c_.Text1->listIndex();
    pickEntry(index >= 0 ? c_.Text1->item(index) : c_.Text1->text());
}

void HistoryHandlers::pickEntry(const QString& entry) {
    c_.Text1->setText(pickNumber(entry));
    // Selects the courier of that name; a name that matches none keeps the selection.
    c_.Combo1->setText(entryPiece(entry, 1));
    c_.Text2->setText(entryPiece(entry, 2));
    emit entryPicked();
}

void HistoryHandlers::Command3_Click() {
    if (c_.Command3->text() == QStringLiteral("历史快递查询")) {
        c_.Command3->setText(QStringLiteral("最新快递查询"));
        history_->dq();
        emit statusText(QStringLiteral("已加载历史快递列表"));
    } else if (c_.Command3->text() == QStringLiteral("最新快递查询")) {
        c_.Command3->setText(QStringLiteral("历史快递查询"));
        c_.Text1->clearList();
        emit statusText(QStringLiteral("已清空历史快递列表"));
    }
}

void HistoryHandlers::Command9_Click() {
    const QString number = c_.Text1->text();
    if (number.isEmpty()) {
        boxes_->inform(boxParent_, QStringLiteral("请先选择要删除的单号!"));
        return;
    }
    const auto answer = boxes_->ask(
        boxParent_, QStringLiteral("确定要删除[") + number + QStringLiteral("]此单号码?"));
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
        emit statusText(NumberHistory::saveFailedText());
        c_.Text1->setText(QString());
        return;
    }
    if (!history_->xr2(keep(*stored))) {
        c_.S1->setPanelText(2, NumberHistory::saveFailedText());
    }
}

void HistoryHandlers::Command7_Click() {
    const auto answer = boxes_->ask(boxParent_, QStringLiteral("确定要清空查询列表吗?"));
    if (answer != platform::MessageBoxes::Answer::Yes) {
        return;
    }
    const base::Result cleared = history_->clear();
    emit statusText(cleared ? QStringLiteral("查询列表已清空...")
                            : NumberHistory::saveFailedText());
}

void HistoryHandlers::exportMenu() {
    if (c_.ListView1->count() == 0) {
        boxes_->inform(boxParent_, QStringLiteral("没有可导出的数据!"));
        return;
    }
    const std::optional<QString> path = datasave_->askSavePath(boxParent_, exportFilter());
    if (!path) {
        boxes_->inform(boxParent_, QStringLiteral("已取消保存"));
        return;
    }
    if (ExportListViewContent(c_.ListView1, *path)) {
        boxes_->inform(boxParent_, QStringLiteral("成功导出全部数据!"));
        emit statusText(QStringLiteral("成功导出全部数据.."));
    } else {
        // A failed write is not an empty list: the user is told where to look.
        boxes_->inform(boxParent_, QStringLiteral("导出失败,请检查保存位置!"));
        emit statusText(QStringLiteral("导出失败.."));
    }
}

}  // namespace history
