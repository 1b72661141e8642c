#include "shell/form4.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "base/version.h"
#include "platform/controls/controls.h"
#include "platform/system/browser.h"
#include "shell/logo.h"

namespace shell {

namespace {

// Client area, in twips.
constexpr int kClientWidth = 6015;
constexpr int kClientHeight = 7155;

// The author's contacts.
const QString kYyAccount = QStringLiteral("10000001");
const QString kQqAccount = QStringLiteral("10000002");
const QString kMailAddress = QStringLiteral("velmora.studio@example.com");

const QColor kProblemColor(255, 0, 0);
const QColor kExplanationColor(0, 0, 255);

QFrame* makeLine(const QString& name, QWidget* parent) {
    auto* line = platform::makeNamed<QFrame>(name, parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QIcon blankIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

}  // namespace

Form4::Form4(platform::BrowserLauncher* browser, const QUrl& forumUrl, QWidget* parent)
    : QDialog(parent), browser_(browser), forumUrl_(forumUrl) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("关于程序"));
    // The window shows no icon of its own.
    setWindowIcon(blankIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(platform::twipsToPixels(kClientWidth, this),
                 platform::twipsToPixels(kClientHeight, this));

    buildHeader();
    buildProblems();
    buildContacts();
    buildForumLink();

    Form4Controls& c = controls_;
    connect(c.Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    platform::makeLink(c.Label5, [this] { Label5_Click(); });
    platform::makeLink(c.Label6, [this] { Label6_Click(); });
    platform::makeLink(c.Label8, [this] { Label8_Click(); });
    // Tab goes 确定, then the links from top to bottom; Enter closes.
    setTabOrder(c.Command1, c.Label5);
    setTabOrder(c.Label5, c.Label6);
    setTabOrder(c.Label6, c.Label8);
    c.Command1->setFocus();
}

void Form4::buildHeader() {
    Form4Controls& c = controls_;
    // The logo keeps its transparency over the window background.
    c.aicAlphaImage1 = platform::makeLabel(QStringLiteral("aicAlphaImage1"), QString(), this);
    c.aicAlphaImage1->setAttribute(Qt::WA_TranslucentBackground);
    c.aicAlphaImage1->setScaledContents(true);
    c.aicAlphaImage1->setPixmap(drawLogo());
    c.aicAlphaImage1->setAccessibleName(QStringLiteral("Trackoro标志"));
    place(c.aicAlphaImage1, 360, 240, 1125, 1395);

    c.Label9 = platform::makeLabel(QStringLiteral("Label9"),
                                   QStringLiteral("Trackoro\n\n© Velmora Studio 版权所有"), this);
    placeLabel(c.Label9, 2520, 600);

    c.Label10 = platform::makeLabel(QStringLiteral("Label10"), QStringLiteral("版本号："), this);
    c.Label10->setText(QStringLiteral("版本号：") + base::versionText());
    placeLabel(c.Label10, 2520, 1320);

    c.Label1 = platform::makeLabel(QStringLiteral("Label1"),
                                   QStringLiteral("Banner设计：\n"
                                                  "    Aster Lin (Velmora Studio)\n"
                                                  "程序设计:\n"
                                                  "    Velmora Studio\n"
                                                  "音频提供:\n"
                                                  "    Corin Vale\n"
                                                  "相关问题："),
                                   this);
    c.Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(c.Label1, 360, 1920, 4950, 1800);
}

void Form4::buildProblems() {
    Form4Controls& c = controls_;
    struct Problem {
        QString name;
        QString text;
        QColor color;
        int top;
        QLabel** label;
    };
    const Problem problems[] = {
        {QStringLiteral("Label2"), QStringLiteral("1.单号输入无误却显示单号不存在或错误"),
         kProblemColor, 3720, &c.Label2},
        {QStringLiteral("Label11"), QStringLiteral("可能由于服务器正在进行数据更新,请您稍后再试"),
         kExplanationColor, 3960, &c.Label11},
        {QStringLiteral("Label12"), QStringLiteral("2.数据不同步,与官方显示的信息不一致"),
         kProblemColor, 4260, &c.Label12},
        {QStringLiteral("Label13"),
         QStringLiteral("由于本程序采用的是第三方信息资源,并非官方资源\n"
                        "所以很可能出现数据不同步、数据延缓现象,请稍等片刻"),
         kExplanationColor, 4500, &c.Label13},
    };
    for (const Problem& problem : problems) {
        *problem.label = platform::makeLabel(problem.name, problem.text, this);
        platform::setForeColor(*problem.label, problem.color);
        placeLabel(*problem.label, 360, problem.top);
    }
}

void Form4::buildContacts() {
    Form4Controls& c = controls_;
    c.Line1 = makeLine(QStringLiteral("Line1"), this);
    place(c.Line1, 120, 5160, kClientWidth - 240, 30);

    c.Label3 = platform::makeLabel(QStringLiteral("Label3"), QStringLiteral("联系方式："), this);
    placeLabel(c.Label3, 360, 5400);
    c.Label4 =
        platform::makeLabel(QStringLiteral("Label4"), QStringLiteral("YY：") + kYyAccount, this);
    placeLabel(c.Label4, 1560, 5400);
    c.Label5 =
        platform::makeLabel(QStringLiteral("Label5"), QStringLiteral("QQ：") + kQqAccount, this);
    placeLabel(c.Label5, 3360, 5400);
    c.Label5->setToolTip(QStringLiteral("QQ交谈"));
    c.Label6 = platform::makeLabel(QStringLiteral("Label6"),
                                   QStringLiteral("E-mail：") + kMailAddress, this);
    placeLabel(c.Label6, 1560, 5640);
    c.Label6->setToolTip(QStringLiteral("发送E-mail"));

    c.Line2 = makeLine(QStringLiteral("Line2"), this);
    place(c.Line2, 120, 5880, kClientWidth - 240, 30);
}

void Form4::buildForumLink() {
    Form4Controls& c = controls_;
    c.Label7 = platform::makeLabel(QStringLiteral("Label7"),
                                   QStringLiteral("Zeluna系列软件官方论坛"), this);
    placeLabel(c.Label7, 360, 6240);
    c.Label8 = platform::makeLabel(QStringLiteral("Label8"), forumUrl_.toString(), this);
    placeLabel(c.Label8, 360, 6540);
    c.Label8->setToolTip(QStringLiteral("访问Zeluna系列软件官方论坛"));

    c.Command1 =
        platform::makeNamed<QPushButton>(QStringLiteral("Command1"), QStringLiteral("确定"), this);
    c.Command1->setDefault(true);
    place(c.Command1, 3840, 6240, 1935, 495);
}

QUrl Form4::chatUrl() {
    return QUrl(QStringLiteral("tencent://message/?uin=") + kQqAccount);
}

QUrl Form4::mailUrl() {
    return QUrl(QStringLiteral("mailto:") + kMailAddress);
}

void Form4::Label5_Click() {
    open(chatUrl());
}

void Form4::Label6_Click() {
    open(mailUrl());
}

void Form4::Label8_Click() {
    open(forumUrl_);
}

void Form4::Command1_Click() {
    accept();
}

void Form4::place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(platform::twipsToPixels(left, this), platform::twipsToPixels(top, this),
                        platform::twipsToPixels(width, this),
                        platform::twipsToPixels(height, this));
}

void Form4::placeLabel(QLabel* label, int left, int top) {
    label->adjustSize();
    label->move(platform::twipsToPixels(left, this), platform::twipsToPixels(top, this));
}

void Form4::open(const QUrl& url) {
    // The outcome is not examined: a scheme without a handler is the system's business.
    if (browser_ != nullptr) {
        browser_->open(url);
    }
}

}  // namespace shell
