#pragma once

#include <QObject>
#include <QPushButton>
#include <functional>

#include "history/number_history.h"

namespace platform {
class ListView;
class MessageBoxes;
class SaveDialog;
}  // namespace platform

namespace history {

// Writes the progress list as a text file: one line per row, the cells joined by three
// spaces, the first cell 8 bytes wide, GBK, CR LF after every line. Fails when the list is
// empty (the file is not touched) or the file cannot be written.
platform::Result ExportListViewContent(const platform::ListView* objListView, const QString& strFilePath);

// The handlers that work with the stored numbers: picking an entry of the number list,
// the history toggle, deleting one number, clearing all, and the export menu step.
class HistoryHandlers : public QObject {
    Q_OBJECT
public:
    struct Wiring {
        QPushButton* Command3 = nullptr;  // 历史快递查询 / 最新快递查询
        platform::ListView* ListView1 = nullptr;
        platform::MessageBoxes* boxes = nullptr;
        platform::SaveDialog* datasave = nullptr;
        QWidget* boxParent = nullptr;
        std::function<void()> runQuery;         // the "开始查询" handler
        std::function<void()> resetLineCounts;  // the change alert compares against 0
    };

    HistoryHandlers(const HistoryControls& controls, NumberHistory* history, Wiring wiring,
                    QObject* parent = nullptr);

    // Pick: fills number, courier and remark from the chosen entry and queries at once.
    void Text1_Click();
    // Shows the stored entries in the number list, or empties the list again.
    void Command3_Click();
    // Removes the entries of the number in the number box.
    void Command9_Click();
    // Removes every entry and the history file.
    void Command7_Click();
    // The menu's "导出信息".
    void exportMenu();

    static QString exportFilter() { return QStringLiteral("(TXT文本) (*.txt)"); }

private:
    HistoryControls c_;
    NumberHistory* history_;
    Wiring w_;
};

}  // namespace history
