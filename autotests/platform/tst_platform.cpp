// The control behaviour the windows rely on, and the platform services under them: drop-
// down lists, the progress list, timers and the gate, the bounded HTTP fetch, message
// boxes, atomic files, the skin and the text encodings.
#include <QAbstractItemView>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>
#include <functional>

#include "base/atomic_file.h"
#include "base/text_codec.h"
#include "platform/controls/controls.h"
#include "platform/controls/gate.h"
#include "platform/controls/timer.h"
#include "platform/net/http_fetch.h"
#include "platform/system/message_boxes.h"
#include "platform/system/save_dialog.h"
#include "platform/system/skin.h"
#include "support/file_faults.h"
#include "support/stand_ins.h"
#include "support/test_http_server.h"
#include "tracking/catalogue.h"

using platform::ComboBox;
using platform::FetchResult;
using platform::HttpFetch;
using platform::MessageBoxes;
using testsupport::TestHttpServer;
using namespace std::chrono_literals;

// Sets the service's answer up and may change the address fetched.
using ServeAndAim = std::function<void(TestHttpServer&, QUrl&)>;
Q_DECLARE_METATYPE(ServeAndAim)
Q_DECLARE_METATYPE(platform::HopFacts)
Q_DECLARE_METATYPE(std::optional<platform::FetchResult::Status>)

class TstPlatform : public QObject {
    Q_OBJECT

private slots:
    void init() {
        server = std::make_unique<TestHttpServer>();
        QVERIFY(server->start());
    }
    void cleanup() { server.reset(); }

    // Drop-down lists
    void appendingKeepsSelectionAndText();
    void everySelectionRunsTheClickHandler();
    void textMatchingNoItemChangesNothing();
    void clearingTheListEmptiesTheText();
    void enterInTheEditBoxIsNotAPick();
    void leavingTheEditBoxIsNotAPick_data();
    void leavingTheEditBoxIsNotAPick();
    void editableBoxDoesNotCompleteInline();
    void longItemsShowTheirStartAndStayWhole();
    void aPickInTheOpenListRunsTheHandler_data();
    void aPickInTheOpenListRunsTheHandler();

    // Progress list
    void insertAtTopPutsTheLastOnTop();
    void clickOnAnEmptyListArrives();
    void hugeCellsShowOnlyTheirStart();
    void reservedWidthFitsTheWidestText_data();
    void reservedWidthFitsTheWidestText();

    // Timers and the gate
    void tickIsNotReenteredWhileHandled();
    void gateHoldsTicksAndDeliversOnce();
    void gateHoldsCloseRequests();

    // Blocking fetch
    void blockingFetchRunsNoHandlerButPaints();
    void dripFeedIsEndedByTheTotalLimit();
    void silenceIsATimeOut();
    void redirectWithinTheSchemeIsFollowed();
    void redirectLoopIsRefused();
    void redirectToAnotherSchemeIsRefused();
    void statusAndBodies_data();
    void statusAndBodies();
    void bodyOverTheCap_data();
    void bodyOverTheCap();
    void responsiveFetchCanBeAbandoned();
    void hopOutcome_data();
    void hopOutcome();

    // Message boxes
    void closingABoxCountsAsCancelOrNo_data();
    void closingABoxCountsAsCancelOrNo();
    void boxShowsPlainText();

    // Save dialog
    void saveDialogAsksBeforeReplacing();

    // Files, skin, encodings
    void atomicWriteKeepsTheOldFileOnAShortWrite();
    void skinTurnsTheHue();
    void skinWithoutFileDoesNothing();
    void gbkRoundTrip();
    void cutOffCharacterAtTheEndIsMarked_data();
    void cutOffCharacterAtTheEndIsMarked();

private:
    FetchResult fetch(const QUrl& url, platform::FetchOptions options = {},
                      HttpFetch::Wait wait = HttpFetch::Wait::BlockHandlers) {
        HttpFetch fetcher(&network, &gate);
        return fetcher.get(url, options, wait);
    }

    std::unique_ptr<TestHttpServer> server;
    platform::QtHttpTransport network;
    platform::UiGate gate;
};

void TstPlatform::appendingKeepsSelectionAndText() {
    ComboBox list(QStringLiteral("list"), ComboBox::Style::DropDownList);
    QSignalSpy clicks(&list, &ComboBox::clicked);
    list.appendItems({QStringLiteral("a"), QStringLiteral("b")});
    QCOMPARE(list.listIndex(), -1);
    QCOMPARE(list.text(), QString());
    ComboBox box(QStringLiteral("box"), ComboBox::Style::DropDownCombo);
    box.appendItem(QStringLiteral("1234|EMS快递|a"));
    QCOMPARE(box.text(), QString());
    box.setText(QStringLiteral("typed"));
    box.appendItems({QStringLiteral("x"), QStringLiteral("y")});
    QCOMPARE(box.text(), QStringLiteral("typed"));
    box.replaceItems({QStringLiteral("x"), QStringLiteral("y")});  // a delete's rewrite
    QCOMPARE(box.text(), QStringLiteral("typed"));
    QCOMPARE(box.count(), 2);
    QCOMPARE(clicks.count(), 0);
}

void TstPlatform::everySelectionRunsTheClickHandler() {
    ComboBox list(QStringLiteral("list"), ComboBox::Style::DropDownList);
    list.appendItems({QStringLiteral("a"), QStringLiteral("b")});
    QSignalSpy clicks(&list, &ComboBox::clicked);
    list.setListIndex(1);
    list.setListIndex(1);
    QCOMPARE(clicks.count(), 2);
    list.setText(QStringLiteral("a"));
    QCOMPARE(list.listIndex(), 0);
    QCOMPARE(clicks.count(), 3);
    list.setListIndex(-1);
    QCOMPARE(clicks.count(), 4);
    QCOMPARE(list.text(), QString());
}

void TstPlatform::textMatchingNoItemChangesNothing() {
    ComboBox list(QStringLiteral("list"), ComboBox::Style::DropDownList);
    list.appendItems({QStringLiteral("a|b"), QStringLiteral("c")});
    list.setListIndex(1);
    QSignalSpy clicks(&list, &ComboBox::clicked);
    list.setText(QStringLiteral("a"));
    list.setText(QStringLiteral("C"));
    QCOMPARE(list.listIndex(), 1);
    QCOMPARE(clicks.count(), 0);
}

void TstPlatform::clearingTheListEmptiesTheText() {
    ComboBox box(QStringLiteral("box"), ComboBox::Style::DropDownCombo);
    box.appendItems({QStringLiteral("x"), QStringLiteral("y")});
    box.setText(QStringLiteral("number"));
    box.clearList();
    QCOMPARE(box.count(), 0);
    QCOMPARE(box.text(), QString());
}

void TstPlatform::enterInTheEditBoxIsNotAPick() {
    ComboBox box(QStringLiteral("box"), ComboBox::Style::DropDownCombo);
    box.appendItems({QStringLiteral("123")});
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy clicks(&box, &ComboBox::clicked);
    // Text that equals an entry is not a pick of that entry.
    box.setText(QStringLiteral("123"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(box.count(), 1);
    // New text is not added to the list either.
    box.setText(QStringLiteral("456"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(box.items(), QStringList{QStringLiteral("123")});
    QCOMPARE(box.text(), QStringLiteral("456"));
}

// Qt selects the item whose text was typed, and reports it as activated, when the focus
// leaves the edit box; typing is no pick, however the focus goes.
void TstPlatform::leavingTheEditBoxIsNotAPick_data() {
    QTest::addColumn<bool>("byTab");
    QTest::newRow("Tab") << true;
    QTest::newRow("a click elsewhere") << false;
}

void TstPlatform::leavingTheEditBoxIsNotAPick() {
    QFETCH(bool, byTab);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new ComboBox(QStringLiteral("box"), ComboBox::Style::DropDownCombo);
    auto* other = new QLineEdit;
    layout->addWidget(box);
    layout->addWidget(other);
    box->appendItems({QStringLiteral("justanumber"), QStringLiteral("1|a|b")});
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicks(box, &ComboBox::clicked);
    box->setFocus();
    QTRY_VERIFY(box->lineEdit()->hasFocus());
    QTest::keyClicks(box->lineEdit(), QStringLiteral("justanumber"));
    if (byTab) {
        QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    } else {
        QTest::mouseClick(other, Qt::LeftButton);
    }
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(box->listIndex(), -1);
    QCOMPARE(box->text(), QStringLiteral("justanumber"));
}

void TstPlatform::editableBoxDoesNotCompleteInline() {
    ComboBox box(QStringLiteral("box"), ComboBox::Style::DropDownCombo);
    box.appendItems({QStringLiteral("1234|EMS快递|a")});
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setFocus();
    QTest::keyClicks(&box, QStringLiteral("12"));
    QCOMPARE(box.text(), QStringLiteral("12"));
}

void TstPlatform::longItemsShowTheirStartAndStayWhole() {
    // Digits in turn, so that a piece from elsewhere in the text would not match the start.
    QString longItem;
    for (int i = 0; i < 50000; ++i) {
        longItem.append(QChar(u'0' + (i * 7 + i / 10) % 10));
    }
    const QStringList items = {QStringLiteral("short"), longItem};
    for (const ComboBox::Style style :
         {ComboBox::Style::DropDownList, ComboBox::Style::DropDownCombo}) {
        ComboBox box(QStringLiteral("box"), style);
        box.appendItems(items);
        QCOMPARE(box.items(), items);
        QCOMPARE(box.item(1), longItem);
        QCOMPARE(box.item(2), QString());
        // The list, and the edit text a pick puts there, are given the start.
        for (const int role : {int(Qt::DisplayRole), int(Qt::EditRole)}) {
            const QString shown = box.model()->index(1, 0).data(role).toString();
            QCOMPARE(shown.size(), ComboBox::kShownChars + 1);
            QCOMPARE(shown.chopped(1), longItem.left(ComboBox::kShownChars));
            QVERIFY(shown.endsWith(QChar(0x2026)));
            QCOMPARE(box.model()->index(0, 0).data(role).toString(), QStringLiteral("short"));
        }
        QSignalSpy clicks(&box, &ComboBox::clicked);
        box.setListIndex(1);
        QCOMPARE(clicks.count(), 1);
        if (style == ComboBox::Style::DropDownList) {
            // The selection's text is the whole item, and the whole item selects it.
            QCOMPARE(box.text(), longItem);
            box.setListIndex(0);
            box.setText(longItem);
            QCOMPARE(box.listIndex(), 1);
            QCOMPARE(clicks.count(), 3);
            // Its shown start is no item.
            box.setListIndex(0);
            box.setText(longItem.left(ComboBox::kShownChars) + QChar(0x2026));
            QCOMPARE(box.listIndex(), 0);
            QCOMPARE(clicks.count(), 4);
        } else {
            QVERIFY(box.lineEdit()->text().size() <= ComboBox::kShownChars + 1);
        }
    }
}

// A pick in the opened list selects the entry and runs the click handler, in the box's font.
void TstPlatform::aPickInTheOpenListRunsTheHandler_data() {
    QTest::addColumn<bool>("editable");
    QTest::newRow("list") << false;
    QTest::newRow("combo") << true;
}

void TstPlatform::aPickInTheOpenListRunsTheHandler() {
    QFETCH(bool, editable);
    QWidget window;
    QFont font = QApplication::font();
    font.setPointSize(font.pointSize() + 4);
    window.setFont(font);
    auto* layout = new QVBoxLayout(&window);
    auto* box = new ComboBox(QStringLiteral("box"), editable ? ComboBox::Style::DropDownCombo
                                                             : ComboBox::Style::DropDownList);
    layout->addWidget(box);
    box->appendItems(
        {QStringLiteral("顺丰快递"), QStringLiteral("EMS快递"), QStringLiteral("圆通快递")});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    font.setPointSize(font.pointSize() + 4);
    box->setFont(font);

    QSignalSpy clicks(box, &ComboBox::clicked);
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    QCOMPARE(view->font(), box->font());
    const QRect item = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(box->listIndex(), 1);
    QCOMPARE(box->text(), QStringLiteral("EMS快递"));
}

void TstPlatform::insertAtTopPutsTheLastOnTop() {
    platform::ListView list(QStringLiteral("list"),
                            {{QStringLiteral("a"), QStringLiteral("xh"), 600},
                             {QStringLiteral("b"), QStringLiteral("sj"), 600}});
    for (const char* text : {"1", "2", "3"}) {
        list.listModel()->insertAtTop(QString::fromLatin1(text));
    }
    QCOMPARE(list.text(0, 0), QStringLiteral("3"));
    QCOMPARE(list.text(2, 0), QStringLiteral("1"));
    list.listModel()->setCell(0, list.subItemIndex(QStringLiteral("sj")), QStringLiteral("t"));
    QCOMPARE(list.text(0, 1), QStringLiteral("t"));
    QCOMPARE(list.subItemIndex(QStringLiteral("none")), -1);
}

void TstPlatform::clickOnAnEmptyListArrives() {
    platform::ListView list(QStringLiteral("list"),
                            {{QStringLiteral("a"), QStringLiteral("xh"), 600}});
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &platform::ListView::listClicked);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(50, 100));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(list.selectedRow(), -1);
}

void TstPlatform::hugeCellsShowOnlyTheirStart() {
    platform::ListView list(QStringLiteral("list"),
                            {{QStringLiteral("a"), QStringLiteral("xh"), 600},
                             {QStringLiteral("b"), QStringLiteral("wl"), 600}});
    // Digits in turn, so that a piece from elsewhere in the text would not match the start.
    QString huge;
    huge.reserve(3 * 1024 * 1024);
    for (int i = 0; i < 3 * 1024 * 1024; ++i) {
        huge.append(QChar(u'0' + (i * 7 + i / 10) % 10));
    }
    list.listModel()->insertAtTop(QStringLiteral("1"));
    list.listModel()->setCell(0, 1, huge);
    // The program keeps the whole text; the view is given what a cell can show.
    QCOMPARE(list.text(0, 1), huge);
    const QString shown = list.model()->index(0, 1).data(Qt::DisplayRole).toString();
    QCOMPARE(shown.size(), platform::ListViewModel::kShownChars + 1);
    QVERIFY2(shown.size() <= 4097, qPrintable(QString::number(shown.size())));
    QCOMPARE(shown.chopped(1), huge.left(shown.size() - 1));
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QCOMPARE(list.model()->index(0, 0).data(Qt::DisplayRole).toString(), QStringLiteral("1"));
}

void TstPlatform::reservedWidthFitsTheWidestText_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("stretch");
    QTest::addColumn<qreal>("letterSpacing");
    QStringList couriers;
    for (const QString& name : tracking::courierNames()) {
        couriers << name + QStringLiteral("快递查询中...")
                 << QStringLiteral("找到【") + name + QStringLiteral("】，是否为您要找的公司?");
    }
    QTest::newRow("every courier's messages") << couriers << 0 << 0.0;
    // A stretched font is wider than its design; spaced letters are wider than their glyphs.
    QTest::newRow("every courier's messages, stretched") << couriers << int(QFont::Expanded) << 0.0;
    QTest::newRow("every courier's messages, condensed")
        << couriers << int(QFont::Condensed) << 0.0;
    QTest::newRow("every courier's messages, letters spaced") << couriers << 0 << 2.0;
    // Kerned pairs make the sum of the letters wider than the text: in DejaVu Sans the
    // first ranks above the second, which is the wider one.
    QTest::newRow("kerning and letter widths")
        << QStringList{QStringLiteral("VAVAVAVAVAVAVAVAVAVAVA"),
                       QStringLiteral("AAAAAAAAAAVVVVVVVVVV"),
                       QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiiiiiiii"),
                       QStringLiteral("To Yo Vo Wa Ty")}
        << 0 << 0.0;
    QTest::newRow("kerning and letter widths, stretched")
        << QStringList{QStringLiteral("VAVAVAVAVAVAVAVAVAVAVA"),
                       QStringLiteral("AAAAAAAAAAVVVVVVVVVV")}
        << 150 << 0.0;
    QTest::newRow("combining marks and characters beyond 16 bits")
        << QStringList{QStringLiteral("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"),
                       QStringLiteral("\U0001F69A\U0001F69A\U0001F69A"), QStringLiteral("𠀀𠀁𠀂𠀃"),
                       QStringLiteral("eeeeeee")}
        << 0 << 0.0;
    // Neither the font nor its Chinese fallback holds these: they are drawn as boxes.
    QTest::newRow("characters in no font")
        << QStringList{QStringLiteral("abc"), QStringLiteral("\u0F40\u0F40\u0F40\u0F40\u0F40"),
                       QStringLiteral("\u1200\u1201")}
        << 0 << 0.0;
    QTest::newRow("equal widths") << QStringList{QStringLiteral("快递"), QStringLiteral("物流"),
                                                 QStringLiteral("单号")}
                                  << 0 << 0.0;
    QTest::newRow("one text") << QStringList{QStringLiteral("查询失败,请检查网络连接!")} << 0
                              << 0.0;
}

void TstPlatform::reservedWidthFitsTheWidestText() {
    QFETCH(QStringList, texts);
    QFETCH(int, stretch);
    QFETCH(qreal, letterSpacing);
    QFont font;
    if (stretch != 0) {
        font.setStretch(stretch);
    }
    if (letterSpacing != 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    }
    QLabel label;
    label.setFont(font);
    label.setFrameShape(QFrame::StyledPanel);
    label.setContentsMargins(4, 0, 4, 0);
    platform::reserveWidthFor(&label, texts);
    QCOMPARE(label.minimumWidth(), 0);  // measured when polished, as before the first layout
    label.ensurePolished();
    // Every text measured in the label's own set-up; the widest sets the least width.
    int widest = 0;
    QString widestText;
    for (const QString& text : texts) {
        QLabel probe;
        probe.setFont(font);
        probe.setFrameShape(QFrame::StyledPanel);
        probe.setContentsMargins(4, 0, 4, 0);
        probe.setTextFormat(Qt::PlainText);
        probe.setText(text);
        if (probe.sizeHint().width() > widest) {
            widest = probe.sizeHint().width();
            widestText = text;
        }
    }
    QVERIFY2(label.minimumWidth() == widest,
             qPrintable(QStringLiteral("least width %1, \"%2\" needs %3")
                            .arg(label.minimumWidth())
                            .arg(widestText)
                            .arg(widest)));
}

void TstPlatform::tickIsNotReenteredWhileHandled() {
    platform::Timer timer(QStringLiteral("t"), 10, true, &gate, nullptr);
    int entered = 0;
    int nested = 0;
    connect(&timer, &platform::Timer::tick, this, [&] {
        ++entered;
        if (entered == 1) {
            // A message box or a request runs an event loop inside the tick.
            QEventLoop loop;
            QTimer::singleShot(120, &loop, &QEventLoop::quit);
            loop.exec();
            nested = entered;
        }
    });
    QTRY_VERIFY(entered >= 2);
    QCOMPARE(nested, 1);
}

void TstPlatform::gateHoldsTicksAndDeliversOnce() {
    platform::Timer timer(QStringLiteral("t"), 10, true, &gate, nullptr);
    int ticks = 0;
    connect(&timer, &platform::Timer::tick, this, [&] { ++ticks; });
    {
        platform::UiGate::Hold hold(&gate);
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(ticks, 0);
    }
    timer.setInterval(100000);  // no regular tick from now on
    QTRY_COMPARE(ticks, 1);
    QCoreApplication::processEvents();
    QCOMPARE(ticks, 1);
}

void TstPlatform::gateHoldsCloseRequests() {
    struct Window : QWidget {
        platform::UiGate* gate = nullptr;
        int asked = 0;
        void closeEvent(QCloseEvent* event) override {
            if (gate->deferClose(this, event)) {
                return;
            }
            ++asked;
            event->accept();
        }
    } window;
    window.gate = &gate;
    window.show();
    {
        platform::UiGate::Hold hold(&gate);
        QVERIFY(!window.close());
        QCOMPARE(window.asked, 0);
        QVERIFY(window.isVisible());
    }
    QTRY_COMPARE(window.asked, 1);
    QVERIFY(!window.isVisible());
}

void TstPlatform::blockingFetchRunsNoHandlerButPaints() {
    TestHttpServer::Response slow = TestHttpServer::Response::text("ok");
    slow.delayMs = 300;
    server->setResponse("/", slow);
    QLabel label(QStringLiteral("before"));
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    // Started after the window is up (which can take longer than a tick, e.g. under Wine):
    // from here on the event loop runs only inside the fetch.
    platform::Timer timer(QStringLiteral("t"), 20, true, &gate, nullptr);
    int ticks = 0;
    connect(&timer, &platform::Timer::tick, this, [&] { ++ticks; });
    int paints = 0;
    struct PaintCounter : QObject {
        int* paints;
        bool eventFilter(QObject*, QEvent* e) override {
            *paints += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    counter.paints = &paints;
    label.installEventFilter(&counter);
    label.setText(QStringLiteral("waiting"));
    int ticksAfterFetch = -1;
    int paintsDuringFetch = 0;
    connect(server.get(), &TestHttpServer::requestReceived, this,
            [&] { QTimer::singleShot(150, this, [&] { paintsDuringFetch = paints; }); });
    const FetchResult result = fetch(server->url());
    ticksAfterFetch = ticks;
    QVERIFY(result.ok());
    QCOMPARE(ticksAfterFetch, 0);
    QVERIFY(paintsDuringFetch > 0);
    // The tick that fell due comes afterwards.
    QTRY_VERIFY(ticks >= 1);
}

void TstPlatform::dripFeedIsEndedByTheTotalLimit() {
    TestHttpServer::Response drip = TestHttpServer::Response::text(QByteArray(1000, 'x'));
    drip.dripIntervalMs = 50;
    server->setResponse("/", drip);
    platform::FetchOptions options;
    options.totalLimit = 400ms;
    QElapsedTimer clock;
    clock.start();
    const FetchResult result = fetch(server->url(), options);
    QCOMPARE(result.status, FetchResult::Status::TimedOut);
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(result.text, QString());
}

void TstPlatform::silenceIsATimeOut() {
    TestHttpServer::Response silent;
    silent.neverAnswer = true;
    server->setResponse("/", silent);
    platform::FetchOptions options;
    options.totalLimit = 200ms;
    QCOMPARE(fetch(server->url(), options).status, FetchResult::Status::TimedOut);
}

void TstPlatform::redirectWithinTheSchemeIsFollowed() {
    server->setResponse("/old", TestHttpServer::Response::redirect("/new"));
    server->setResponse("/new", TestHttpServer::Response::text("moved"));
    const FetchResult result = fetch(server->url(QStringLiteral("/old")));
    QVERIFY(result.ok());
    QCOMPARE(result.text, QStringLiteral("moved"));
}

void TstPlatform::redirectLoopIsRefused() {
    server->setResponse("/a", TestHttpServer::Response::redirect("/b"));
    server->setResponse("/b", TestHttpServer::Response::redirect("/a"));
    const FetchResult result = fetch(server->url(QStringLiteral("/a")));
    QCOMPARE(result.status, FetchResult::Status::RedirectRefused);
    QVERIFY(server->requestCount() <= 7);
}

void TstPlatform::redirectToAnotherSchemeIsRefused() {
    server->setResponse("/", TestHttpServer::Response::redirect("file:///etc/passwd"));
    QCOMPARE(fetch(server->url()).status, FetchResult::Status::RedirectRefused);
    server->setResponse("/", TestHttpServer::Response::redirect(
                                 "https://127.0.0.1:" + QByteArray::number(server->port()) + "/"));
    QCOMPARE(fetch(server->url()).status, FetchResult::Status::RedirectRefused);
    QCOMPARE(server->requestCount(), 2);
}

void TstPlatform::statusAndBodies_data() {
    // Each row arranges the service and may point the fetch elsewhere.
    QTest::addColumn<ServeAndAim>("arrange");
    QTest::addColumn<int>("status");
    QTest::newRow("200 empty") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::text(""));
    }) << int(FetchResult::Status::Ok);
    QTest::newRow("500") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::withStatus(500, "boom"));
    }) << int(FetchResult::Status::HttpError);
    QTest::newRow("404") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        server.setResponse("/", TestHttpServer::Response::withStatus(404, "none"));
    }) << int(FetchResult::Status::HttpError);
    QTest::newRow("closed port") << ServeAndAim([](TestHttpServer&, QUrl& url) {
        url = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    }) << int(FetchResult::Status::Failed);
    QTest::newRow("reset in the body") << ServeAndAim([](TestHttpServer& server, QUrl&) {
        TestHttpServer::Response r = TestHttpServer::Response::text(QByteArray(5000, 'x'));
        r.resetAfterBytes = 100;
        server.setResponse("/", r);
    }) << int(FetchResult::Status::Failed);
    QTest::newRow("not http") << ServeAndAim([](TestHttpServer&, QUrl& url) {
        url = QUrl(QStringLiteral("ftp://127.0.0.1/"));
    }) << int(FetchResult::Status::Failed);
}

void TstPlatform::statusAndBodies() {
    QFETCH(ServeAndAim, arrange);
    QFETCH(int, status);
#ifdef Q_OS_WIN
    // Seen once in six runs under Wine 8: the client saw no reset on the loopback and waited
    // out its time limit (TimedOut). On Linux the row runs every time.
    if (QByteArray(QTest::currentDataTag()) == "reset in the body") {
        QSKIP("Wine can lose a connection reset on the loopback");
    }
#endif
    QUrl url = server->url();
    arrange(*server, url);
    const FetchResult result = fetch(url);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.text, QString());
}

void TstPlatform::bodyOverTheCap_data() {
    QTest::addColumn<bool>("announced");
    QTest::newRow("Content-Length") << true;
    QTest::newRow("no length") << false;
}

void TstPlatform::bodyOverTheCap() {
    QFETCH(bool, announced);
    TestHttpServer::Response big = TestHttpServer::Response::text(QByteArray(300000, 'x'));
    big.sendContentLength = announced;
    server->setResponse("/", big);
    platform::FetchOptions options;
    options.maxBodyBytes = 100000;
    QCOMPARE(fetch(server->url(), options).status, FetchResult::Status::TooLarge);
    options.maxBodyBytes = 300000;
    QCOMPARE(fetch(server->url(), options).text.size(), 300000);
}

// The rules of a fetch without a server: a cap of 100 bytes and at most 2 redirects.
void TstPlatform::hopOutcome_data() {
    using Status = FetchResult::Status;
    using Outcome = std::optional<Status>;
    using Error = platform::TransferError;
    QTest::addColumn<platform::HopFacts>("facts");
    QTest::addColumn<int>("hop");
    QTest::addColumn<Outcome>("status");  // nullopt: the redirect is followed to `next`
    QTest::addColumn<QUrl>("next");
    const auto answer = [](int httpStatus, qint64 bytes = 0,
                           platform::TransferError error = platform::TransferError::None) {
        platform::HopFacts facts;
        facts.httpStatus = httpStatus;
        facts.bytesReceived = bytes;
        facts.error = error;
        return facts;
    };
    const auto redirect = [&](const char* to) {
        platform::HopFacts facts = answer(302);
        facts.location = QUrl(QString::fromLatin1(to));
        return facts;
    };
    const QUrl none;
    const QUrl next(QStringLiteral("http://127.0.0.1/next"));

    QTest::newRow("200 with a body") << answer(200, 50) << 0 << Outcome(Status::Ok) << none;
    QTest::newRow("200 without a body") << answer(200) << 0 << Outcome(Status::Ok) << none;
    QTest::newRow("body exactly at the cap")
        << answer(200, 100) << 0 << Outcome(Status::Ok) << none;
    QTest::newRow("body one byte over the cap")
        << answer(200, 101, Error::Aborted) << 0 << Outcome(Status::TooLarge) << none;
    platform::HopFacts announced = answer(200, 0, Error::Aborted);
    announced.declaredLength = 101;
    QTest::newRow("length announced over the cap")
        << announced << 0 << Outcome(Status::TooLarge) << none;
    platform::HopFacts late = answer(200, 40, Error::Aborted);
    late.deadlinePassed = true;
    QTest::newRow("total time over") << late << 0 << Outcome(Status::TimedOut) << none;
    QTest::newRow("silence, reported as aborted (Qt 6.4)")
        << answer(0, 0, Error::Aborted) << 0 << Outcome(Status::TimedOut) << none;
    QTest::newRow("silence, reported as a time-out")
        << answer(0, 0, Error::TimedOut) << 0 << Outcome(Status::TimedOut) << none;
    platform::HopFacts given = late;
    given.bytesReceived = 500;
    given.abandoned = true;
    QTest::newRow("abandoned comes before everything")
        << given << 0 << Outcome(Status::Abandoned) << none;
    QTest::newRow("404") << answer(404, 9, Error::Other) << 0 << Outcome(Status::HttpError) << none;
    QTest::newRow("500 with an empty body")
        << answer(500, 0, Error::Other) << 0 << Outcome(Status::HttpError) << none;
    QTest::newRow("304 without a Location")
        << answer(304) << 0 << Outcome(Status::HttpError) << none;
    QTest::newRow("connection refused")
        << answer(0, 0, Error::Other) << 0 << Outcome(Status::Failed) << none;
    QTest::newRow("connection reset after the status line")
        << answer(200, 10, Error::Other) << 0 << Outcome(Status::Failed) << none;
    QTest::newRow("redirect within the scheme")
        << redirect("http://127.0.0.1/next") << 0 << Outcome() << next;
    QTest::newRow("last redirect within the limit")
        << redirect("http://127.0.0.1/next") << 1 << Outcome() << next;
    QTest::newRow("redirect past the limit")
        << redirect("http://127.0.0.1/next") << 2 << Outcome(Status::RedirectRefused) << none;
    QTest::newRow("redirect from http to https")
        << redirect("https://127.0.0.1/next") << 0 << Outcome(Status::RedirectRefused) << none;
    QTest::newRow("redirect to ftp")
        << redirect("ftp://127.0.0.1/next") << 0 << Outcome(Status::RedirectRefused) << none;
    QTest::newRow("redirect to data") << redirect("data:text/html;base64,PHRhYmxlPg==") << 0
                                      << Outcome(Status::RedirectRefused) << none;
}

void TstPlatform::hopOutcome() {
    QFETCH(platform::HopFacts, facts);
    QFETCH(int, hop);
    QFETCH(std::optional<FetchResult::Status>, status);
    QFETCH(QUrl, next);
    platform::FetchOptions options;
    options.maxBodyBytes = 100;
    options.maxRedirects = 2;
    const platform::HopOutcome outcome =
        platform::classifyHop(facts, options, hop, QUrl(QStringLiteral("http://127.0.0.1/")));
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.next, next);
}

void TstPlatform::responsiveFetchCanBeAbandoned() {
    TestHttpServer::Response silent;
    silent.neverAnswer = true;
    server->setResponse("/", silent);
    HttpFetch fetcher(&network, &gate);
    int ticks = 0;
    platform::Timer timer(QStringLiteral("t"), 10, true, &gate, nullptr);
    connect(&timer, &platform::Timer::tick, this, [&] {
        // The interface goes on while the fetch waits; after a few ticks the user leaves.
        if (++ticks == 5) {
            fetcher.abandon();
        }
    });
    const FetchResult result = fetcher.get(server->url(), {}, HttpFetch::Wait::KeepResponsive);
    QCOMPARE(result.status, FetchResult::Status::Abandoned);
    QVERIFY(ticks >= 5);
}

void TstPlatform::closingABoxCountsAsCancelOrNo_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes/No/Cancel")
        << int(MessageBoxes::Buttons::YesNoCancel) << int(MessageBoxes::Answer::Cancel);
    QTest::newRow("Yes/No") << int(MessageBoxes::Buttons::YesNo) << int(MessageBoxes::Answer::No);
    QTest::newRow("OK") << int(MessageBoxes::Buttons::Ok) << int(MessageBoxes::Answer::Ok);
}

void TstPlatform::closingABoxCountsAsCancelOrNo() {
    QFETCH(int, buttons);
    QFETCH(int, answer);
    platform::QtMessageBoxes boxes;
    QString seenTitle;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QWidget* box = QApplication::activeModalWidget();
        seenTitle = box->windowTitle();
        box->close();  // the close button of the title bar
    });
    const auto result =
        boxes.show(nullptr, QStringLiteral("问题?"), MessageBoxes::Icon::Information,
                   MessageBoxes::Buttons(buttons), QStringLiteral("Zeluna系列软件"));
    QCOMPARE(int(result), answer);
    QCOMPARE(seenTitle, QStringLiteral("Zeluna系列软件"));
}

void TstPlatform::boxShowsPlainText() {
    platform::QtMessageBoxes boxes;
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        format = box->textFormat();
        box->button(QMessageBox::Yes)->click();
    });
    const auto result =
        boxes.show(nullptr, QStringLiteral("<b>a</b>\r \rb"), MessageBoxes::Icon::Information,
                   MessageBoxes::Buttons::YesNo, QStringLiteral("t"));
    QCOMPARE(result, MessageBoxes::Answer::Yes);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, QStringLiteral("<b>a</b>\n \nb"));
}

void TstPlatform::saveDialogAsksBeforeReplacing() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("old.txt"));
    QVERIFY(base::writeFileAtomically(existing, "x"));
    platform::QtSaveDialog dialog;
    QStringList filters;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList questions;
    bool keptOpenAfterNo = false;
    // The steps below run inside the dialog's loop; they end with this test.
    QObject scope;
    // Answers the question that comes up over the dialog, if one does.
    const auto answerQuestion = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, &scope, [&questions, button] {
            QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            questions.append(box->text());
            box->button(button)->click();
        });
    };
    QTimer::singleShot(0, &scope, [&] {
        QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        filters = shown->nameFilters();
        mode = shown->acceptMode();
        shown->selectFile(existing);
        // As the Save button does. No keeps the dialog open; Yes takes the name.
        QDialog* asDialog = shown;
        answerQuestion(QMessageBox::No);
        asDialog->accept();
        keptOpenAfterNo = shown->isVisible() && shown->result() != QDialog::Accepted;
        answerQuestion(QMessageBox::Yes);
        asDialog->accept();
    });
    const std::optional<QString> path =
        dialog.askSavePath(nullptr, QStringLiteral("(TXT文本) (*.txt)"));
    QCOMPARE(questions.size(), 2);
    QVERIFY2(questions.first().contains(QStringLiteral("old.txt")), qPrintable(questions.first()));
    QVERIFY(keptOpenAfterNo);
    QVERIFY(path.has_value());
    QCOMPARE(QFileInfo(*path).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
    QCOMPARE(mode, QFileDialog::AcceptSave);
    QCOMPARE(filters, QStringList{QStringLiteral("(TXT文本) (*.txt)")});
    // Cancelled, the dialog gives no path.
    QTimer::singleShot(0, &scope, [] {
        QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
        qobject_cast<QFileDialog*>(QApplication::activeModalWidget())->reject();
    });
    QVERIFY(!dialog.askSavePath(nullptr, QStringLiteral("(TXT文本) (*.txt)")).has_value());
}

void TstPlatform::atomicWriteKeepsTheOldFileOnAShortWrite() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file.txt"));
    QVERIFY(base::writeFileAtomically(path, "old content"));
    bool written = true;
    {
        testsupport::FileSizeLimit full(4);
        if (!full.ok()) {
            QSKIP("no limit on the size of written files here");
        }
        written = base::writeFileAtomically(path, "new content, longer").ok();
    }
    QVERIFY(!written);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old content"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("file.txt")});
}

void TstPlatform::skinTurnsTheHue() {
    const QString turned = platform::SkinEngine::adjustColors(
        QStringLiteral("Window = #ff0000\nBase = #808080\nButton = #00FF00"), 120, 0, 0);
    QCOMPARE(turned, QStringLiteral("Window = #00ff00\nBase = #808080\nButton = #0000ff"));
    QTemporaryDir dir;
    QFile skin(dir.filePath(QStringLiteral("skinh.she")));
    QVERIFY(skin.open(QIODevice::WriteOnly));
    skin.write("; a comment = #123456\nWindow = #ff0000\nNoSuchRole = #00ff00\nButton=#0000ff\n");
    skin.close();
    QWidget window;
    QLabel child(&window);
    platform::SkinEngine engine(&window);
    QCOMPARE(engine.SkinH_AttachEx(skin.fileName(), QString()), 1);
    QCOMPARE(window.palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(engine.SkinH_AdjustHSV(120, 0, 0), 1);
    QCOMPARE(window.palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(window.palette().color(QPalette::Button), QColor(255, 0, 0));
    // Every window opened from it follows.
    QCOMPARE(child.palette().color(QPalette::Window), QColor(0, 255, 0));
}

void TstPlatform::skinWithoutFileDoesNothing() {
    QWidget window;
    const QPalette before = window.palette();
    platform::SkinEngine engine(&window);
    QCOMPARE(engine.SkinH_AttachEx(QStringLiteral("/nonexistent/skinh.she"), QString()), 0);
    QCOMPARE(engine.SkinH_AdjustHSV(88, 0, 0), 0);
    QCOMPARE(window.palette(), before);
}

void TstPlatform::gbkRoundTrip() {
    const QString text = QStringLiteral("快递|EMS|𠀀|€");
    const QByteArray bytes = base::toGbk(text).value();
    QVERIFY(bytes.startsWith("\xbf\xec\xb5\xdd|EMS|"));
    QCOMPARE(base::fromGbk(bytes).value(), text);
    QCOMPARE(base::charsetOf("text/html; Charset = \"UTF-8\""), QByteArray("utf-8"));
    QCOMPARE(base::charsetOf("text/html"), QByteArray());
}

void TstPlatform::cutOffCharacterAtTheEndIsMarked_data() {
    // A body or file that ends inside a character: the decoder holds such a tail back for a
    // next call, so decoding in one call must flush it, or the bytes vanish without a mark.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("fallback");
    QTest::addColumn<bool>("gbk");          // read as GBK, the way fromGbk reads files
    QTest::addColumn<QString>("readable");  // what stands before the U+FFFD marks
    const QString received = QStringLiteral("已收");
    const QByteArray cut = base::toGbk(received).value() + "\xbc";
    QTest::newRow("gbk lead byte, no charset")
        << cut << QByteArray("text/html") << QByteArray("GB18030") << true << received;
    QTest::newRow("gbk lead byte, gbk named")
        << cut << QByteArray("text/html; charset=gbk") << QByteArray("UTF-8") << true << received;
    QTest::newRow("four-byte sequence cut short")
        << QByteArray("A\x81\x30\x81") << QByteArray("text/plain; charset=gb18030")
        << QByteArray("UTF-8") << true << QStringLiteral("A\uFFFD0");
    // The input the fuzzer found: "閠" (E9 74) and a lone lead byte E9.
    QTest::newRow("lead byte after a whole character")
        << QByteArray("\xe9t\xe9") << QByteArray() << QByteArray("GB18030") << true
        << QString(QChar(0x95A0));
    QTest::newRow("utf-8, no charset") << QByteArray("A\xe4\xb8") << QByteArray("text/html")
                                       << QByteArray("UTF-8") << false << QStringLiteral("A");
    QTest::newRow("utf-8 named") << QByteArray("A\xe4\xb8")
                                 << QByteArray("text/html; charset=utf-8") << QByteArray("GB18030")
                                 << false << QStringLiteral("A");
}

void TstPlatform::cutOffCharacterAtTheEndIsMarked() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, fallback);
    QFETCH(bool, gbk);
    QFETCH(QString, readable);
    const QString text = base::decodeBody(bytes, contentType, fallback.constData());
    QVERIFY2(text.startsWith(readable), qPrintable(text));
    const QStringView marks = QStringView(text).mid(readable.size());
    QVERIFY2(!marks.isEmpty(), "the cut-off character vanished");
    for (const QChar c : marks) {
        QVERIFY2(c == QChar::ReplacementCharacter, qPrintable(text));
    }
    if (gbk) {
        QCOMPARE(base::fromGbk(bytes).value(), text);
    }
}

QTEST_MAIN(TstPlatform)
#include "tst_platform.moc"
