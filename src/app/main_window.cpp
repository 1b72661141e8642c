#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "branch/form5.h"
#include "history/history_handlers.h"
#include "history/number_history.h"
#include "requery/requery.h"
#include "search/form2.h"
#include "shell/form4.h"
#include "shell/list_click.h"
#include "shell/list_filter.h"
#include "platform/browser.h"
#include "platform/gate.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "platform/skin.h"
#include "platform/version.h"
#include "tracking/catalogue.h"

namespace app {

namespace {

constexpr int kKeyF8 = 119;

QGroupBox* makeFrame(const QString& name, const QString& caption, QWidget* parent) {
    return platform::makeNamed<QGroupBox>(name, caption, parent);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = platform::makeNamed<QPushButton>(name, caption, parent);
    button->setAutoDefault(false);
    return button;
}

QStringList numbers(int from, int to) {
    QStringList list;
    list.reserve(to - from + 1);
    for (int i = from; i <= to; ++i) {
        list.append(QString::number(i));
    }
    return list;
}

}  // namespace

Form1::Form1(const platform::Environment& env, QWidget* parent)
    : QMainWindow(parent), Inet1(env.network, env.gate, env.limits.maxBodyBytes), env_(env) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Trackoro V3.2 - For Brennick特别版"));
    buildControls();
    layoutControls();
    const history::HistoryControls historyControls{Text1, Combo1, Text2, S1};
    history_ = std::make_unique<history::NumberHistory>(historyControls, env_.programFolder);

    history::HistoryHandlers::Wiring wiring;
    wiring.Command3 = Command3;
    wiring.ListView1 = ListView1;
    wiring.boxes = env_.boxes;
    wiring.datasave = datasave;
    wiring.boxParent = this;
    wiring.runQuery = [this] { Command1_Click(); };
    wiring.resetLineCounts = [this] { resetLineCounts(); };
    historyHandlers_ =
        new history::HistoryHandlers(historyControls, history_.get(), wiring, this);
    connect(Text1, &platform::ComboBox::clicked, historyHandlers_,
            &history::HistoryHandlers::Text1_Click);
    connect(Command3, &QPushButton::clicked, historyHandlers_,
            &history::HistoryHandlers::Command3_Click);
    connect(Command9, &QPushButton::clicked, historyHandlers_,
            &history::HistoryHandlers::Command9_Click);
    connect(Command7, &QPushButton::clicked, historyHandlers_,
            &history::HistoryHandlers::Command7_Click);

    connect(Combo1, &platform::ComboBox::clicked, this, &Form1::Combo1_Click);
    connect(Combo5, &platform::ComboBox::clicked, this, &Form1::Combo5_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Timer1, &platform::Timer::tick, this, &Form1::Timer1_Timer);
    connect(Timer3, &platform::Timer::tick, this, &Form1::Timer3_Timer);
    requery::RequeryControls repeat;
    repeat.Frame4 = Frame4;
    repeat.Combo2 = Combo2;
    repeat.Combo3 = Combo3;
    repeat.Command8 = Command8;
    repeat.Timer4 = Timer4;
    repeat.Command10 = Command10;
    repeat.Frame6 = Frame6;
    repeat.Combo4 = Combo4;
    repeat.Command5 = Command5;
    repeat.Timer6 = Timer6;
    repeat.Command11 = Command11;
    repeat.Text1 = Text1;
    repeat.Combo1 = Combo1;
    repeat.Command9 = Command9;
    repeat.Command7 = Command7;
    repeat.Command2 = Command2;
    requery_ = new requery::Requery(repeat, env_.boxes, env_.clock, [this] { Command1_Click(); },
                                    this, this);
    listClick_ = new shell::ListClickHandler(ListView1, S1, this);
    connect(ListView1, &platform::ListView::listClicked, listClick_,
            &shell::ListClickHandler::ListView1_Click);

    // Key preview: the window sees every key press before the focused control does.
    qApp->installEventFilter(this);

    Form_Load();
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
}

void Form1::buildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1_Client"));
    setCentralWidget(central);
    using platform::ComboBox;

    Command3 = makeButton(QStringLiteral("Command3"), QStringLiteral("历史快递查询"), central);
    Frame7 = makeFrame(QStringLiteral("Frame7"), QString(), central);
    Combo5 = new ComboBox(QStringLiteral("Combo5"), ComboBox::Style::DropDownList, Frame7);

    Frame6 = makeFrame(QStringLiteral("Frame6"), QStringLiteral("循环查询功能"), central);
    Command11 = makeButton(QStringLiteral("Command11"), QStringLiteral("定时查询"), Frame6);
    Command5 = makeButton(QStringLiteral("Command5"), QStringLiteral("开始循环"), Frame6);
    Combo4 = new ComboBox(QStringLiteral("Combo4"), ComboBox::Style::DropDownList, Frame6);
    Label10 = platform::makeLabel(QStringLiteral("Label10"), QStringLiteral("每隔"), Frame6);
    Label8 = platform::makeLabel(QStringLiteral("Label8"), QStringLiteral("分钟自动进行一次查询"),
                                 Frame6);

    Frame5 = makeFrame(QStringLiteral("Frame5"), QString(), central);
    Label7 = platform::makeLabel(QStringLiteral("Label7"), QStringLiteral("是否更新：未查询"), Frame5);

    Frame4 = makeFrame(QStringLiteral("Frame4"), QStringLiteral("定时查询功能"), central);
    Command10 = makeButton(QStringLiteral("Command10"), QStringLiteral("循环查询"), Frame4);
    Combo2 = new ComboBox(QStringLiteral("Combo2"), ComboBox::Style::DropDownList, Frame4);
    Combo3 = new ComboBox(QStringLiteral("Combo3"), ComboBox::Style::DropDownList, Frame4);
    Command8 = makeButton(QStringLiteral("Command8"), QStringLiteral("开始定时"), Frame4);
    Label4 = platform::makeLabel(QStringLiteral("Label4"), QStringLiteral("请设定时间："), Frame4);
    Label5 = platform::makeLabel(QStringLiteral("Label5"), QStringLiteral("时"), Frame4);
    Label6 = platform::makeLabel(QStringLiteral("Label6"), QStringLiteral("分"), Frame4);

    Frame3 = makeFrame(QStringLiteral("Frame3"), QString(), central);
    Label3 = platform::makeLabel(QStringLiteral("Label3"), QStringLiteral("快件状态：未查询"), Frame3);

    Command1 = makeButton(QStringLiteral("Command1"), QStringLiteral("开始查询"), central);
    Command1->setEnabled(false);

    S1 = new platform::StatusBar(QStringLiteral("S1"), 5, this, 2);
    setStatusBar(S1);

    Frame2 = makeFrame(QStringLiteral("Frame2"), QStringLiteral("物流信息:[F8快捷粘贴单号]"), central);
    Text1 = new ComboBox(QStringLiteral("Text1"), ComboBox::Style::DropDownCombo, Frame2);
    Text2 = new QLineEdit(Frame2);
    Text2->setObjectName(QStringLiteral("Text2"));
    Command7 = makeButton(QStringLiteral("Command7"), QStringLiteral("清"), Frame2);
    Command9 = makeButton(QStringLiteral("Command9"), QStringLiteral("删"), Frame2);
    Command2 = makeButton(QStringLiteral("Command2"), QStringLiteral("快捷搜索"), Frame2);
    Combo1 = new ComboBox(QStringLiteral("Combo1"), ComboBox::Style::DropDownList, Frame2);
    Label9 = platform::makeLabel(QStringLiteral("Label9"), QStringLiteral("备注信息："), Frame2);
    Label2 = platform::makeLabel(QStringLiteral("Label2"), QStringLiteral("物流公司："), Frame2);
    Label1 = platform::makeLabel(QStringLiteral("Label1"), QStringLiteral("快件单号："), Frame2);

    Frame1 = makeFrame(QStringLiteral("Frame1"), QStringLiteral("物流跟踪"), central);
    datasave = env_.saveDialog;
    Timer6 = new platform::Timer(QStringLiteral("Timer6"), 60000, false, env_.gate, this);
    Timer4 = new platform::Timer(QStringLiteral("Timer4"), 1000, false, env_.gate, this);
    Timer3 = new platform::Timer(QStringLiteral("Timer3"), 1000, true, env_.gate, this);
    ListView1 = new platform::ListView(
        QStringLiteral("ListView1"),
        {{QStringLiteral("序号"), QStringLiteral("xh"), 600, QStringLiteral("32767")},
         {QStringLiteral("时间"), QStringLiteral("sj"), 2000, QStringLiteral("2026-12-03 15:21:33")},
         {QStringLiteral("物流进度"), QStringLiteral("wl"), 5200}},
        Frame1);
    W1 = env_.player;
    Timer1 = new platform::Timer(QStringLiteral("Timer1"), 100, false, env_.gate, this);
}

void Form1::layoutControls() {
    auto* client = centralWidget();
    auto* main = new QVBoxLayout(client);
    main->setContentsMargins(8, 8, 8, 4);
    main->setSpacing(6);

    // Query fields.
    auto* fields = new QGridLayout(Frame2);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(Text1, 0, 1);
    fields->addWidget(Command9, 0, 2);
    fields->addWidget(Command7, 0, 3);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(Combo1, 1, 1);
    fields->addWidget(Command2, 1, 2, 1, 2);
    fields->addWidget(Label9, 2, 0);
    fields->addWidget(Text2, 2, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    Command7->setFixedWidth(36);
    Command9->setFixedWidth(36);
    Text1->setMinimumContentsLength(24);
    Combo1->setMinimumContentsLength(16);
    Combo1->setMaxVisibleItems(20);
    Combo5->setMinimumContentsLength(12);
    main->addWidget(Frame2);

    // Buttons and the menu.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    auto* menuLayout = new QHBoxLayout(Frame7);
    menuLayout->setContentsMargins(4, 4, 4, 4);
    menuLayout->addWidget(Combo5);
    buttons->addStretch(1);
    buttons->addWidget(Frame7);
    main->addLayout(buttons);

    // Parcel status and change alert.
    auto* state = new QHBoxLayout;
    (new QHBoxLayout(Frame3))->addWidget(Label3);
    (new QHBoxLayout(Frame5))->addWidget(Label7);
    state->addWidget(Frame3, 1);
    state->addWidget(Frame5, 1);
    main->addLayout(state);

    // The two re-query panels share one place; exactly one of them is shown.
    auto* timed = new QGridLayout(Frame4);
    timed->addWidget(Label4, 1, 0);
    timed->addWidget(Combo2, 1, 1);
    timed->addWidget(Label5, 1, 2);
    timed->addWidget(Combo3, 1, 3);
    timed->addWidget(Label6, 1, 4);
    timed->setColumnStretch(5, 1);
    timed->addWidget(Command8, 1, 6);
    auto* loop = new QGridLayout(Frame6);
    loop->addWidget(Label10, 1, 0);
    loop->addWidget(Combo4, 1, 1);
    loop->addWidget(Label8, 1, 2);
    loop->setColumnStretch(3, 1);
    loop->addWidget(Command5, 1, 4);
    // The panel-switch buttons sit on their frame's top edge, at the right.
    for (QPushButton* small : {Command10, Command11}) {
        small->setFixedSize(small->sizeHint().width(), std::max(18, small->sizeHint().height() - 6));
        small->parentWidget()->installEventFilter(this);
    }
    auto* panels = new QGridLayout;
    panels->addWidget(Frame4, 0, 0);
    panels->addWidget(Frame6, 0, 0);
    Frame6->hide();
    main->addLayout(panels);

    // Progress list.
    auto* listLayout = new QVBoxLayout(Frame1);
    listLayout->setContentsMargins(4, 4, 4, 4);
    listLayout->addWidget(ListView1);
    main->addWidget(Frame1, 1);


    // The keyboard goes through the query fields first, then the buttons, the menu, the
    // re-query panel (whichever is shown) and the list.
    const QList<QWidget*> tabOrder = {Text1,    Combo1,   Text2,    Command1, Command3,
                                      Combo5,   Command9, Command7, Command2, Command10,
                                      Combo2,   Combo3,   Command8, Command11, Combo4,
                                      Command5, ListView1};
    for (int i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
    // The status line holds its longest running messages whole: a courier being asked, and
    // the quick search's find, for every courier.
    QStringList messages;
    for (const QString& courier : tracking::courierNames()) {
        messages << queryingText(courier) << search::Form2::foundText(courier);
    }
    platform::reserveWidthFor(S1->panel(2), messages);
    // Wide enough for every column at its least width.
    resize(ListView1->leastColumnsWidth() + 60, 600);
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centred_ = true;
        if (QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - rect().center());
        }
    }
}

void Form1::status(const QString& text) {
    S1->setPanelText(2, text);
}

void Form1::Form_Load() {
    kdlb();

    platform::SkinEngine skin(this);
    skin.SkinH_AttachEx(env_.programFile(QStringLiteral("skinh.she")), QString());
    skin.SkinH_AdjustHSV(88, 0, 0);

    // Column widths stay as the program set them.
    shell::installListFilter(ListView1);

    W1->setUrl(env_.programFile(QStringLiteral("zeluna.mp3")));

    Combo2->appendItems(numbers(0, 23));
    Combo3->appendItems(numbers(0, 59));
    Combo4->appendItems(numbers(1, 360));
    Combo2->setListIndex(0);
    Combo3->setListIndex(0);

    setWindowIcon(QIcon());

    Combo5->appendItems({QStringLiteral("导出信息"), QStringLiteral("关于程序"),
                         QStringLiteral("访问论坛"), QStringLiteral("网点信息查询"),
                         QStringLiteral("Velmora官方网站")});

    S1->setPanelText(1, QStringLiteral("查询提示："));
    status(QStringLiteral("程序检测更新中.."));
    S1->setPanelText(3, platform::versionText());
    S1->setPanelText(4, QStringLiteral("Velmora出品"));
    S1->makeClockPanel(5, env_.clock);
}

void Form1::kdlb() {
    Combo1->appendItems(tracking::courierNames());
    Frame2->setTitle(QStringLiteral("物流信息 [当前支持:%1家物流公司]F8快捷粘贴单号").arg(Combo1->count()));
}

void Form1::Combo1_Click() {
    const int position = Combo1->listIndex();
    if (position >= 0 && position < tracking::kCourierCount) {
        courierCode_ = tracking::courierCode(position);
    }
}

void Form1::Combo5_Click() {
    switch (Combo5->listIndex()) {
        case 0:
            exportList();
            break;
        case 1:
            showAbout();
            break;
        case 2:
            env_.browser->open(env_.addresses.forum);
            break;
        case 3:
            showBranchLookup();
            break;
        case 4:
            env_.browser->open(env_.addresses.website);
            break;
        default:
            break;
    }
}

void Form1::exportList() {
    historyHandlers_->exportMenu();
}

void Form1::showAbout() {
    shell::Form4 about(env_.browser, env_.addresses.forum, this);
    about.exec();
}

void Form1::showBranchLookup() {
    // A fresh window each time; closing it deletes it, also while a lookup still waits.
    auto* lookup = new branch::Form5(env_, this);
    lookup->setAttribute(Qt::WA_DeleteOnClose);
    lookup->exec();
}

void Form1::Command2_Click() {
    search::Form2 quickSearch(Combo1, S1, env_.boxes, this);
    quickSearch.exec();
}

void Form1::Form_KeyDown(int keyCode, int) {
    if (keyCode == kKeyF8) {
        Text1->setText(QGuiApplication::clipboard()->text());
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == Frame4 || watched == Frame6)) {
        QPushButton* small = watched == Frame4 ? Command10 : Command11;
        small->move(static_cast<QWidget*>(watched)->width() - small->width() - 12, 0);
        small->raise();
    }
    // Key preview: a key press is seen once, at the widget of this window that receives it
    // first (the focused one), before that widget handles it.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        QWidget* focus = QApplication::focusWidget();
        const QWidget* first = focus ? focus : this;
        if (watched == first && first->window() == this) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_F8) {
                Form_KeyDown(kKeyF8, 0);  // the key goes on to the focused control
            } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && focus) {
                // Enter presses the focused button, and in the query fields it starts the
                // query as a click on "开始查询" would (so not while that button is disabled).
                if (auto* button = qobject_cast<QPushButton*>(focus)) {
                    button->click();
                    return true;
                }
                if (focus == Text1 || focus == Text1->lineEdit() || focus == Text2 ||
                    focus == Combo1) {
                    Command1->click();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Form1::Form_QueryUnload() {
    const QString text = QStringLiteral(
        "感谢您对Tovian、对Zeluna系列的软件的支持!\r \r"
        "是否退出并到论坛可以下载更多Zeluna系列原创免费软件?");
    const auto answer = env_.boxes->show(this, text, platform::MessageBoxes::Icon::Information,
                                         platform::MessageBoxes::Buttons::YesNoCancel,
                                         QString::fromUtf8(platform::kBoxTitle));
    using Answer = platform::MessageBoxes::Answer;
    if (answer == Answer::Yes) {
        env_.browser->open(env_.addresses.forum);
        return false;
    }
    return answer != Answer::No;
}

void Form1::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    if (env_.gate && env_.gate->deferClose(this, event)) {
        return;
    }
    if (Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    ended_ = true;
    emit programEnded();
}

void Form1::endProgram() {
    ended_ = true;
    for (platform::Timer* timer : {Timer1, Timer3, Timer4, Timer6}) {
        timer->setEnabled(false);
    }
    close();
    emit programEnded();
}

void Form1::resetLineCounts() {
    previousLineCount_ = 0;
    currentLineCount_ = 0;
}

}  // namespace app
