#include "branch/form5.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "branch/encoding.h"
#include "branch/get_body.h"
#include "platform/controls/controls.h"
#include "platform/controls/gate.h"
#include "platform/net/http_fetch.h"
#include "platform/system/message_boxes.h"

namespace branch {

namespace {

// The panels of the window's status bar.
constexpr int kStatusPanelCount = 2;
constexpr int kTitlePanel = 1;
constexpr int kMessagePanel = 2;  // takes the spare width

const QString kNotQueried = QStringLiteral("未查询");
const QString kStatusTitle = QStringLiteral("提示：");
const QString kStatusStart = QStringLiteral("请输入要查询的网点名称");
const QString kEmptyName = QStringLiteral("请输入您要查询的站点..");
const QString kNotFound = QStringLiteral("您查询的网点不存在!");
const QString kFetchFailed = QStringLiteral("网点查询失败,请检查网络连接!");

const QString kCaptions[BranchFields::kCount] = {
    QStringLiteral("网点名称："), QStringLiteral("负责人："),   QStringLiteral("网点名称："),
    QStringLiteral("联系电话："), QStringLiteral("派送范围："), QStringLiteral("不派送范围："),
};

// The longest values the branch sites give, which each value label shows whole. The
// delivery area can be longer than any window; it is read whole by clicking it.
const QString kLongestValues[BranchFields::kCount] = {
    QStringLiteral("深圳市宝安区西乡营业部"),
    QStringLiteral("欧阳经理"),
    QStringLiteral("上海市浦东新区陆家嘴营业部"),
    QStringLiteral("021-50000000 13800138000"),
    QString(),
    QStringLiteral("外高桥保税区、洋山港区"),
};

// One caption/value pair in a frame of its own.
QFrame* pairFrame(const QString& name, QLabel* caption, QLabel* value, QWidget* parent) {
    auto* frame = platform::makeNamed<QFrame>(name, parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(caption);
    row->addWidget(value, 1);
    return frame;
}

}  // namespace

Form5::Form5(const platform::Environment& env, QWidget* parent) : QDialog(parent), env_(env) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("网店信息查询"));
    // The window carries no icon of its own (an empty icon would fall back to the
    // program's).
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    buildControls();
    resetControls();
}

Form5::~Form5() {
    // Deleted without being closed (its owner went away): a waiting query ends here too.
    if (running_) {
        running_->abandon();
    }
}

void Form5::buildControls() {
    Form5Controls& c = controls_;
    c.Label13 = platform::makeLabel(QStringLiteral("Label13"),
                                    QStringLiteral("请输入您要查询的网点名称："), this);
    c.Text1 = platform::makeNamed<QLineEdit>(QStringLiteral("Text1"), this);
    c.Command1 = platform::makeNamed<QPushButton>(QStringLiteral("Command1"), this);
    c.Command1->setText(QStringLiteral("查询"));
    c.Command1->setDefault(true);
    connect(c.Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    // A screen reader reads the name box by its label, and each value with its caption.
    c.Label13->setBuddy(c.Text1);
    c.Text1->setAccessibleName(QStringLiteral("网点名称"));

    for (int i = 0; i < BranchFields::kCount; ++i) {
        c.captions[i] =
            platform::makeLabel(QStringLiteral("Label%1").arg(2 * i + 1), kCaptions[i], this);
        QLabel* value =
            platform::makeLabel(QStringLiteral("Label%1").arg(2 * i + 2), kNotQueried, this);
        // Single-line values: a long answer is cut off at the window's edge instead of
        // widening the window; the delivery area can be read whole by clicking it.
        value->setWordWrap(false);
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        value->setMinimumWidth(i < 2 ? 120 : 360);
        value->setAccessibleDescription(QString(kCaptions[i]).remove(QChar(u'：')));
        if (!kLongestValues[i].isEmpty()) {
            platform::reserveWidthFor(value, {kLongestValues[i]});
        }
        c.values[i] = value;
    }
    QLabel* deliveryArea = c.values[4];
    // A click opens it whole; it is reachable by Tab after the name and "查询", where Enter
    // or Space open it too.
    platform::makeLink(deliveryArea, [this] { Label10_Click(); });
    setTabOrder(c.Text1, c.Command1);
    setTabOrder(c.Command1, deliveryArea);

    c.S1 = new platform::StatusBar(QStringLiteral("S1"), kStatusPanelCount, this, kMessagePanel);

    auto* top = new QHBoxLayout;
    top->addWidget(c.Label13);
    top->addWidget(c.Text1, 1);
    top->addWidget(c.Command1);

    auto* firstRow = new QHBoxLayout;
    firstRow->addWidget(pairFrame(QStringLiteral("Frame1"), c.captions[0], c.values[0], this), 1);
    firstRow->addWidget(pairFrame(QStringLiteral("Frame2"), c.captions[1], c.values[1], this), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(top);
    layout->addLayout(firstRow);
    for (int i = 2; i < BranchFields::kCount; ++i) {
        layout->addWidget(
            pairFrame(QStringLiteral("Frame%1").arg(i + 1), c.captions[i], c.values[i], this));
    }
    layout->addStretch(1);
    layout->addWidget(c.S1);
    // At least 520 px wide, and wider when its rows need it in the window's font (a least
    // width set on the window itself would hide theirs).
    const QMargins margins = layout->contentsMargins();
    layout->addItem(new QSpacerItem(520 - margins.left() - margins.right(), 0, QSizePolicy::Fixed,
                                    QSizePolicy::Fixed));
}

// The window as it opens: every value "未查询", an empty name box, the starting status.
void Form5::resetControls() {
    controls_.Text1->clear();
    for (QLabel* value : controls_.values) {
        value->setText(kNotQueried);
    }
    controls_.S1->setPanelText(kTitlePanel, kStatusTitle);
    controls_.S1->setPanelText(kMessagePanel, kStatusStart);
    controls_.Command1->setEnabled(true);
    controls_.Text1->setFocus();
}

void Form5::Command1_Click() {
    if (running_) {
        return;  // one query at a time; the button is disabled meanwhile
    }
    const QString name = controls_.Text1->text();
    if (name.isEmpty()) {
        controls_.S1->setPanelText(kMessagePanel, kEmptyName);
        return;
    }
    const QString url = branchQueryUrl(env_.addresses.branchSite, name);

    controls_.Command1->setEnabled(false);
    QPointer<Form5> self(this);
    const platform::FetchResult result = GetBody(env_, url, &running_);
    if (!self) {
        return;  // the window was deleted while the query waited
    }
    if (result.status == platform::FetchResult::Status::Abandoned) {
        return;  // the window was closed; reopening it starts afresh
    }
    controls_.Command1->setEnabled(true);

    if (!result.ok()) {
        // The site could not be asked: that says nothing about the branch, so what is
        // shown stays as it was.
        controls_.S1->setPanelText(kMessagePanel, kFetchFailed);
        return;
    }
    fields_ = cutBranchPage(result.text);
    showFields();
    if (!fields_.found()) {
        showNotFound();
    }
}

void Form5::showFields() {
    for (int i = 0; i < BranchFields::kCount; ++i) {
        controls_.values[i]->setText(fields_.field[i]);
    }
}

void Form5::showNotFound() {
    fields_ = BranchFields();
    for (QLabel* value : controls_.values) {
        value->setText(kNotQueried);
    }
    controls_.S1->setPanelText(kMessagePanel, kNotFound);
    env_.boxes->inform(this, kNotFound);
}

void Form5::Label10_Click() {
    const QString& deliveryArea = fields_.field[4];
    if (!deliveryArea.isEmpty()) {
        env_.boxes->inform(this, deliveryArea);
    }
}

void Form5::closeEvent(QCloseEvent* event) {
    // While a blocking request of the program waits, the close is asked again afterwards.
    if (env_.gate && env_.gate->deferClose(this, event)) {
        return;
    }
    QDialog::closeEvent(event);
}

// Every way of closing the window (close box, Escape, accept/reject) ends here.
void Form5::done(int result) {
    Form_QueryUnload();
    QDialog::done(result);
}

void Form5::Form_QueryUnload() {
    fields_ = BranchFields();
    closedOnce_ = true;
    if (running_) {
        running_->abandon();
    }
}

void Form5::showEvent(QShowEvent* event) {
    if (closedOnce_ && !event->spontaneous()) {
        closedOnce_ = false;
        resetControls();
    }
    QDialog::showEvent(event);
}

}  // namespace branch
