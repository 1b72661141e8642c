#include "search/form2.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/controls.h"
#include "platform/message_boxes.h"
#include "search/keyword.h"

namespace search {

namespace {

// The common couriers, in the order of the buttons Command2..Command11 (two rows of five).
const char* const kQuickKeywords[] = {"申通", "EMS",  "顺丰", "圆通", "中通",
                                      "汇通", "韵达", "程光", "全峰", "宅急送"};
constexpr int kQuickButtonsPerRow = 5;

// A window without an icon of its own: an empty icon would fall back to the program's.
QIcon blankIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

}  // namespace

Form2::Form2(platform::ComboBox* combo1, platform::StatusBar* s1, platform::MessageBoxes* boxes,
             QWidget* parent)
    : QDialog(parent), combo1_(combo1), s1_(s1), boxes_(boxes) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("搜索物流公司"));
    setWindowIcon(blankIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    frame1_ = platform::makeNamed<QGroupBox>(QStringLiteral("Frame1"),
                                             QStringLiteral("请输入公司名称关键字"), this);
    text1_ = platform::makeNamed<QLineEdit>(QStringLiteral("Text1"), frame1_);
    command1_ = platform::makeNamed<QPushButton>(QStringLiteral("Command1"), QStringLiteral("搜索"),
                                                 frame1_);
    // Enter in the keyword box searches.
    command1_->setDefault(true);
    auto* row1 = new QHBoxLayout(frame1_);
    row1->addWidget(text1_, 1);
    row1->addWidget(command1_);

    frame2_ = platform::makeNamed<QGroupBox>(QStringLiteral("Frame2"),
                                             QStringLiteral("常用物流公司"), this);
    auto* grid = new QGridLayout(frame2_);
    QWidget* previous = command1_;
    setTabOrder(text1_, command1_);
    int index = 0;
    for (const char* keyword : kQuickKeywords) {
        const QString caption = QString::fromUtf8(keyword);
        auto* button = platform::makeNamed<QPushButton>(QStringLiteral("Command%1").arg(index + 2),
                                                        caption, frame2_);
        grid->addWidget(button, index / kQuickButtonsPerRow, index % kQuickButtonsPerRow);
        connect(button, &QPushButton::clicked, this,
                [this, caption] { quickButtonClick(caption); });
        setTabOrder(previous, button);
        previous = button;
        ++index;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1_);
    layout->addWidget(frame2_);
    setFixedSize(sizeHint());

    connect(command1_, &QPushButton::clicked, this, &Form2::Command1_Click);
    text1_->setFocus();
}

void Form2::Command1_Click() {
    const QString keyword = text1_->text();
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
        if (report && !s1_.isNull()) {
            s1_->setPanelText(2, foundText(combo1_->text()));
        }
    }
}

}  // namespace search
