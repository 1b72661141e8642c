#pragma once

#include <QObject>
#include <QStringList>

class QLabel;

namespace platform {

// Keeps a label at least as wide as the widest of its texts needs in the label's own font,
// frame and style, so that each of them shows whole wherever the label gets its least
// width. The texts are measured when the label is polished (before it is first laid out)
// and again after each change of its font or style. A least width set before stays the
// floor. Owned by the label.
class WidthReserve : public QObject {
public:
    WidthReserve(QLabel* label, QStringList texts);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();

    QLabel* label_;
    QStringList texts_;
    int floor_;
};

// Reserves the width of the widest of `texts` for `label` (see WidthReserve).
void reserveWidthFor(QLabel* label, const QStringList& texts);

}  // namespace platform
