#pragma once

#include <QObject>
#include <QStringList>

class QFontMetrics;
class QLabel;

namespace platform {

// How the digits of a reserved text count.
enum class Digits {
    AsWritten,  // each text is shown as it stands
    AnyDigit,   // each digit stands for any digit: "00:00:00" for a clock's every time
};

// Keeps a label at least as wide as the widest of its texts needs in the label's own font,
// frame and style, so that each of them shows whole wherever the label gets its least
// width. The texts are measured when the label is polished (before it is first laid out)
// and again after each change of its font or style. A least width set before stays the
// floor. Owned by the label.
class WidthReserve : public QObject {
public:
    WidthReserve(QLabel* label, QStringList texts, Digits digits = Digits::AsWritten);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();

    QLabel* label_;
    QStringList texts_;
    Digits digits_;
    int floor_;
};

// Reserves the width of the widest of `texts` for `label` (see WidthReserve).
void reserveWidthFor(QLabel* label, const QStringList& texts, Digits digits = Digits::AsWritten);

// The texts among which `pattern`, each of whose digits stands for any digit, is drawn
// widest in `metrics`. A string is drawn wider than its characters' advances added up: the
// advances are rounded once for the whole string, and its last character can reach beyond
// its own advance (a "4" does by a pixel in some fonts and sizes). So the widest digit is
// chosen by measuring whole strings of it, and every digit is tried in the last place; the
// caller measures these ten texts as it draws them. A pattern without digits is itself.
QStringList widestDigitVariants(const QString& pattern, const QFontMetrics& metrics);

}  // namespace platform
