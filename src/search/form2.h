#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace platform {
class ComboBox;
class MessageBoxes;
class StatusBar;
}  // namespace platform

namespace search {

// The quick-search window "搜索物流公司": selects a courier in the main window's selector
// by a keyword of its name or by one of ten buttons for common couriers, then closes.
// Shown modally with exec(); a search or a quick button ends it with accept(), the close
// box with reject(). The window keeps nothing between showings.
class Form2 : public QDialog {
    Q_OBJECT
public:
    // `combo1` is the main window's courier selector, `s1` its status bar (panel 2 takes
    // the "found" text). None of them is owned.
    Form2(platform::ComboBox* combo1, platform::StatusBar* s1, platform::MessageBoxes* boxes,
          QWidget* parent = nullptr);

    // The search button: the keyword typed in Text1.
    void Command1_Click();
    // A common-courier button: its caption is its keyword.
    void quickButtonClick(const QString& keyword);

    // What the status bar says when a search selects `courier`.
    static QString foundText(const QString& courier);

private:
    // Selects every entry whose name contains the trimmed keyword, in ascending order, so
    // the last match stays selected. With `report` each selection is announced on the
    // status bar.
    void selectMatches(const QString& trimmedKeyword, bool report);

    QPointer<platform::ComboBox> combo1_;
    QPointer<platform::StatusBar> s1_;
    platform::MessageBoxes* boxes_;

    QGroupBox* frame1_;
    QGroupBox* frame2_;
    QLineEdit* text1_;
    QPushButton* command1_;
};

}  // namespace search
