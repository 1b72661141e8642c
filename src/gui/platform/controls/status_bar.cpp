#include "platform/controls/status_bar.h"

#include <QTime>
#include <QTimer>

#include "platform/controls/clock.h"
#include "platform/controls/controls.h"

namespace platform {

namespace {
constexpr auto kClockFormat = QStringView(u"HH:mm:ss");
}  // namespace

StatusBar::StatusBar(const QString& name, int panelCount, QWidget* parent, int stretchingPanel)
    : QStatusBar(parent) {
    setObjectName(name);
    setSizeGripEnabled(false);
    for (int i = 1; i <= panelCount; ++i) {
        QLabel* panel = makeLabel(QStringLiteral("%1_Panel%2").arg(name).arg(i), QString(), this);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        addWidget(panel, i == stretchingPanel ? 1 : 0);
        panels_.append(panel);
    }
}

QLabel* StatusBar::panel(int position) const {
    if (position < 1 || position > panels_.size()) {
        return nullptr;
    }
    return panels_.at(position - 1);
}

QString StatusBar::panelText(int position) const {
    QLabel* p = panel(position);
    return p ? p->text() : QString();
}

void StatusBar::setPanelText(int position, const QString& text) {
    if (QLabel* p = panel(position)) {
        p->setText(text);
    }
}

void StatusBar::makeClockPanel(int position, const Clock* clock) {
    clockPanel_ = position;
    clock_ = clock;
    // As wide as the widest time: the time's changes never move the panels beside it, nor
    // widen a window that the status line holds at its least width.
    reserveWidthFor(panel(position), {QTime(0, 0).toString(kClockFormat)}, Digits::AnyDigit);
    auto* ticker = new QTimer(this);
    ticker->setInterval(1000);
    connect(ticker, &QTimer::timeout, this, &StatusBar::updateClock);
    ticker->start();
    updateClock();
}

void StatusBar::updateClock() {
    if (clock_ != nullptr) {
        setPanelText(clockPanel_, clock_->now().time().toString(kClockFormat));
    }
}

}  // namespace platform
