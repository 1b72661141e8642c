#pragma once

#include <QGroupBox>
#include <QList>
#include <QObject>
#include <QPushButton>

#include "platform/controls/controls.h"
#include "platform/controls/timer.h"
#include "requery/leading_number.h"

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
    QPushButton* Command8 = nullptr;       // 开始定时 / 关闭定时
    platform::Timer* Timer4 = nullptr;
    QPushButton* Command10 = nullptr;  // 循环查询: switch to the loop panel
    // Loop-query panel.
    QGroupBox* Frame6 = nullptr;
    platform::ComboBox* Combo4 = nullptr;  // interval in minutes
    QPushButton* Command5 = nullptr;       // 开始循环 / 停止循环
    platform::Timer* Timer6 = nullptr;
    QPushButton* Command11 = nullptr;  // 定时查询: switch back to the timed panel
};

// Repeats the current query by itself: once at a set clock time (the timed query) or every
// N minutes (the loop query). The toggle buttons' captions are the state. The query a tick
// starts runs to completion inside the tick; the timers never re-enter a tick, so a tick
// that falls due meanwhile (during the request or a message box the query shows) cannot
// start a second query.
class Requery : public QObject {
    Q_OBJECT
public:
    // `Text1` (the number box) and `Combo1` (the courier selector) must hold a query before
    // a repetition is armed; they and `otherQueryInputs` are locked while it is armed. `boxParent`
    // is the window the boxes belong to. Connects the buttons' clicks and the two timers' ticks to
    // the handlers below.
    Requery(const RequeryControls& controls, platform::ComboBox* Text1, platform::ComboBox* Combo1,
            QList<QWidget*> otherQueryInputs, platform::MessageBoxes* boxes,
            const platform::Clock* clock, QWidget* boxParent, QObject* parent = nullptr);

    // 开始定时 / 关闭定时: arms or disarms the timed query.
    void Command8_Click();
    // Once a second while armed: runs the query in the set minute, then disarms.
    void Timer4_Timer();
    // 开始循环 / 停止循环: starts or stops the loop query.
    void Command5_Click();
    // Once a minute while the loop runs: runs the query on every N-th tick.
    void Timer6_Timer();
    // 循环查询: shows the loop panel in place of the timed panel and disarms the timed query.
    void Command10_Click();
    // 定时查询: shows the timed panel in place of the loop panel and stops the loop query.
    void Command11_Click();

    int loopMinuteCounter() const { return loopMinutes_; }

signals:
    // A repetition falls due: the "开始查询" handler is to run now, whether or not its
    // button is enabled, and to complete before this signal returns.
    void queryDue();
    // The timed or the loop query was armed (true), or neither is any more (false).
    void armedChanged(bool armed);

private:
    void reportArmed();
    bool mayEndMode(bool running, const QString& question);
    void disarmTimed();
    void stopLoop();
    void setTimedInputsEnabled(bool enabled);
    void setLoopInputsEnabled(bool enabled);

    RequeryControls c_;
    platform::ComboBox* text1_;
    platform::ComboBox* combo1_;
    QList<QWidget*> otherInputs_;
    platform::MessageBoxes* boxes_;
    const platform::Clock* clock_;
    QWidget* boxParent_;
    // Ticks of Timer6 since the loop was started or last fired (a 16-bit counter).
    qint16 loopMinutes_ = 0;
    bool armed_ = false;
};

}  // namespace requery
