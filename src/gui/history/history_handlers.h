#pragma once

#include <QObject>
#include <QPushButton>

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
base::Result ExportListViewContent(const platform::ListView* objListView,
                                   const QString& strFilePath);

// The controls of the main window that the history handlers work on.
struct HistoryHandlerControls : HistoryControls {
    QPushButton* Command3 = nullptr;  // 历史快递查询 / 最新快递查询
    QPushButton* Command9 = nullptr;  // 删
    QPushButton* Command7 = nullptr;  // 清
    platform::ListView* ListView1 = nullptr;
};

// The handlers that work with the stored numbers: picking an entry of the number list,
// the history toggle, deleting one number, clearing all, and the export menu step.
class HistoryHandlers : public QObject {
    Q_OBJECT
public:
    // Connects the number list's pick and the three buttons to the handlers below.
    // `datasave` asks for the export file, `boxParent` is the window the boxes belong to.
    HistoryHandlers(const HistoryHandlerControls& controls, NumberHistory* history,
                    platform::MessageBoxes* boxes, platform::SaveDialog* datasave,
                    QWidget* boxParent, QObject* parent = nullptr);

    // Pick: fills number, courier and remark from the chosen entry and queries at once.
    void Text1_Click();
    // The same for an entry chosen elsewhere (the list of every parcel).
    void pickEntry(const QString& entry);
    // Shows the stored entries in the number list, or empties the list again.
    void Command3_Click();
    // Removes the entries of the number in the number box.
    void Command9_Click();
    // Removes every entry and the history file.
    void Command7_Click();
    // The menu's "导出信息".
    void exportMenu();

    static QString exportFilter() { return QStringLiteral("(TXT文本) (*.txt)"); }

signals:
    // An entry was picked and its fields filled in: the query is to run now, comparing its
    // answer against no lines at all.
    void entryPicked();
    // A text for the main window's message panel.
    void statusText(const QString& text);

private:
    HistoryHandlerControls c_;
    NumberHistory* history_;
    platform::MessageBoxes* boxes_;
    platform::SaveDialog* datasave_;
    QWidget* boxParent_;
};

}  // namespace history
