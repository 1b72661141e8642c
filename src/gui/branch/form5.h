#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <array>

#include "branch/page.h"
#include "platform/environment.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class HttpFetch;
class StatusBar;
}  // namespace platform

namespace branch {

// The controls of the branch lookup window, each widget's objectName being its name here.
struct Form5Controls {
    QLabel* Label13 = nullptr;        // 请输入您要查询的网点名称：
    QLineEdit* Text1 = nullptr;       // the branch name
    QPushButton* Command1 = nullptr;  // 查询
    std::array<QLabel*, BranchFields::kCount> captions = {};  // Label1, 3, 5, 7, 9, 11
    std::array<QLabel*, BranchFields::kCount> values = {};    // Label2, 4, 6, 8, 10, 12
    platform::StatusBar* S1 = nullptr;
};

// The branch lookup window "网店信息查询": the user types a branch name, "查询" asks the
// branch site for it and the six values of the answer are shown in the value labels.
//
// A query waits with the window responsive; meanwhile "查询" is disabled. Closing the
// window while a query waits abandons the query, and nothing of the window is touched
// when the abandoned query returns, even if the window was deleted in the meantime.
class Form5 : public QDialog {
    Q_OBJECT
public:
    Form5(const platform::Environment& env, QWidget* parent = nullptr);
    ~Form5() override;

    // Handlers, also callable as plain routines.
    void Command1_Click();
    void Label10_Click();

    // The six values of the last answer, empty before the first query and after closing.
    const BranchFields& fields() const { return fields_; }
    bool isQuerying() const { return !running_.isNull(); }

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void resetControls();
    void showFields();
    void showNotFound();
    void Form_QueryUnload();

    platform::Environment env_;
    BranchFields fields_;
    bool closedOnce_ = false;
    QPointer<platform::HttpFetch> running_;  // the lookup under way, null when none

    Form5Controls controls_;
};

}  // namespace branch
