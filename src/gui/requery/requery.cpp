#include "requery/requery.h"

#include <QPointer>

#include "platform/controls/clock.h"
#include "platform/system/message_boxes.h"

namespace requery {

namespace {

// The toggle captions are the state of the two modes.
const QString kTimedOff = QStringLiteral("开始定时");
const QString kTimedArmed = QStringLiteral("关闭定时");
const QString kLoopOff = QStringLiteral("开始循环");
const QString kLoopRunning = QStringLiteral("停止循环");

void setEnabled(const QList<QWidget*>& widgets, bool enabled) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(enabled);
    }
}

}  // namespace

Requery::Requery(const RequeryControls& controls, platform::ComboBox* Text1,
                 platform::ComboBox* Combo1, QList<QWidget*> otherQueryInputs,
                 platform::MessageBoxes* boxes, const platform::Clock* clock, QWidget* boxParent,
                 QObject* parent)
    : QObject(parent),
      c_(controls),
      text1_(Text1),
      combo1_(Combo1),
      otherInputs_(std::move(otherQueryInputs)),
      boxes_(boxes),
      clock_(clock),
      boxParent_(boxParent) {
    connect(c_.Command8, &QPushButton::clicked, this, &Requery::Command8_Click);
    connect(c_.Command5, &QPushButton::clicked, this, &Requery::Command5_Click);
    connect(c_.Command10, &QPushButton::clicked, this, &Requery::Command10_Click);
    connect(c_.Command11, &QPushButton::clicked, this, &Requery::Command11_Click);
    connect(c_.Timer4, &platform::Timer::tick, this, &Requery::Timer4_Timer);
    connect(c_.Timer6, &platform::Timer::tick, this, &Requery::Timer6_Timer);
}

// ---- Timed query ----

void Requery::setTimedInputsEnabled(bool enabled) {
    setEnabled(
        QList<QWidget*>{c_.Combo2, c_.Combo3} + otherInputs_ + QList<QWidget*>{text1_, combo1_},
        enabled);
}

void Requery::disarmTimed() {
    c_.Command8->setText(kTimedOff);
    c_.Timer4->setEnabled(false);
    reportArmed();
    setTimedInputsEnabled(true);
}

void Requery::Command8_Click() {
    const QString caption = c_.Command8->text();
    if (caption == kTimedOff) {
        const QString number = text1_->text();
        const QString courier = combo1_->text();
        if (number.isEmpty() || courier.isEmpty()) {
            boxes_->inform(boxParent_, QStringLiteral("请先查询单号后在使用定时功能!"));
            return;
        }
        if (c_.Combo2->text().isEmpty() || c_.Combo3->text().isEmpty()) {
            boxes_->inform(boxParent_, QStringLiteral("请设定查询时间!"));
            return;
        }
        setTimedInputsEnabled(false);
        c_.Command8->setText(kTimedArmed);
        c_.Timer4->setEnabled(true);
        reportArmed();
    } else if (caption == kTimedArmed) {
        disarmTimed();
    }
}

void Requery::Timer4_Timer() {
    // Only an armed timed query has anything to compare.
    if (c_.Command8->text() != kTimedArmed) {
        return;
    }
    // Seconds are not compared: the first tick inside the set minute fires.
    const QTime now = clock_->now().time();
    const int hour = leadingNumber(c_.Combo2->text());
    const int minute = leadingNumber(c_.Combo3->text());
    if (now.hour() != hour || now.minute() != minute) {
        return;
    }
    QPointer<Requery> self(this);
    emit queryDue();
    if (!self) {
        return;
    }
    // Fires once per arming, whatever the query did: refused, failed or answered.
    if (c_.Command8->text() == kTimedArmed) {
        Command8_Click();
    }
    c_.Timer4->setEnabled(false);
    reportArmed();
}

// ---- Loop query ----

void Requery::setLoopInputsEnabled(bool enabled) {
    setEnabled(otherInputs_ + QList<QWidget*>{text1_, combo1_, c_.Combo4}, enabled);
}

void Requery::stopLoop() {
    c_.Command5->setText(kLoopOff);
    c_.Timer6->setEnabled(false);
    reportArmed();
    setLoopInputsEnabled(true);
    loopMinutes_ = 0;
}

void Requery::Command5_Click() {
    const QString caption = c_.Command5->text();
    if (caption == kLoopOff) {
        const QString number = text1_->text();
        const QString courier = combo1_->text();
        if (number.isEmpty() || courier.isEmpty()) {
            boxes_->inform(boxParent_, QStringLiteral("请先查询单号后在使用本功能!"));
            return;
        }
        if (c_.Combo4->text().isEmpty()) {
            boxes_->inform(boxParent_, QStringLiteral("请先设定时间!"));
            return;
        }
        setLoopInputsEnabled(false);
        c_.Command5->setText(kLoopRunning);
        c_.Timer6->setEnabled(true);
        reportArmed();
        loopMinutes_ = 0;
    } else if (caption == kLoopRunning) {
        stopLoop();
    }
}

void Requery::Timer6_Timer() {
    // Only a running loop counts minutes.
    if (c_.Command5->text() != kLoopRunning) {
        return;
    }
    loopMinutes_ = static_cast<qint16>(loopMinutes_ + 1);
    const int interval = leadingNumber(c_.Combo4->text());
    if (interval != loopMinutes_) {
        return;
    }
    QPointer<Requery> self(this);
    // A refused or failed query does not stop the loop: the next one comes N minutes later.
    emit queryDue();
    if (!self) {
        return;
    }
    loopMinutes_ = 0;
}

// ---- Panel switches ----

// Both panels sit in the same place of the window: showing one hides the other and ends
// the other's mode, once the user agrees to end it while it runs.
bool Requery::mayEndMode(bool running, const QString& question) {
    return !running || boxes_->ask(boxParent_, question) == platform::MessageBoxes::Answer::Yes;
}

void Requery::Command10_Click() {
    if (mayEndMode(c_.Command8->text() == kTimedArmed,
                   QStringLiteral("当前正在定时查询,是否终止?"))) {
        c_.Frame6->show();
        c_.Frame4->hide();
        disarmTimed();
    }
}

void Requery::Command11_Click() {
    if (mayEndMode(c_.Command5->text() == kLoopRunning,
                   QStringLiteral("当前正在循环查询,是否终止?"))) {
        c_.Frame4->show();
        c_.Frame6->hide();
        stopLoop();
    }
}

void Requery::reportArmed() {
    const bool armed = c_.Timer4->isEnabled() || c_.Timer6->isEnabled();
    if (armed != armed_) {
        armed_ = armed;
        emit armedChanged(armed);
    }
}

}  // namespace requery
