#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <array>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace platform {
class ComboBox;
class MessageBoxes;
}  // namespace platform

namespace search {

// The controls of the quick-search window, each widget's objectName being its name here.
struct Form2Controls {
    static constexpr int kQuickButtonCount = 10;

    QGroupBox* Frame1 = nullptr;      // 请输入公司名称关键字
    QLineEdit* Text1 = nullptr;       // the keyword
    QPushButton* Command1 = nullptr;  // 搜索
    QGroupBox* Frame2 = nullptr;      // 常用物流公司
    std::array<QPushButton*, kQuickButtonCount> quickButtons = {};  // Command2..Command11
};

// The quick-search window "搜索物流公司": selects a courier in the main window's selector
// by a keyword of its name or by one of ten buttons for common couriers, then closes.
// Shown modally with exec(); a search or a quick button ends it with accept(), the close
// box with reject(). The window keeps nothing between showings.
class Form2 : public QDialog {
    Q_OBJECT
public:
    // `combo1` is the main window's courier selector (not owned).
    Form2(platform::ComboBox* combo1, platform::MessageBoxes* boxes, QWidget* parent = nullptr);

    // The search button: the keyword typed in Text1.
    void Command1_Click();
    // A common-courier button: its caption is its keyword.
    void quickButtonClick(const QString& keyword);

    // What the status bar says when a search selects `courier`.
    static QString foundText(const QString& courier);

signals:
    // A search found this courier: the text for the main window's message panel.
    void statusText(const QString& text);

private:
    void buildControls();
    // Selects every entry whose name contains the trimmed keyword, in ascending order, so
    // the last match stays selected. With `report` each selection is announced through
    // `statusText`.
    void selectMatches(const QString& trimmedKeyword, bool report);

    QPointer<platform::ComboBox> combo1_;
    platform::MessageBoxes* boxes_;
    Form2Controls controls_;
};

}  // namespace search
