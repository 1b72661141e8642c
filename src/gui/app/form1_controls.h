#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "history/history_handlers.h"
#include "platform/controls/controls.h"
#include "platform/controls/timer.h"
#include "platform/environment.h"
#include "requery/requery.h"

class QMainWindow;

namespace app {

// The panels of the main window's status bar.
constexpr int kStatusPanelCount = 5;
constexpr int kHintPanel = 1;     // "查询提示："
constexpr int kMessagePanel = 2;  // what the program tells the user; takes the spare width
constexpr int kVersionPanel = 3;
constexpr int kMakerPanel = 4;
constexpr int kClockPanel = 5;

// Every control of the main window, each widget's objectName being its name here. The
// parts that the history handlers and the re-query work on are their own structs, so each
// of them takes exactly its part of this one set.
struct Form1Controls : history::HistoryHandlerControls, requery::RequeryControls {
    QGroupBox* Frame7 = nullptr;
    platform::ComboBox* Combo5 = nullptr;  // menu
    QLabel* Label10 = nullptr;
    QLabel* Label8 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QLabel* Label7 = nullptr;  // change alert
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* Label3 = nullptr;         // parcel status
    QPushButton* Command1 = nullptr;  // 开始查询
    QGroupBox* Frame2 = nullptr;
    QPushButton* Command2 = nullptr;  // 快捷搜索
    QLabel* Label9 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    platform::MediaPlayer* W1 = nullptr;
    platform::Timer* Timer1 = nullptr;  // the result parse
    platform::Timer* Timer3 = nullptr;  // the update check
};

// Makes every control of `window` (its central widget and status bar included), in the
// order the window has always made them.
Form1Controls buildForm1Controls(QMainWindow* window, const platform::Environment& env);

// Lays the controls out and sets the tab order. `buttonFilter` is installed on the two
// re-query frames, whose panel-switch buttons it keeps at the frame's top right.
void layoutForm1Controls(const Form1Controls& c, QMainWindow* window, QObject* buttonFilter);

}  // namespace app
