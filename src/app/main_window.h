#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <memory>

#include "platform/controls.h"
#include "platform/environment.h"
#include "platform/http_fetch.h"
#include "platform/timer.h"

namespace history {
class HistoryHandlers;
class NumberHistory;
}
namespace requery {
class Requery;
}
namespace shell {
class ListClickHandler;
}

namespace app {

// The main window: every control of the program, the state that lives between events,
// and the handlers of the query, the start-up, the menu and the exit question. Handlers
// are plain routines: other handlers (the history pick, the re-query timers) call them
// directly, whether or not their control is enabled.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(const platform::Environment& env, QWidget* parent = nullptr);
    ~Form1() override;

    const platform::Environment& environment() const { return env_; }

    // ---- Control inventory (each widget's objectName is its name here) ----
    QPushButton* Command3;  // 历史快递查询 / 最新快递查询
    QGroupBox* Frame7;
    platform::ComboBox* Combo5;  // menu
    QGroupBox* Frame6;  // loop-query panel
    QPushButton* Command11;
    QPushButton* Command5;
    platform::ComboBox* Combo4;
    QLabel* Label10;
    QLabel* Label8;
    QGroupBox* Frame5;
    QLabel* Label7;  // change alert
    QGroupBox* Frame4;  // timed-query panel
    QPushButton* Command10;
    platform::ComboBox* Combo2;
    platform::ComboBox* Combo3;
    QPushButton* Command8;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QGroupBox* Frame3;
    QLabel* Label3;  // parcel status
    QPushButton* Command1;  // 开始查询
    platform::StatusBar* S1;
    QGroupBox* Frame2;
    platform::ComboBox* Text1;  // number box; its list is the number list
    QLineEdit* Text2;  // remark
    QPushButton* Command7;  // 清
    QPushButton* Command9;  // 删
    QPushButton* Command2;  // 快捷搜索
    platform::ComboBox* Combo1;  // courier selector
    QLabel* Label9;
    QLabel* Label2;
    QLabel* Label1;
    QGroupBox* Frame1;
    platform::SaveDialog* datasave;
    platform::Timer* Timer6;
    platform::Timer* Timer4;
    platform::Timer* Timer3;
    platform::ListView* ListView1;
    platform::MediaPlayer* W1;
    platform::Timer* Timer1;
    platform::Inet Inet1;  // the blocking fetch of the tracking request and the update check

    // ---- State ----
    QString courierCode() const { return courierCode_; }
    int previousLineCount() const { return previousLineCount_; }
    int currentLineCount() const { return currentLineCount_; }
    // The history pick compares the next answer against no lines at all.
    void resetLineCounts();
    QString resultPage() const { return resultPage_; }
    int rowCount() const { return rowCount_; }
    history::NumberHistory* numberHistory() const { return history_.get(); }
    shell::ListClickHandler* listClickHandler() const { return listClick_; }
    requery::Requery* requery() const { return requery_; }
    history::HistoryHandlers* historyHandlers() const { return historyHandlers_; }

    // ---- Handlers ----
    void Form_Load();
    void Form_KeyDown(int keyCode, int shift);
    // Returns true when the close is cancelled.
    bool Form_QueryUnload();
    void Combo1_Click();
    void Combo5_Click();
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void Timer3_Timer();

    // ---- Routines ----
    void kdlb();
    // What the status bar says while `courier` is asked.
    static QString queryingText(const QString& courier);
    // Asks the tracking service; false when the transfer failed (the result page is then
    // left as it was).
    bool kdgs(const QString& number);
    void hx2();
    void csh();
    void gxtj();

    // Ends the program at once, without the exit question.
    void endProgram();
    bool hasEnded() const { return ended_; }


signals:
    // The program has ended (the update check found a newer version, or the user closed
    // the window and did not cancel).
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void exportList();
    void showAbout();
    void showBranchLookup();
    void layoutControls();
    void status(const QString& text);
    void saveNumber();

    platform::Environment env_;
    std::unique_ptr<history::NumberHistory> history_;
    shell::ListClickHandler* listClick_ = nullptr;
    requery::Requery* requery_ = nullptr;
    history::HistoryHandlers* historyHandlers_ = nullptr;

    QString courierCode_;
    // Per-query state, reset together by csh.
    QString resultPage_;
    int rowCount_ = 0;
    // Change alert counters.
    int previousLineCount_ = 0;
    int currentLineCount_ = 0;
    // The save of the running query could not write the history file.
    bool saveFailed_ = false;

    bool ended_ = false;
    bool centred_ = false;
};

}  // namespace app
