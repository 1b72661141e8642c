#include "app/form1_controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QVBoxLayout>

#include "app/query_flow.h"
#include "search/form2.h"
#include "tracking/catalogue.h"

namespace app {

namespace {

using platform::ComboBox;

QGroupBox* makeFrame(const QString& name, const QString& caption, QWidget* parent) {
    return platform::makeNamed<QGroupBox>(name, caption, parent);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = platform::makeNamed<QPushButton>(name, caption, parent);
    button->setAutoDefault(false);
    return button;
}

void buildLoopPanel(Form1Controls& c, QWidget* central) {
    c.Frame6 = makeFrame(QStringLiteral("Frame6"), QStringLiteral("循环查询功能"), central);
    c.Command11 = makeButton(QStringLiteral("Command11"), QStringLiteral("定时查询"), c.Frame6);
    c.Command5 = makeButton(QStringLiteral("Command5"), QStringLiteral("开始循环"), c.Frame6);
    c.Combo4 = new ComboBox(QStringLiteral("Combo4"), ComboBox::Style::DropDownList, c.Frame6);
    c.Label10 = platform::makeLabel(QStringLiteral("Label10"), QStringLiteral("每隔"), c.Frame6);
    c.Label8 = platform::makeLabel(QStringLiteral("Label8"), QStringLiteral("分钟自动进行一次查询"),
                                   c.Frame6);
}

void buildTimedPanel(Form1Controls& c, QWidget* central) {
    c.Frame4 = makeFrame(QStringLiteral("Frame4"), QStringLiteral("定时查询功能"), central);
    c.Command10 = makeButton(QStringLiteral("Command10"), QStringLiteral("循环查询"), c.Frame4);
    c.Combo2 = new ComboBox(QStringLiteral("Combo2"), ComboBox::Style::DropDownList, c.Frame4);
    c.Combo3 = new ComboBox(QStringLiteral("Combo3"), ComboBox::Style::DropDownList, c.Frame4);
    c.Command8 = makeButton(QStringLiteral("Command8"), QStringLiteral("开始定时"), c.Frame4);
    c.Label4 =
        platform::makeLabel(QStringLiteral("Label4"), QStringLiteral("请设定时间："), c.Frame4);
    c.Label5 = platform::makeLabel(QStringLiteral("Label5"), QStringLiteral("时"), c.Frame4);
    c.Label6 = platform::makeLabel(QStringLiteral("Label6"), QStringLiteral("分"), c.Frame4);
}

void buildQueryFields(Form1Controls& c, QWidget* central) {
    c.Frame2 =
        makeFrame(QStringLiteral("Frame2"), QStringLiteral("物流信息:[F8快捷粘贴单号]"), central);
    c.Text1 = new ComboBox(QStringLiteral("Text1"), ComboBox::Style::DropDownCombo, c.Frame2);
    c.Text2 = platform::makeNamed<QLineEdit>(QStringLiteral("Text2"), c.Frame2);
    c.Command7 = makeButton(QStringLiteral("Command7"), QStringLiteral("清"), c.Frame2);
    c.Command9 = makeButton(QStringLiteral("Command9"), QStringLiteral("删"), c.Frame2);
    c.Command2 = makeButton(QStringLiteral("Command2"), QStringLiteral("快捷搜索"), c.Frame2);
    c.Combo1 = new ComboBox(QStringLiteral("Combo1"), ComboBox::Style::DropDownList, c.Frame2);
    c.Label9 =
        platform::makeLabel(QStringLiteral("Label9"), QStringLiteral("备注信息："), c.Frame2);
    c.Label2 =
        platform::makeLabel(QStringLiteral("Label2"), QStringLiteral("物流公司："), c.Frame2);
    c.Label1 =
        platform::makeLabel(QStringLiteral("Label1"), QStringLiteral("快件单号："), c.Frame2);
}

void buildTimersAndList(Form1Controls& c, QMainWindow* window, const platform::Environment& env) {
    c.Frame1 =
        makeFrame(QStringLiteral("Frame1"), QStringLiteral("物流跟踪"), window->centralWidget());
    c.Timer6 = new platform::Timer(QStringLiteral("Timer6"), 60000, false, env.gate, window);
    c.Timer4 = new platform::Timer(QStringLiteral("Timer4"), 1000, false, env.gate, window);
    c.Timer3 = new platform::Timer(QStringLiteral("Timer3"), 1000, true, env.gate, window);
    c.ListView1 = new platform::ListView(
        QStringLiteral("ListView1"),
        {{QStringLiteral("序号"), QStringLiteral("xh"), 600, QStringLiteral("32767")},
         {QStringLiteral("时间"), QStringLiteral("sj"), 2000,
          QStringLiteral("2026-12-03 15:21:33")},
         {QStringLiteral("物流进度"), QStringLiteral("wl"), 5200}},
        c.Frame1);
    c.W1 = env.player;
    c.Timer1 = new platform::Timer(QStringLiteral("Timer1"), 100, false, env.gate, window);
}

void layoutQueryFields(const Form1Controls& c) {
    auto* fields = new QGridLayout(c.Frame2);
    fields->addWidget(c.Label1, 0, 0);
    fields->addWidget(c.Text1, 0, 1);
    fields->addWidget(c.Command9, 0, 2);
    fields->addWidget(c.Command7, 0, 3);
    fields->addWidget(c.Label2, 1, 0);
    fields->addWidget(c.Combo1, 1, 1);
    fields->addWidget(c.Command2, 1, 2, 1, 2);
    fields->addWidget(c.Label9, 2, 0);
    fields->addWidget(c.Text2, 2, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    c.Command7->setFixedWidth(36);
    c.Command9->setFixedWidth(36);
    c.Text1->setMinimumContentsLength(24);
    c.Combo1->setMinimumContentsLength(16);
    c.Combo1->setMaxVisibleItems(20);
    c.Combo5->setMinimumContentsLength(12);
}

// The two re-query panels share one place; exactly one of them is shown.
QGridLayout* layoutRequeryPanels(const Form1Controls& c, QObject* buttonFilter) {
    auto* timed = new QGridLayout(c.Frame4);
    timed->addWidget(c.Label4, 1, 0);
    timed->addWidget(c.Combo2, 1, 1);
    timed->addWidget(c.Label5, 1, 2);
    timed->addWidget(c.Combo3, 1, 3);
    timed->addWidget(c.Label6, 1, 4);
    timed->setColumnStretch(5, 1);
    timed->addWidget(c.Command8, 1, 6);
    auto* loop = new QGridLayout(c.Frame6);
    loop->addWidget(c.Label10, 1, 0);
    loop->addWidget(c.Combo4, 1, 1);
    loop->addWidget(c.Label8, 1, 2);
    loop->setColumnStretch(3, 1);
    loop->addWidget(c.Command5, 1, 4);
    // The panel-switch buttons sit on their frame's top edge, at the right.
    for (QPushButton* small : {c.Command10, c.Command11}) {
        small->setFixedSize(small->sizeHint().width(),
                            std::max(18, small->sizeHint().height() - 6));
        small->parentWidget()->installEventFilter(buttonFilter);
    }
    auto* panels = new QGridLayout;
    panels->addWidget(c.Frame4, 0, 0);
    panels->addWidget(c.Frame6, 0, 0);
    c.Frame6->hide();
    return panels;
}

// The keyboard goes through the query fields first, then the buttons, the menu, the
// re-query panel (whichever is shown) and the list.
void setTabOrder(const Form1Controls& c, QWidget* window) {
    const QList<QWidget*> tabOrder = {c.Text1,    c.Combo1,   c.Text2,    c.Command1,  c.Command3,
                                      c.Combo5,   c.Command9, c.Command7, c.Command2,  c.Command10,
                                      c.Combo2,   c.Combo3,   c.Command8, c.Command11, c.Combo4,
                                      c.Command5, c.ListView1};
    for (int i = 1; i < tabOrder.size(); ++i) {
        window->setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    }
}

// What a screen reader reads for each control: the inputs by their labels (buddies, so the
// label and its control are linked too, and names without the colon), the one-character
// buttons by what they delete, the selectors and the list by names of their own. Only
// accessibility properties: every caption and text on screen stays as it is.
void nameForScreenReaders(const Form1Controls& c) {
    const auto name = [](QWidget* widget, const QString& name, const QString& description = {}) {
        widget->setAccessibleName(name);
        if (!description.isEmpty()) {
            widget->setAccessibleDescription(description);
        }
    };
    c.Label1->setBuddy(c.Text1);
    c.Label2->setBuddy(c.Combo1);
    c.Label9->setBuddy(c.Text2);
    c.Label5->setBuddy(c.Combo2);
    c.Label6->setBuddy(c.Combo3);
    c.Label10->setBuddy(c.Combo4);
    name(c.Text1, QStringLiteral("快件单号"), QStringLiteral("按F8粘贴剪贴板中的单号"));
    name(c.Text1->lineEdit(), QStringLiteral("快件单号"));
    name(c.Combo1, QStringLiteral("物流公司"));
    name(c.Text2, QStringLiteral("备注信息"));
    name(c.Command9, QStringLiteral("删"), QStringLiteral("从查询列表中删除当前单号"));
    name(c.Command7, QStringLiteral("清"), QStringLiteral("清空查询列表中的全部单号"));
    name(c.Combo5, QStringLiteral("功能菜单"),
         QStringLiteral("导出信息、关于程序、访问论坛、网点信息查询、官方网站"));
    name(c.Combo2, QStringLiteral("时"), QStringLiteral("请设定时间：定时查询的小时"));
    name(c.Combo3, QStringLiteral("分"), QStringLiteral("请设定时间：定时查询的分钟"));
    name(c.Combo4, QStringLiteral("每隔几分钟"), QStringLiteral("每隔几分钟自动进行一次查询"));
    name(c.ListView1, QStringLiteral("物流进度"),
         QStringLiteral("最近一次查询的物流进度，最新的在最上面"));
    // The two state labels are read by their text, which names what they show
    // ("快件状态：…", "是否更新：…"); a name of their own would hide it.
    c.Label3->setAccessibleDescription(QStringLiteral("最近一次查询的快件状态"));
    c.Label7->setAccessibleDescription(QStringLiteral("最近一次查询是否有新的物流进度"));
    c.S1->panel(kMessagePanel)->setAccessibleDescription(QStringLiteral("查询提示"));
}

}  // namespace

Form1Controls buildForm1Controls(QMainWindow* window, const platform::Environment& env) {
    Form1Controls c;
    auto* central = new QWidget(window);
    central->setObjectName(QStringLiteral("Form1_Client"));
    window->setCentralWidget(central);

    c.Command3 = makeButton(QStringLiteral("Command3"), QStringLiteral("历史快递查询"), central);
    c.Frame7 = makeFrame(QStringLiteral("Frame7"), QString(), central);
    c.Combo5 = new ComboBox(QStringLiteral("Combo5"), ComboBox::Style::DropDownList, c.Frame7);
    buildLoopPanel(c, central);
    c.Frame5 = makeFrame(QStringLiteral("Frame5"), QString(), central);
    c.Label7 =
        platform::makeLabel(QStringLiteral("Label7"), QStringLiteral("是否更新：未查询"), c.Frame5);
    buildTimedPanel(c, central);
    c.Frame3 = makeFrame(QStringLiteral("Frame3"), QString(), central);
    c.Label3 =
        platform::makeLabel(QStringLiteral("Label3"), QStringLiteral("快件状态：未查询"), c.Frame3);
    c.Command1 = makeButton(QStringLiteral("Command1"), QStringLiteral("开始查询"), central);
    c.Command1->setEnabled(false);
    c.S1 = new platform::StatusBar(QStringLiteral("S1"), kStatusPanelCount, window, kMessagePanel);
    window->setStatusBar(c.S1);
    buildQueryFields(c, central);
    buildTimersAndList(c, window, env);
    return c;
}

void layoutForm1Controls(const Form1Controls& c, QMainWindow* window, QObject* buttonFilter) {
    auto* main = new QVBoxLayout(window->centralWidget());
    main->setContentsMargins(8, 8, 8, 4);
    main->setSpacing(6);

    layoutQueryFields(c);
    main->addWidget(c.Frame2);

    // Buttons and the menu.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c.Command1);
    buttons->addWidget(c.Command3);
    auto* menuLayout = new QHBoxLayout(c.Frame7);
    menuLayout->setContentsMargins(4, 4, 4, 4);
    menuLayout->addWidget(c.Combo5);
    buttons->addStretch(1);
    buttons->addWidget(c.Frame7);
    main->addLayout(buttons);

    // Parcel status and change alert.
    auto* state = new QHBoxLayout;
    (new QHBoxLayout(c.Frame3))->addWidget(c.Label3);
    (new QHBoxLayout(c.Frame5))->addWidget(c.Label7);
    state->addWidget(c.Frame3, 1);
    state->addWidget(c.Frame5, 1);
    main->addLayout(state);

    main->addLayout(layoutRequeryPanels(c, buttonFilter));

    // Progress list.
    auto* listLayout = new QVBoxLayout(c.Frame1);
    listLayout->setContentsMargins(4, 4, 4, 4);
    listLayout->addWidget(c.ListView1);
    main->addWidget(c.Frame1, 1);

    setTabOrder(c, window);
    nameForScreenReaders(c);
    // The status line holds its longest running messages whole: a courier being asked, and
    // the quick search's find, for every courier.
    QStringList messages;
    for (const QString& courier : tracking::courierNames()) {
        messages << QueryFlow::queryingText(courier) << search::Form2::foundText(courier);
    }
    platform::reserveWidthFor(c.S1->panel(kMessagePanel), messages);
    // Wide enough for every column at its least width.
    window->resize(c.ListView1->leastColumnsWidth() + 60, 600);
}

}  // namespace app
