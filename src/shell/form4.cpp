#include "shell/form4.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "platform/browser.h"
#include "platform/controls.h"
#include "platform/version.h"
#include "shell/logo.h"

namespace shell {

namespace {

// Client area, in twips.
constexpr int kClientWidth = 6015;
constexpr int kClientHeight = 7155;

// The author's contacts.
constexpr const char* kYyAccount = "10000001";
constexpr const char* kQqAccount = "10000002";
constexpr const char* kMailAddress = "velmora.studio@example.com";

const QColor kProblemColor(255, 0, 0);
const QColor kExplanationColor(0, 0, 255);

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

    // The logo keeps its transparency over the window background.
    auto* logo = platform::makeLabel(QStringLiteral("aicAlphaImage1"), QString(), this);
    logo->setAttribute(Qt::WA_TranslucentBackground);
    logo->setScaledContents(true);
    logo->setPixmap(drawLogo());
    place(logo, 360, 240, 1125, 1395);

    auto* label9 = platform::makeLabel(
        QStringLiteral("Label9"), QStringLiteral("Trackoro\n\n© Velmora Studio 版权所有"), this);
    placeLabel(label9, 2520, 600);

    auto* label10 =
        platform::makeLabel(QStringLiteral("Label10"), QStringLiteral("版本号："), this);
    label10->setText(QStringLiteral("版本号：") + platform::versionText());
    placeLabel(label10, 2520, 1320);

    auto* label1 = platform::makeLabel(QStringLiteral("Label1"),
                                       QStringLiteral("Banner设计：\n"
                                                      "    Aster Lin (Velmora Studio)\n"
                                                      "程序设计:\n"
                                                      "    Velmora Studio\n"
                                                      "音频提供:\n"
                                                      "    Corin Vale\n"
                                                      "相关问题："),
                                       this);
    label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label1, 360, 1920, 4950, 1800);

    struct Problem {
        const char* name;
        const char* text;
        QColor color;
        int top;
    };
    const Problem problems[] = {
        {"Label2", "1.单号输入无误却显示单号不存在或错误", kProblemColor, 3720},
        {"Label11", "可能由于服务器正在进行数据更新,请您稍后再试", kExplanationColor, 3960},
        {"Label12", "2.数据不同步,与官方显示的信息不一致", kProblemColor, 4260},
        {"Label13",
         "由于本程序采用的是第三方信息资源,并非官方资源\n"
         "所以很可能出现数据不同步、数据延缓现象,请稍等片刻",
         kExplanationColor, 4500},
    };
    for (const Problem& problem : problems) {
        auto* label = platform::makeLabel(QString::fromLatin1(problem.name),
                                          QString::fromUtf8(problem.text), this);
        platform::setForeColor(label, problem.color);
        placeLabel(label, 360, problem.top);
    }

    auto* line1 = platform::makeNamed<QFrame>(QStringLiteral("Line1"), this);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    place(line1, 120, 5160, kClientWidth - 240, 30);

    auto* label3 =
        platform::makeLabel(QStringLiteral("Label3"), QStringLiteral("联系方式："), this);
    placeLabel(label3, 360, 5400);
    auto* label4 = platform::makeLabel(QStringLiteral("Label4"),
                                       QStringLiteral("YY：") + QLatin1String(kYyAccount), this);
    placeLabel(label4, 1560, 5400);
    auto* label5 = platform::makeLabel(QStringLiteral("Label5"),
                                       QStringLiteral("QQ：") + QLatin1String(kQqAccount), this);
    placeLabel(label5, 3360, 5400);
    label5->setToolTip(QStringLiteral("QQ交谈"));
    platform::makeLink(label5, [this] { Label5_Click(); });
    auto* label6 = platform::makeLabel(
        QStringLiteral("Label6"), QStringLiteral("E-mail：") + QLatin1String(kMailAddress), this);
    placeLabel(label6, 1560, 5640);
    label6->setToolTip(QStringLiteral("发送E-mail"));
    platform::makeLink(label6, [this] { Label6_Click(); });

    auto* line2 = platform::makeNamed<QFrame>(QStringLiteral("Line2"), this);
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    place(line2, 120, 5880, kClientWidth - 240, 30);

    auto* label7 = platform::makeLabel(QStringLiteral("Label7"),
                                       QStringLiteral("Zeluna系列软件官方论坛"), this);
    placeLabel(label7, 360, 6240);
    auto* label8 = platform::makeLabel(QStringLiteral("Label8"), forumUrl_.toString(), this);
    placeLabel(label8, 360, 6540);
    label8->setToolTip(QStringLiteral("访问Zeluna系列软件官方论坛"));
    platform::makeLink(label8, [this] { Label8_Click(); });

    auto* command1 =
        platform::makeNamed<QPushButton>(QStringLiteral("Command1"), QStringLiteral("确定"), this);
    command1->setDefault(true);
    place(command1, 3840, 6240, 1935, 495);
    connect(command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    // Tab goes 确定, then the links from top to bottom; Enter closes.
    setTabOrder(command1, label5);
    setTabOrder(label5, label6);
    setTabOrder(label6, label8);
    command1->setFocus();
}

QUrl Form4::chatUrl() {
    return QUrl(QStringLiteral("tencent://message/?uin=") + QLatin1String(kQqAccount));
}

QUrl Form4::mailUrl() {
    return QUrl(QStringLiteral("mailto:") + QLatin1String(kMailAddress));
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
