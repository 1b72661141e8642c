// The main window at start-up: its controls, the courier selector, F8, the menu, the exit
// question and the update check.
#include <QClipboard>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "base/version.h"
#include "support/activation.h"
#include "support/main_window_fixture.h"

using platform::MessageBoxes;
using testsupport::MainWindowFixture;
using testsupport::TestHttpServer;

// Sets a test up before the window is made.
using Arrange = std::function<void(MainWindowFixture&)>;
Q_DECLARE_METATYPE(Arrange)

class TstForm1 : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // Start-up
    void windowAndFrames();
    void controlsStartAsSpecified();
    void selectorsFilled();
    void statusBarPanels();
    void progressListColumns();
    void startupSoundAndTimers();

    // Courier catalogue
    void catalogueCodesByPosition_data();
    void catalogueCodesByPosition();
    void selectionByTextSetsTheCode();
    void clearedSelectionKeepsTheCode();
    void textMatchingNoCourierChangesNothing();
    void userPickOfTheSameEntryRunsTheHandlerAgain();

    // F8
    void f8PastesFromAnyControl_data();
    void f8PastesFromAnyControl();
    void otherKeysDoNothing();

    // Keyboard
    void tabGoesThroughTheFieldsFirst();
    void enterInTheFieldsStartsTheQuery();
    void enterPressesTheFocusedButton();

    // Exit question
    void exitQuestionText();
    void exitCancelKeepsEverything_data();
    void exitCancelKeepsEverything();
    void exitYesOrNoEndsTheProgram_data();
    void exitYesOrNoEndsTheProgram();

    // Menu
    void menuOpensForumAndWebSite();
    void menuKeepsItsEntryAndRunsTwice();
    void menuWithoutSelectionDoesNothing();
    void menuAndQuickSearchOpenTheirWindows_data();
    void menuAndQuickSearchOpenTheirWindows();

    // Update check
    void updateUpToDate_data();
    void updateUpToDate();
    void updateNewerVersionEndsTheProgram_data();
    void updateNewerVersionEndsTheProgram();
    void updateFailure_data();
    void updateFailure();
    void updateServerThatNeverAnswers();
    void updateCheckRunsOnceAfterOneSecond();
    void statusShowsCheckWhileWaiting();

private:
    std::unique_ptr<MainWindowFixture> f;
};

void TstForm1::windowAndFrames() {
    app::Form1* form = f->open(false);
    QCOMPARE(form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(form->windowTitle(), QStringLiteral("Trackoro V3.2 - For Brennick特别版"));
    QCOMPARE(form->controls().Frame2->title(),
             QStringLiteral("物流信息 [当前支持:127家物流公司]F8快捷粘贴单号"));
    QCOMPARE(form->controls().Frame1->title(), QStringLiteral("物流跟踪"));
    QCOMPARE(form->controls().Frame4->title(), QStringLiteral("定时查询功能"));
    QCOMPARE(form->controls().Frame6->title(), QStringLiteral("循环查询功能"));
    QVERIFY(form->controls().Frame4->isVisible());
    QVERIFY(!form->controls().Frame6->isVisible());
    QVERIFY(form->windowIcon().isNull());
}

void TstForm1::controlsStartAsSpecified() {
    app::Form1* form = f->open(false);
    struct Expected {
        const char* name;
        const char* caption;
    };
    const Expected buttons[] = {
        {"Command3", "历史快递查询"}, {"Command11", "定时查询"}, {"Command5", "开始循环"},
        {"Command10", "循环查询"},    {"Command8", "开始定时"},  {"Command1", "开始查询"},
        {"Command7", "清"},           {"Command9", "删"},        {"Command2", "快捷搜索"},
    };
    for (const Expected& e : buttons) {
        auto* button = form->findChild<QPushButton*>(QString::fromLatin1(e.name));
        QVERIFY2(button, e.name);
        QCOMPARE(button->text(), QString::fromUtf8(e.caption));
    }
    const Expected labels[] = {
        {"Label10", "每隔"},
        {"Label8", "分钟自动进行一次查询"},
        {"Label7", "是否更新：未查询"},
        {"Label4", "请设定时间："},
        {"Label5", "时"},
        {"Label6", "分"},
        {"Label3", "快件状态：未查询"},
        {"Label9", "备注信息："},
        {"Label2", "物流公司："},
        {"Label1", "快件单号："},
    };
    for (const Expected& e : labels) {
        auto* label = form->findChild<QLabel*>(QString::fromLatin1(e.name));
        QVERIFY2(label, e.name);
        QCOMPARE(label->text(), QString::fromUtf8(e.caption));
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QVERIFY(!form->controls().Command1->isEnabled());
    QVERIFY(form->findChild<platform::ComboBox*>(QStringLiteral("Text1"))->isEditable());
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(form->controls().Text1->count(), 0);
    QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("Text2"))->text(), QString());
    for (const char* name :
         {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6", "Frame7"}) {
        QVERIFY2(form->findChild<QGroupBox*>(QString::fromLatin1(name)), name);
    }
    QVERIFY(form->findChild<platform::ListView*>(QStringLiteral("ListView1")));
    QVERIFY(form->findChild<platform::StatusBar*>(QStringLiteral("S1")));
    QCOMPARE(form->controls().Combo1->text(), QString());
    QCOMPARE(form->queryFlow()->courierCode(), QString());
}

void TstForm1::selectorsFilled() {
    app::Form1* form = f->open(false);
    QCOMPARE(form->controls().Combo1->count(), 127);
    QCOMPARE(form->controls().Combo1->listIndex(), -1);
    QCOMPARE(form->controls().Combo2->count(), 24);
    QCOMPARE(form->controls().Combo2->text(), QStringLiteral("0"));
    QCOMPARE(form->controls().Combo2->itemText(23), QStringLiteral("23"));
    QCOMPARE(form->controls().Combo3->count(), 60);
    QCOMPARE(form->controls().Combo3->text(), QStringLiteral("0"));
    QCOMPARE(form->controls().Combo3->itemText(59), QStringLiteral("59"));
    QCOMPARE(form->controls().Combo4->count(), 360);
    QCOMPARE(form->controls().Combo4->listIndex(), -1);
    QCOMPARE(form->controls().Combo4->text(), QString());
    QCOMPARE(form->controls().Combo4->itemText(0), QStringLiteral("1"));
    QCOMPARE(form->controls().Combo4->itemText(359), QStringLiteral("360"));
    QCOMPARE(form->controls().Combo5->items(),
             QStringList({QStringLiteral("导出信息"), QStringLiteral("关于程序"),
                          QStringLiteral("访问论坛"), QStringLiteral("网点信息查询"),
                          QStringLiteral("Velmora官方网站"), QStringLiteral("全部快件")}));
    QCOMPARE(form->controls().Combo5->listIndex(), -1);
}

void TstForm1::statusBarPanels() {
    f->t.clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 30, 40)));
    app::Form1* form = f->open(false);
    QCOMPARE(form->controls().S1->panelCount(), 5);
    QCOMPARE(form->controls().S1->panelText(1), QStringLiteral("查询提示："));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("程序检测更新中.."));
    QCOMPARE(form->controls().S1->panelText(3), QStringLiteral("3.2.118"));
    QCOMPARE(form->controls().S1->panelText(4), QStringLiteral("Velmora出品"));
    QCOMPARE(form->controls().S1->panelText(5), QStringLiteral("14:30:40"));
    // The clock panel keeps itself up to date.
    f->t.clock.set(QDateTime(QDate(2026, 12, 7), QTime(14, 31, 2)));
    QTRY_COMPARE(form->controls().S1->panelText(5), QStringLiteral("14:31:02"));
    QVERIFY(form->controls().S1->panel(3)->isVisible());
}

void TstForm1::progressListColumns() {
    app::Form1* form = f->open(false);
    QCOMPARE(form->controls().ListView1->count(), 0);
    auto* model = form->controls().ListView1->model();
    QCOMPARE(model->columnCount(), 3);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("序号"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("时间"));
    QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("物流进度"));
    QCOMPARE(form->controls().ListView1->subItemIndex(QStringLiteral("xh")), 0);
    QCOMPARE(form->controls().ListView1->subItemIndex(QStringLiteral("sj")), 1);
    QCOMPARE(form->controls().ListView1->subItemIndex(QStringLiteral("wl")), 2);
    // The column widths are measured in tst_columns.
    QCOMPARE(form->controls().ListView1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TstForm1::startupSoundAndTimers() {
    f->writeHistory("1234|EMS快递|a\r\n");
    app::Form1* form = f->open(false);
    QCOMPARE(f->t.player.played(), QStringList{f->t.programFile(QStringLiteral("zeluna.mp3"))});
    QCOMPARE(form->controls().W1->volume(), 50);
    QCOMPARE(form->controls().Timer1->interval(), 100);
    QVERIFY(!form->controls().Timer1->isEnabled());
    QCOMPARE(form->controls().Timer3->interval(), 1000);
    QVERIFY(form->controls().Timer3->isEnabled());
    QCOMPARE(form->controls().Timer4->interval(), 1000);
    QVERIFY(!form->controls().Timer4->isEnabled());
    QCOMPARE(form->controls().Timer6->interval(), 60000);
    QVERIFY(!form->controls().Timer6->isEnabled());
    // The history is not read at start-up.
    QCOMPARE(form->controls().Text1->count(), 0);
}

void TstForm1::catalogueCodesByPosition_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << "aae"
                       << "AAE快递";
    QTest::newRow("29") << 29 << "fedex"
                        << "国际Fedex";
    QTest::newRow("30") << 30 << "fedexcn"
                        << "Fedex国内";
    QTest::newRow("40") << 40 << "gongsuda"
                        << "共速达物流|快递";
    QTest::newRow("63") << 63 << "kuaijie"
                        << "快捷快递";
    QTest::newRow("91") << 91 << "shunfeng"
                        << "顺丰快递";
    QTest::newRow("126") << 126 << "zhongyou"
                         << "中邮物流";
}

void TstForm1::catalogueCodesByPosition() {
    QFETCH(int, position);
    QFETCH(QString, code);
    QFETCH(QString, name);
    app::Form1* form = f->open(false);
    form->controls().Combo1->setListIndex(position);
    QCOMPARE(form->queryFlow()->courierCode(), code);
    QCOMPARE(form->controls().Combo1->text(), name);
}

void TstForm1::selectionByTextSetsTheCode() {
    app::Form1* form = f->open(false);
    form->controls().Combo1->setText(QStringLiteral("EMS快递"));
    QCOMPARE(form->controls().Combo1->listIndex(), 26);
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("ems"));
    form->controls().Combo1->setText(QStringLiteral("共速达物流|快递"));
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("gongsuda"));
}

void TstForm1::clearedSelectionKeepsTheCode() {
    app::Form1* form = f->open(false);
    form->controls().Combo1->setListIndex(91);
    form->controls().Combo1->setListIndex(-1);
    QCOMPARE(form->controls().Combo1->text(), QString());
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("shunfeng"));
}

void TstForm1::textMatchingNoCourierChangesNothing() {
    app::Form1* form = f->open(false);
    form->controls().Combo1->setListIndex(91);
    QSignalSpy clicks(form->controls().Combo1, &platform::ComboBox::clicked);
    form->controls().Combo1->setText(QStringLiteral("共速达物流"));
    form->controls().Combo1->setText(QStringLiteral("ems快递"));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(form->controls().Combo1->listIndex(), 91);
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("shunfeng"));
}

void TstForm1::userPickOfTheSameEntryRunsTheHandlerAgain() {
    app::Form1* form = f->open(false);
    QSignalSpy clicks(form->controls().Combo1, &platform::ComboBox::clicked);
    // The keyboard picks the next entry: the handler runs and sets the code.
    form->controls().Combo1->setFocus();
    QTest::keyClick(form->controls().Combo1, Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("aae"));
    // Picking the selected entry again runs the handler again.
    emit form->controls().Combo1->activated(form->controls().Combo1->listIndex());
    QCOMPARE(clicks.count(), 2);
    // Selecting from code runs it too, also for the entry already selected.
    form->controls().Combo1->setListIndex(0);
    QCOMPARE(clicks.count(), 3);
}

void TstForm1::f8PastesFromAnyControl_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("clipboard");  // empty: the clipboard holds no text
    QTest::addColumn<bool>("numberBoxLocked");
    const QString number = QStringLiteral("SF1234567");
    QTest::newRow("Text2") << "Text2" << int(Qt::NoModifier) << number << false;
    QTest::newRow("Combo1") << "Combo1" << int(Qt::NoModifier) << number << false;
    QTest::newRow("Text1") << "Text1" << int(Qt::NoModifier) << number << false;
    QTest::newRow("ListView1") << "ListView1" << int(Qt::NoModifier) << number << false;
    QTest::newRow("Command3 with Shift") << "Command3" << int(Qt::ShiftModifier) << number << false;
    QTest::newRow("empty clipboard empties the number")
        << "Text2" << int(Qt::NoModifier) << QString() << false;
    QTest::newRow("while the number box is locked")
        << "Text2" << int(Qt::NoModifier) << QStringLiteral("ZT3003") << true;
}

void TstForm1::f8PastesFromAnyControl() {
    QFETCH(QString, control);
    QFETCH(int, modifiers);
    QFETCH(QString, clipboard);
    QFETCH(bool, numberBoxLocked);
    app::Form1* form = f->open();
    QVERIFY(testsupport::activate(form));
    form->controls().Text1->setText(QStringLiteral("old"));
    form->controls().Text1->setEnabled(!numberBoxLocked);
    if (clipboard.isEmpty()) {
        QGuiApplication::clipboard()->clear();
    } else {
        QGuiApplication::clipboard()->setText(clipboard);
    }
    auto* widget = form->findChild<QWidget*>(control);
    QVERIFY(widget);
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(form->controls().Text1->text(), clipboard);
}

void TstForm1::otherKeysDoNothing() {
    app::Form1* form = f->open();
    QVERIFY(testsupport::activate(form));
    form->controls().Text1->setText(QStringLiteral("keep"));
    QGuiApplication::clipboard()->setText(QStringLiteral("other"));
    form->controls().Text2->setFocus();
    QTest::keyClick(form->controls().Text2, Qt::Key_F7);
    QTest::keyClick(form->controls().Text2, Qt::Key_F9);
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("keep"));
}

void TstForm1::tabGoesThroughTheFieldsFirst() {
    app::Form1* form = f->open();
    QVERIFY(testsupport::activate(form));
    form->controls().Text1->setFocus();
    QStringList visited;
    for (int i = 0; i < 16; ++i) {
        // A line edit inside a combo box carries no name; the box does. Any other widget
        // without a name stays nameless and fails the comparison.
        const QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (focused->objectName().isEmpty() &&
            qobject_cast<const QComboBox*>(focused->parentWidget())) {
            focused = focused->parentWidget();
        }
        visited.append(focused->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited.mid(0, 13),
             QStringList({"Text1", "Combo1", "Text2", "Command1", "Command3", "Combo5", "Command9",
                          "Command7", "Command2", "Command10", "Combo2", "Combo3", "Command8"}));
    // The hidden loop panel is skipped: the list comes next.
    QCOMPARE(visited.at(13), QStringLiteral("ListView1"));
}

void TstForm1::enterInTheFieldsStartsTheQuery() {
    app::Form1* form = f->open();
    QVERIFY(testsupport::activate(form));
    f->answer(MainWindowFixture::rowsOf(2));
    form->controls().Text1->setText(QStringLiteral("SF1"));
    form->controls().Combo1->setText(QStringLiteral("顺丰快递"));
    form->controls().Text2->setFocus();
    QTest::keyClicks(form->controls().Text2, QStringLiteral("abc"));
    QTest::keyClick(form->controls().Text2, Qt::Key_Return);
    QCOMPARE(f->server.requestCount("/"), 1);
    f->finishParse();
    QCOMPARE(form->controls().ListView1->count(), 2);
    // In the number box too, but not while "开始查询" is disabled.
    form->controls().Text1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(f->server.requestCount("/"), 2);
    f->finishParse();
    form->controls().Command1->setEnabled(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f->server.requestCount("/"), 2);
}

void TstForm1::enterPressesTheFocusedButton() {
    app::Form1* form = f->open();
    QVERIFY(testsupport::activate(form));
    form->controls().Command3->setFocus();
    QTest::keyClick(form->controls().Command3, Qt::Key_Return);
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("最新快递查询"));
    QTest::keyClick(form->controls().Command3, Qt::Key_Space);
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("历史快递查询"));
}

void TstForm1::exitQuestionText() {
    app::Form1* form = f->open();
    f->t.boxes.script(MessageBoxes::Answer::Cancel);
    form->close();
    QCOMPARE(f->t.boxes.shown().size(), 1);
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.text, QStringLiteral("感谢您对Tovian、对Zeluna系列的软件的支持!\r \r"
                                      "是否退出并到论坛可以下载更多Zeluna系列原创免费软件?"));
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    QCOMPARE(box.icon, MessageBoxes::Icon::Information);
    QCOMPARE(box.buttons, MessageBoxes::Buttons::YesNoCancel);
}

void TstForm1::exitCancelKeepsEverything_data() {
    QTest::addColumn<bool>("scripted");  // false: the box is closed by its close button
    QTest::newRow("Cancel") << true;
    QTest::newRow("close button counts as Cancel") << false;
}

void TstForm1::exitCancelKeepsEverything() {
    QFETCH(bool, scripted);
    app::Form1* form = f->open(false);
    form->controls().Timer4->setEnabled(true);
    form->controls().Command8->setText(QStringLiteral("关闭定时"));
    QSignalSpy ended(form, &app::Form1::programEnded);
    if (scripted) {
        f->t.boxes.script(MessageBoxes::Answer::Cancel);
    }
    QVERIFY(!form->close());
    QCOMPARE(f->t.boxes.shown().size(), 1);
    QCOMPARE(f->t.boxes.shown().last().answer, MessageBoxes::Answer::Cancel);
    QVERIFY(form->isVisible());
    QVERIFY(form->controls().Timer3->isEnabled());
    QVERIFY(form->controls().Timer4->isEnabled());
    QCOMPARE(form->controls().Command8->text(), QStringLiteral("关闭定时"));
    QCOMPARE(ended.count(), 0);
    QVERIFY(f->t.browser.opened().isEmpty());
}

void TstForm1::exitYesOrNoEndsTheProgram_data() {
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<bool>("forumOpened");
    QTest::newRow("No ends without the browser") << MessageBoxes::Answer::No << false;
    QTest::newRow("Yes opens the forum") << MessageBoxes::Answer::Yes << true;
}

void TstForm1::exitYesOrNoEndsTheProgram() {
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(bool, forumOpened);
    app::Form1* form = f->open();
    QSignalSpy ended(form, &app::Form1::programEnded);
    f->t.boxes.script(answer);
    QVERIFY(form->close());
    QVERIFY(!form->isVisible());
    QCOMPARE(ended.count(), 1);
    QCOMPARE(f->t.browser.opened(),
             forumOpened ? QList<QUrl>{f->t.env.addresses.forum} : QList<QUrl>());
}

void TstForm1::menuOpensForumAndWebSite() {
    app::Form1* form = f->open();
    form->controls().Combo5->setListIndex(2);
    QCOMPARE(f->t.browser.opened(), QList<QUrl>{f->t.env.addresses.forum});
    form->controls().Combo5->setListIndex(4);
    QCOMPARE(f->t.browser.opened().size(), 2);
    QCOMPARE(f->t.browser.opened().last(), f->t.env.addresses.website);
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstForm1::menuKeepsItsEntryAndRunsTwice() {
    app::Form1* form = f->open();
    form->controls().Combo5->setListIndex(2);
    emit form->controls().Combo5->activated(2);  // the user picks the same entry again
    QCOMPARE(f->t.browser.opened().size(), 2);
    QCOMPARE(form->controls().Combo5->text(), QStringLiteral("访问论坛"));
}

void TstForm1::menuWithoutSelectionDoesNothing() {
    app::Form1* form = f->open();
    form->controls().Combo5->setListIndex(-1);
    form->Combo5_Click();
    QVERIFY(f->t.browser.opened().isEmpty());
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstForm1::menuAndQuickSearchOpenTheirWindows_data() {
    QTest::addColumn<int>("menuPosition");  // -1: the 快捷搜索 button
    QTest::addColumn<QString>("title");
    QTest::newRow("关于程序") << 1 << "关于程序";
    QTest::newRow("网点信息查询") << 3 << "网店信息查询";
    QTest::newRow("快捷搜索") << -1 << "搜索物流公司";
}

void TstForm1::menuAndQuickSearchOpenTheirWindows() {
    QFETCH(int, menuPosition);
    QFETCH(QString, title);
    app::Form1* form = f->open();
    QString shownTitle;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QWidget* window = QApplication::activeModalWidget();
        shownTitle = window->windowTitle();
        modal = window->isModal() && window->parentWidget() == form;
        window->close();
    });
    if (menuPosition >= 0) {
        form->controls().Combo5->setListIndex(menuPosition);
        QCOMPARE(form->controls().Combo5->text(), form->controls().Combo5->itemText(menuPosition));
    } else {
        QTest::mouseClick(form->controls().Command2, Qt::LeftButton);
    }
    QCOMPARE(shownTitle, title);
    QVERIFY(modal);
    // Closed is gone: nothing of the side window stays behind.
    QTRY_COMPARE(form->findChildren<QDialog*>().size(), 0);
}

void TstForm1::updateUpToDate_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("same") << QByteArray("V3.2");
    QTest::newRow("same with line end") << QByteArray("V3.2\r\n");
    QTest::newRow("older") << QByteArray("V3.1");
}

void TstForm1::updateUpToDate() {
    QFETCH(QByteArray, answer);
    f->server.setResponse("/jc.txt", TestHttpServer::Response::text(answer, "text/plain"));
    app::Form1* form = f->open();
    QVERIFY(f->t.boxes.shown().isEmpty());
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("程序已加载完毕..."));
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(form->controls().Text1->isEnabled());
    QVERIFY(!form->controls().Timer3->isEnabled());
    QVERIFY(!form->hasEnded());
    QCOMPARE(f->server.requestCount("/jc.txt"), 1);
}

void TstForm1::updateNewerVersionEndsTheProgram_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("label");
    QTest::newRow("V3.3") << QByteArray("V3.3") << "V3.3";
    QTest::newRow("V3.3 with line end") << QByteArray("V3.3\n") << "V3.3";
    QTest::newRow("V4.0") << QByteArray("V4.0") << "V4.0";
}

void TstForm1::updateNewerVersionEndsTheProgram() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, label);
    f->server.setResponse("/jc.txt", TestHttpServer::Response::text(answer, "text/plain"));
    app::Form1* form = f->open(false);
    QSignalSpy ended(form, &app::Form1::programEnded);
    QString statusWhileBoxOpen;
    f->t.boxes.onShow = [&](const testsupport::ScriptedMessageBoxes::Shown&) {
        statusWhileBoxOpen = form->controls().S1->panelText(2);
        return MessageBoxes::Answer::Ok;
    };
    form->controls().Timer3->fire();
    QCOMPARE(statusWhileBoxOpen, QStringLiteral("程序已加载完毕..."));
    QCOMPARE(f->t.boxes.shown().size(), 1);  // no exit question
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.text, QStringLiteral("发现最新版本![") + label +
                           QStringLiteral("]\r\n \r\n确定后自动打开官方论坛!"));
    QCOMPARE(box.icon, MessageBoxes::Icon::Information);
    QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(f->t.browser.opened(), QList<QUrl>{f->t.env.addresses.forum});
    QCOMPARE(ended.count(), 1);
    QVERIFY(!form->isVisible());
    QVERIFY(!form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer3->isEnabled());
}

void TstForm1::updateFailure_data() {
    QTest::addColumn<Arrange>("arrange");
    QTest::newRow("html error page") << Arrange([](MainWindowFixture& f) {
        f.server.setResponse(
            "/jc.txt", TestHttpServer::Response::text("<html><body>404 Not Found</body></html>"));
    });
    QTest::newRow("http 500") << Arrange([](MainWindowFixture& f) {
        f.server.setResponse("/jc.txt", TestHttpServer::Response::withStatus(500, "V3.3"));
    });
    QTest::newRow("closed port") << Arrange([](MainWindowFixture& f) {
        f.t.env.addresses.update = QUrl(QStringLiteral("http://127.0.0.1:9/jc.txt"));
    });
    QTest::newRow("empty file") << Arrange([](MainWindowFixture& f) {
        f.server.setResponse("/jc.txt", TestHttpServer::Response::text("", "text/plain"));
    });
    QTest::newRow("proxy login page") << Arrange([](MainWindowFixture& f) {
        f.server.setResponse("/jc.txt",
                             TestHttpServer::Response::text("Please log in to continue: V3.3"));
    });
}

void TstForm1::updateFailure() {
    QFETCH(Arrange, arrange);
    arrange(*f);
    app::Form1* form = f->open();
    QCOMPARE(f->t.boxes.shown().size(), 1);
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.text, QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版"));
    QCOMPARE(box.icon, MessageBoxes::Icon::Exclamation);
    QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("程序已加载完毕..."));
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer3->isEnabled());
    QVERIFY(!form->hasEnded());
    QVERIFY(f->t.browser.opened().isEmpty());
}

void TstForm1::updateServerThatNeverAnswers() {
    TestHttpServer::Response silent;
    silent.neverAnswer = true;
    f->server.setResponse("/jc.txt", silent);
    f->t.env.limits.updateTotal = std::chrono::milliseconds(300);
    QElapsedTimer clock;
    clock.start();
    app::Form1* form = f->open();
    // Well under the environment's usual 5 s: the 300 ms limit was the one applied.
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(f->t.boxes.texts(),
             QStringList{QStringLiteral("检测更新失败!请您稍后再试,暂时使用原版")});
    QVERIFY(form->controls().Command1->isEnabled());
}

void TstForm1::updateCheckRunsOnceAfterOneSecond() {
    // The clock starts before the window exists, so the time to the request is at least the
    // timer's delay however slow the start-up is.
    QElapsedTimer clock;
    qint64 askedAfterMs = -1;
    f->server.setHandler("/jc.txt", [&](const TestHttpServer::Request&) {
        askedAfterMs = clock.elapsed();
        return TestHttpServer::Response::text("V3.2", "text/plain");
    });
    clock.start();
    app::Form1* form = f->open(false);
    QCOMPARE(f->server.requestCount("/jc.txt"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(form->controls().Command1->isEnabled(), 5000);
    QCOMPARE(f->server.requestCount("/jc.txt"), 1);
    QVERIFY2(askedAfterMs >= 990,
             qPrintable(QStringLiteral("asked after %1 ms").arg(askedAfterMs)));
    QVERIFY(!form->controls().Timer3->isEnabled());
}

void TstForm1::statusShowsCheckWhileWaiting() {
    app::Form1* form = f->open(false);
    QString statusAtRequest;
    f->server.setHandler("/jc.txt", [&](const TestHttpServer::Request&) {
        statusAtRequest = form->controls().S1->panelText(2);
        return TestHttpServer::Response::text("V3.2", "text/plain");
    });
    form->controls().Timer3->fire();
    QCOMPARE(statusAtRequest, QStringLiteral("程序检测更新中.."));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("程序已加载完毕..."));
}

QTEST_MAIN(TstForm1)
#include "tst_form1.moc"
