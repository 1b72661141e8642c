#pragma once

#include <QGroupBox>
#include <QObject>
#include <QPushButton>
#include <functional>

#include "platform/controls.h"
#include "platform/timer.h"

namespace platform {
class Clock;
class MessageBoxes;
}  // namespace platform

namespace requery {

// The controls of the main window that the timed and the loop query work on.
struct RequeryControls {
    // Timed-query panel.
    QGroupBox* Frame4 = nullptr;
    platform::ComboBox* Combo2 = nullptr;  // hour
    platform::ComboBox* Combo3 = nullptr;  // minute
    QPushButton* Command8 = nullptr;  // 开始定时 / 关闭定时
    platform::Timer* Timer4 = nullptr;
    QPushButton* Command10 = nullptr;  // 循环查询: switch to the loop panel
    // Loop-query panel.
    QGroupBox* Frame6 = nullptr;
    platform::ComboBox* Combo4 = nullptr;  // interval in minutes
    QPushButton* Command5 = nullptr;  // 开始循环 / 停止循环
    platform::Timer* Timer6 = nullptr;
    QPushButton* Command11 = nullptr;  // 定时查询: switch back to the timed panel
    // Query inputs locked while a repetition is armed.
    platform::ComboBox* Text1 = nullptr;
    platform::ComboBox* Combo1 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command2 = nullptr;
};

// Repeats the current query by itself: once at a set clock time (the timed query) or every
// N minutes (the loop query). The toggle buttons' captions are the state.
class Requery : public QObject {
    Q_OBJECT
public:
    // `runQuery` is the "开始查询" handler, run directly whether or not its button is
    // enabled; `boxParent` is the window the questions belong to.
    Requery(const RequeryControls& controls, platform::MessageBoxes* boxes,
            const platform::Clock* clock, std::function<void()> runQuery, QWidget* boxParent,
            QObject* parent = nullptr);

    void Command8_Click();
    void Timer4_Timer();
    void Command5_Click();
    void Timer6_Timer();
    void Command10_Click();
    void Command11_Click();

    int loopMinuteCounter() const { return loopMinutes_; }

private:
    RequeryControls c_;
    platform::MessageBoxes* boxes_;
    const platform::Clock* clock_;
    std::function<void()> runQuery_;
    QWidget* boxParent_;
    int loopMinutes_ = 0;
};

}  // namespace requery
