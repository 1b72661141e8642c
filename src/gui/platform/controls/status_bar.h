#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QVector>

namespace platform {

class Clock;

// The status bar: panels addressed by position, counted from 1. One panel can be made a
// clock that shows the time of day by itself.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    // `stretchingPanel` (from 1; 0 for none) takes the width the others leave.
    StatusBar(const QString& name, int panelCount, QWidget* parent = nullptr,
              int stretchingPanel = 0);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    QString panelText(int position) const;
    void setPanelText(int position, const QString& text);
    QLabel* panel(int position) const;
    void makeClockPanel(int position, const Clock* clock);

private:
    void updateClock();

    QVector<QLabel*> panels_;
    int clockPanel_ = 0;
    const Clock* clock_ = nullptr;
};

}  // namespace platform
