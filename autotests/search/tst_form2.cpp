#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "support/main_window_fixture.h"
#include "support/stand_ins.h"
#include "support/typing.h"

#include "platform/controls/controls.h"
#include "platform/system/message_boxes.h"
#include "search/form2.h"
#include "search/keyword.h"

using platform::ComboBox;
using platform::MessageBoxes;
using platform::StatusBar;
using testsupport::MainWindowFixture;
using testsupport::ScriptedMessageBoxes;

namespace {

const QString kEarlierStatus = QStringLiteral("查询完毕...");

QString foundText(const QString& name) {
    return QStringLiteral("找到【") + name + QStringLiteral("】，是否为您要找的公司?");
}

}  // namespace

// The quick-search window as the user meets it: opened by the main window's "快捷搜索", on
// the main window's own courier selector, its handler and its status bar.
class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void trimOnlyRemovesOuterSpaces();
    void windowLayout();
    void keywordSelectsLastMatch();
    void keywordIsCaseSensitive_data();
    void keywordIsCaseSensitive();
    void emptyKeywordAsksForOne();
    void spacesOnlyKeywordIsIgnored();
    void enterInKeywordBoxSearches();
    void quickButtons_data();
    void quickButtons();
    void modalSearchEndsTheWindow();
    void closeBoxChangesNothing();

private:
    // Presses "快捷搜索" and runs `act` on the window it opens, while it is open; a window still
    // open after `act` is closed. Returns whether the window had closed by itself.
    bool search(const std::function<void(search::Form2*)>& act);
    void type(search::Form2* form, const QString& keyword);
    void click(search::Form2* form, const QString& button);
    // The courier the next query goes to.
    QString courierCode() const { return f_->form->queryFlow()->courierCode(); }

    std::unique_ptr<MainWindowFixture> f_;
    ComboBox* combo1_ = nullptr;
    StatusBar* s1_ = nullptr;
    ScriptedMessageBoxes* boxes_ = nullptr;
    // Each a run of the main window's selector handler.
    std::unique_ptr<QSignalSpy> handlerRuns_;
};

void TestForm2::init() {
    f_ = std::make_unique<MainWindowFixture>();
    app::Form1* mainWindow = f_->open();
    combo1_ = mainWindow->controls().Combo1;
    s1_ = mainWindow->controls().S1;
    boxes_ = &f_->t.boxes;
    // An earlier selection and message that a fruitless search must leave alone.
    combo1_->setListIndex(91);
    QCOMPARE(courierCode(), QStringLiteral("shunfeng"));
    s1_->setPanelText(2, kEarlierStatus);
    boxes_->clear();
    handlerRuns_ = std::make_unique<QSignalSpy>(combo1_, &ComboBox::clicked);
}

void TestForm2::cleanup() {
    handlerRuns_.reset();
    f_.reset();
}

bool TestForm2::search(const std::function<void(search::Form2*)>& act) {
    bool acted = false;
    bool closedByItself = false;
    QTimer::singleShot(0, f_->form.get(), [&] {
        QPointer<search::Form2> form = f_->form->findChild<search::Form2*>();
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QVERIFY(form->isModal());
        acted = true;
        act(form);
        if (form && form->isVisible()) {
            form->close();
        } else {
            closedByItself = true;
        }
    });
    QTest::mouseClick(f_->form->controls().Command2, Qt::LeftButton);
    [&] { QVERIFY2(acted, "no quick search window opened"); }();
    // The window is gone with its showing: nothing of it is kept.
    [&] { QVERIFY(!f_->form->findChild<search::Form2*>()); }();
    return closedByItself;
}

void TestForm2::type(search::Form2* form, const QString& keyword) {
    testsupport::typeInto(form->findChild<QLineEdit*>(QStringLiteral("Text1")), keyword);
}

void TestForm2::click(search::Form2* form, const QString& button) {
    auto* b = form->findChild<QPushButton*>(button);
    QVERIFY(b != nullptr);
    QTest::mouseClick(b, Qt::LeftButton);
}

void TestForm2::trimOnlyRemovesOuterSpaces() {
    QCOMPARE(search::trimSpaces(QStringLiteral("  申通  ")), QStringLiteral("申通"));
    QCOMPARE(search::trimSpaces(QStringLiteral("申通 快递")), QStringLiteral("申通 快递"));
    // Tabs and full-width spaces are part of the keyword.
    QCOMPARE(search::trimSpaces(QStringLiteral("\t申通")), QStringLiteral("\t申通"));
    QCOMPARE(search::trimSpaces(QStringLiteral("申通\u3000")), QStringLiteral("申通\u3000"));
    QCOMPARE(search::trimSpaces(QStringLiteral("   ")), QString());
}

void TestForm2::windowLayout() {
    search([this](search::Form2* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("搜索物流公司"));
        QCOMPARE(form->parentWidget(), f_->form.get());
        auto* frame1 = form->findChild<QGroupBox*>(QStringLiteral("Frame1"));
        auto* frame2 = form->findChild<QGroupBox*>(QStringLiteral("Frame2"));
        QVERIFY(frame1 && frame2);
        QCOMPARE(frame1->title(), QStringLiteral("请输入公司名称关键字"));
        QCOMPARE(frame2->title(), QStringLiteral("常用物流公司"));
        auto* text1 = frame1->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(text1);
        QVERIFY(text1->text().isEmpty());
        QTRY_COMPARE(QApplication::focusWidget(), text1);
        QCOMPARE(frame1->findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
                 QStringLiteral("搜索"));

        // Two rows of five, in the order of the keywords.
        const QStringList captions = {"申通", "EMS",  "顺丰", "圆通", "中通",
                                      "汇通", "韵达", "程光", "全峰", "宅急送"};
        auto* grid = qobject_cast<QGridLayout*>(frame2->layout());
        QVERIFY(grid);
        for (int i = 0; i < captions.size(); ++i) {
            auto* button = frame2->findChild<QPushButton*>(QStringLiteral("Command%1").arg(i + 2));
            QVERIFY(button);
            QCOMPARE(button->text(), captions.at(i));
            int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
            QCOMPARE(row, i / 5);
            QCOMPARE(column, i % 5);
        }
    });
}

void TestForm2::keywordSelectsLastMatch() {
    const bool closed = search([this](search::Form2* form) {
        type(form, QStringLiteral("快递"));
        click(form, QStringLiteral("Command1"));
    });
    QVERIFY(closed);
    // Every one of the 77 matches is selected in turn; the last one stays selected.
    QCOMPARE(handlerRuns_->count(), 77);
    QCOMPARE(combo1_->listIndex(), 125);
    QCOMPARE(combo1_->text(), QStringLiteral("忠信达快递"));
    QCOMPARE(courierCode(), QStringLiteral("zhongxinda"));
    QCOMPARE(s1_->panelText(2), foundText(QStringLiteral("忠信达快递")));
    QVERIFY(boxes_->shown().isEmpty());
}

void TestForm2::keywordIsCaseSensitive_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");

    QTest::newRow("EMS") << QStringLiteral("EMS") << 26 << QStringLiteral("ems")
                         << QStringLiteral("EMS快递");
    QTest::newRow("outer spaces") << QStringLiteral(" 申通 ") << 90 << QStringLiteral("shentong")
                                  << QStringLiteral("申通快递");
    QTest::newRow("ems") << QStringLiteral("ems") << -1 << QString() << QString();
    QTest::newRow("inner space") << QStringLiteral("申通 快递") << -1 << QString() << QString();
    QTest::newRow("full-width") << QStringLiteral("ＥＭＳ") << -1 << QString() << QString();
}

void TestForm2::keywordIsCaseSensitive() {
    QFETCH(QString, keyword);
    QFETCH(int, position);
    QFETCH(QString, code);
    QFETCH(QString, name);

    const bool closed = search([&](search::Form2* form) {
        type(form, keyword);
        click(form, QStringLiteral("Command1"));
    });
    // The window closes after every search, matched or not.
    QVERIFY(closed);
    if (position < 0) {
        // Nothing matched: the selection, the code and the status bar are as they were.
        QCOMPARE(handlerRuns_->count(), 0);
        QCOMPARE(combo1_->listIndex(), 91);
        QCOMPARE(courierCode(), QStringLiteral("shunfeng"));
        QCOMPARE(s1_->panelText(2), kEarlierStatus);
    } else {
        QCOMPARE(handlerRuns_->count(), 1);
        QCOMPARE(combo1_->listIndex(), position);
        QCOMPARE(courierCode(), code);
        QCOMPARE(combo1_->text(), name);
        QCOMPARE(s1_->panelText(2), foundText(name));
    }
    QVERIFY(boxes_->shown().isEmpty());
}

void TestForm2::emptyKeywordAsksForOne() {
    const bool closed = search([this](search::Form2* form) {
        click(form, QStringLiteral("Command1"));

        QCOMPARE(boxes_->shown().size(), 1);
        const ScriptedMessageBoxes::Shown& box = boxes_->shown().first();
        QCOMPARE(box.text, QStringLiteral("请输入物流公司关键字"));
        QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
        QCOMPARE(box.icon, MessageBoxes::Icon::Information);
        QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
        QVERIFY(form->isVisible());
        QCOMPARE(handlerRuns_->count(), 0);
        QCOMPARE(s1_->panelText(2), kEarlierStatus);

        // The user can type a keyword and search again.
        type(form, QStringLiteral("韵达"));
        click(form, QStringLiteral("Command1"));
    });
    QVERIFY(closed);
    QCOMPARE(combo1_->listIndex(), 117);
    QCOMPARE(courierCode(), QStringLiteral("yunda"));
}

void TestForm2::spacesOnlyKeywordIsIgnored() {
    const bool closed = search([this](search::Form2* form) {
        type(form, QStringLiteral("   "));
        click(form, QStringLiteral("Command1"));
        QCoreApplication::processEvents();
        QVERIFY(form->isVisible());
    });
    QVERIFY(!closed);
    QVERIFY(boxes_->shown().isEmpty());
    QCOMPARE(handlerRuns_->count(), 0);
    QCOMPARE(combo1_->listIndex(), 91);
    QCOMPARE(s1_->panelText(2), kEarlierStatus);
}

void TestForm2::enterInKeywordBoxSearches() {
    const bool closed = search([](search::Form2* form) {
        auto* text1 = form->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QTRY_COMPARE(QApplication::focusWidget(), text1);
        QTest::keyClicks(text1, QStringLiteral("EMS"));
        QCOMPARE(text1->text(), QStringLiteral("EMS"));
        QTest::keyClick(text1, Qt::Key_Return);
    });
    QVERIFY(closed);
    QCOMPARE(combo1_->listIndex(), 26);
    QCOMPARE(courierCode(), QStringLiteral("ems"));
    QCOMPARE(s1_->panelText(2), foundText(QStringLiteral("EMS快递")));
}

void TestForm2::quickButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");

    const struct {
        int position;
        const char* code;
        const char* name;
    } couriers[] = {
        {90, "shentong", "申通快递"},   {26, "ems", "EMS快递"},
        {91, "shunfeng", "顺丰快递"},   {114, "yuantong", "圆通快递"},
        {124, "zhongtong", "中通快递"}, {51, "huitong", "汇通快递"},
        {117, "yunda", "韵达快递"},     {7, "chengguang", "程光快递"},
        {78, "quanfeng", "全峰快递"},   {120, "zhaijisong", "宅急送快递"},
    };
    for (int i = 0; i < 10; ++i) {
        const QString button = QStringLiteral("Command%1").arg(i + 2);
        QTest::newRow(qPrintable(button))
            << button << couriers[i].position << QString::fromLatin1(couriers[i].code)
            << QString::fromUtf8(couriers[i].name);
    }
}

void TestForm2::quickButtons() {
    QFETCH(QString, button);
    QFETCH(int, position);
    QFETCH(QString, code);
    QFETCH(QString, name);

    // Start from a selection the button will move away from.
    combo1_->setListIndex(0);
    handlerRuns_->clear();
    const bool closed = search([&](search::Form2* form) {
        // A keyword typed in the box plays no part.
        type(form, QStringLiteral("快递"));
        click(form, button);
    });
    QVERIFY(closed);
    QCOMPARE(handlerRuns_->count(), 1);
    QCOMPARE(combo1_->listIndex(), position);
    QCOMPARE(combo1_->text(), name);
    QCOMPARE(courierCode(), code);
    QCOMPARE(s1_->panelText(2), kEarlierStatus);
    QVERIFY(boxes_->shown().isEmpty());
}

void TestForm2::modalSearchEndsTheWindow() {
    // The query after a search goes to the courier found.
    const bool closed = search([](search::Form2* form) {
        form->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("宅急送"));
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
    });
    QVERIFY(closed);
    QCOMPARE(combo1_->listIndex(), 120);
    QCOMPARE(s1_->panelText(2), foundText(QStringLiteral("宅急送快递")));
    f_->answer(MainWindowFixture::rowsOf(2));
    f_->form->controls().Text1->setText(QStringLiteral("ZJS100"));
    f_->form->controls().Text2->setText(QStringLiteral("书"));
    QTest::mouseClick(f_->form->controls().Command1, Qt::LeftButton);
    QTRY_COMPARE(f_->server.requestCount("/"), 1);
    QVERIFY2(f_->server.requests().last().query.startsWith("com=zhaijisong&"),
             f_->server.requests().last().target.constData());
}

void TestForm2::closeBoxChangesNothing() {
    const bool closed = search([](search::Form2* form) {
        form->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("EMS"));
        form->close();
    });
    QVERIFY(closed);
    QCOMPARE(handlerRuns_->count(), 0);
    QCOMPARE(combo1_->listIndex(), 91);
    QCOMPARE(s1_->panelText(2), kEarlierStatus);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
