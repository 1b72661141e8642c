#include "search/form2.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/text.h"
#include "platform/controls/controls.h"
#include "platform/system/message_boxes.h"
#include "search/keyword.h"

namespace search {

namespace {

// The common couriers, in the order of the buttons Command2..Command11 (two rows of five).
const QString kQuickKeywords[search::Form2Controls::kQuickButtonCount] = {
    QStringLiteral("申通"), QStringLiteral("EMS"),   QStringLiteral("顺丰"), QStringLiteral("圆通"),
    QStringLiteral("中通"), QStringLiteral("汇通"),  QStringLiteral("韵达"), QStringLiteral("程光"),
    QStringLiteral("全峰"), QStringLiteral("宅急送")};
constexpr int kQuickButtonsPerRow = 5;

// A window without an icon of its own: an empty icon would fall back to the program's.
QIcon blankIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

}  // namespace

Form2::Form2(platform::ComboBox* combo1, platform::MessageBoxes* boxes, QWidget* parent)
    : QDialog(parent), combo1_(combo1), boxes_(boxes) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("搜索物流公司"));
    setWindowIcon(blankIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildControls();

    connect(controls_.Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    for (QPushButton* button : controls_.quickButtons) {
        const QString keyword = button->text();
        connect(button, &QPushButton::clicked, this,
                [this, keyword] { quickButtonClick(keyword); });
    }
    controls_.Text1->setFocus();
}

void Form2::buildControls() {
    Form2Controls& c = controls_;
    c.Frame1 = platform::makeNamed<QGroupBox>(QStringLiteral("Frame1"),
                                              QStringLiteral("请输入公司名称关键字"), this);
    c.Text1 = platform::makeNamed<QLineEdit>(QStringLiteral("Text1"), c.Frame1);
    c.Command1 = platform::makeNamed<QPushButton>(QStringLiteral("Command1"),
                                                  QStringLiteral("搜索"), c.Frame1);
    // Enter in the keyword box searches.
    c.Command1->setDefault(true);
    c.Text1->setAccessibleName(QStringLiteral("公司名称关键字"));
    c.Command1->setAccessibleDescription(QStringLiteral("在物流公司中搜索关键字"));
    auto* row1 = new QHBoxLayout(c.Frame1);
    row1->addWidget(c.Text1, 1);
    row1->addWidget(c.Command1);

    c.Frame2 = platform::makeNamed<QGroupBox>(QStringLiteral("Frame2"),
                                              QStringLiteral("常用物流公司"), this);
    auto* grid = new QGridLayout(c.Frame2);
    QWidget* previous = c.Command1;
    setTabOrder(c.Text1, c.Command1);
    for (int index = 0; index < Form2Controls::kQuickButtonCount; ++index) {
        auto* button = platform::makeNamed<QPushButton>(QStringLiteral("Command%1").arg(index + 2),
                                                        kQuickKeywords[index], c.Frame2);
        grid->addWidget(button, index / kQuickButtonsPerRow, index % kQuickButtonsPerRow);
        setTabOrder(previous, button);
        previous = button;
        c.quickButtons[index] = button;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(c.Frame1);
    layout->addWidget(c.Frame2);
    setFixedSize(sizeHint());
}

void Form2::Command1_Click() {
    const QString keyword = controls_.Text1->text();
    if (keyword.isEmpty()) {
        if (boxes_ != nullptr) {
            boxes_->inform(this, QStringLiteral("请输入物流公司关键字"));
        }
        return;
    }
    const QString trimmed = trimSpaces(keyword);
    if (trimmed.isEmpty()) {
        return;
    }
    selectMatches(trimmed, true);
    accept();
}

void Form2::quickButtonClick(const QString& keyword) {
    selectMatches(trimSpaces(keyword), false);
    accept();
}

QString Form2::foundText(const QString& courier) {
    return QStringLiteral("找到【") + courier + QStringLiteral("】，是否为您要找的公司?");
}

void Form2::selectMatches(const QString& trimmedKeyword, bool report) {
    if (combo1_.isNull()) {
        return;
    }
    const QList<int> positions = matchingPositions(combo1_->items(), trimmedKeyword);
    for (int position : positions) {
        // Runs the selector's click handler, so the current courier code follows.
        combo1_->setListIndex(position);
        if (combo1_.isNull()) {
            return;
        }
        if (report) {
            emit statusText(foundText(combo1_->text()));
        }
    }
}

}  // namespace search
