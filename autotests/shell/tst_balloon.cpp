#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "platform/controls/controls.h"
#include "shell/balloon.h"
#include "shell/list_click.h"
#include "shell/list_filter.h"
#include "support/activation.h"

using platform::ListView;
using platform::StatusBar;

namespace {

const QString kTitle = QStringLiteral("物流跟踪信息");

QVector<platform::ListViewModel::Column> progressColumns() {
    return {{QStringLiteral("序号"), QStringLiteral("xh"), 600},
            {QStringLiteral("时间"), QStringLiteral("sj"), 2400},
            {QStringLiteral("物流进度"), QStringLiteral("wl"), 4800}};
}

// Fills the list as a query does: numbered lines, the newest on top.
void fill(ListView* list, const QList<QPair<QString, QString>>& lines) {
    list->clear();
    for (int i = 0; i < lines.size(); ++i) {
        list->listModel()->insertAtTop(QString::number(i + 1));
        list->listModel()->setCell(0, 1, lines.at(i).first);
        list->listModel()->setCell(0, 2, lines.at(i).second);
    }
}

// Every balloon tip window that exists, shown or not.
QList<shell::BalloonTip*> tipWindows() {
    QList<shell::BalloonTip*> tips;
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* tip = qobject_cast<shell::BalloonTip*>(w)) {
            tips.append(tip);
        }
    }
    return tips;
}

}  // namespace

// The progress list's balloon and the filter that keeps its column widths.
class TestBalloon : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clickedLineOpensBalloon();
    void balloonShowsWhileMouseRests();
    void realMouseRestShowsTheBalloon();
    void secondClickReplacesTip();
    void emptyListSaysNoInformation();
    void lineWithoutNumberSaysNoInformation();
    void clickBesideLinesAfterClearingSaysNoInformation();
    void tipOutlivesClearAndRefill();
    void propertiesBeforeAndAfterCreate();
    void tipGoesWithItsControl();

    void dividerDragIsIgnored();
    void dividerDoubleClickIsIgnored();
    void headerClicksStillArrive();
    void listStillSelectsAndScrolls();

private:
    void clickRow(int row);
    void clickBelowLines();
    void rest(QWidget* widget, const QPoint& pos);
    // Positions on the header's viewport.
    QPoint dividerAfter(int section) const;
    void sendMouse(QWidget* target, QEvent::Type type, const QPoint& pos, Qt::MouseButtons held);
    QList<int> widths(ListView* list) const;

    QWidget* window_ = nullptr;
    ListView* list_ = nullptr;
    StatusBar* s1_ = nullptr;
    shell::ListClickHandler* handler_ = nullptr;
};

void TestBalloon::init() {
    window_ = new QWidget;
    window_->resize(640, 360);
    list_ = new ListView(QStringLiteral("ListView1"), progressColumns(), window_);
    list_->setGeometry(0, 0, 640, 300);
    s1_ = new StatusBar(QStringLiteral("S1"), 5, window_);
    s1_->setGeometry(0, 320, 640, 30);
    handler_ = new shell::ListClickHandler(list_, window_);
    connect(handler_, &shell::ListClickHandler::statusText, s1_,
            [this](const QString& text) { s1_->setPanelText(2, text); });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void TestBalloon::cleanup() {
    delete window_;
    window_ = nullptr;
    QVERIFY(tipWindows().isEmpty());
}

void TestBalloon::clickRow(int row) {
    const QRect rect = list_->visualRect(list_->listModel()->index(row, 1));
    QVERIFY(rect.isValid());
    QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestBalloon::clickBelowLines() {
    QTest::mouseClick(list_->viewport(), Qt::LeftButton, {},
                      QPoint(20, list_->viewport()->height() - 5));
}

void TestBalloon::rest(QWidget* widget, const QPoint& pos) {
    QHelpEvent help(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &help);
}

void TestBalloon::clickedLineOpensBalloon() {
    fill(list_, {{QStringLiteral("2013-01-04 08:00:00"), QStringLiteral("已揽收")},
                 {QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    s1_->setPanelText(2, QStringLiteral("查询完毕..."));
    QVERIFY(handler_->balloon() == nullptr);

    clickRow(0);
    shell::Class1* balloon = handler_->balloon();
    QVERIFY(balloon);
    QCOMPARE(balloon->ParentControl(), list_);
    QCOMPARE(balloon->title(), kTitle);
    QCOMPARE(balloon->text(), QStringLiteral("时间:2013-01-05 10:00:00\r\n物流进度:已签收"));
    QVERIFY(balloon->tipWindow());
    QCOMPARE(balloon->tipWindow()->title(), kTitle);
    QCOMPARE(balloon->tipWindow()->text(),
             QStringLiteral("时间:2013-01-05 10:00:00\n物流进度:已签收"));
    // The balloon waits for the mouse to rest; the status bar is not touched.
    QVERIFY(!balloon->tipWindow()->isVisible());
    QCOMPARE(s1_->panelText(2), QStringLiteral("查询完毕..."));
}

void TestBalloon::balloonShowsWhileMouseRests() {
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    clickRow(0);
    shell::BalloonTip* tip = handler_->balloon()->tipWindow();
    QVERIFY(tip);

    // Anywhere over the list, not only over the clicked line.
    const QPoint below(300, list_->viewport()->height() - 10);
    rest(list_->viewport(), below);
    QTRY_VERIFY(tip->isVisible());
    QVERIFY(tip->isWindow());
    QVERIFY(tip->geometry().contains(list_->viewport()->mapToGlobal(below) + QPoint(10, 25)));
    auto* title = tip->findChild<QLabel*>(QStringLiteral("BalloonTitle"));
    auto* body = tip->findChild<QLabel*>(QStringLiteral("BalloonText"));
    QVERIFY(title->font().bold());
    QCOMPARE(title->textFormat(), Qt::PlainText);
    QCOMPARE(body->textFormat(), Qt::PlainText);
    QCOMPARE(body->text().count(QLatin1Char('\n')), 1);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(list_->viewport(), &leave);
    QTRY_VERIFY(!tip->isVisible());

    // And again when the mouse comes back.
    rest(list_->viewport(), QPoint(40, 10));
    QTRY_VERIFY(tip->isVisible());
}

// The mouse itself, not a made-up tool-tip event: moved onto the list it rests there until
// the platform's tool-tip delay has passed, moved off the list the balloon goes.
void TestBalloon::realMouseRestShowsTheBalloon() {
    // Tips show over the active window only (the system's tips do the same).
    QVERIFY(testsupport::activate(window_));
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    clickRow(0);
    shell::BalloonTip* tip = handler_->balloon()->tipWindow();
    QVERIFY(tip);
    QVERIFY(!tip->isVisible());
    const QPoint rest(200, list_->viewport()->height() - 20);
    QTest::mouseMove(list_->viewport(), rest - QPoint(5, 5));
    QTest::mouseMove(list_->viewport(), rest);
    QTRY_VERIFY_WITH_TIMEOUT(tip->isVisible(), 5000);
    QCOMPARE(tip->text(), QStringLiteral("时间:2013-01-05 10:00:00\n物流进度:已签收"));
    QVERIFY(tip->geometry().contains(list_->viewport()->mapToGlobal(rest) + QPoint(10, 25)));

    QTest::mouseMove(s1_, QPoint(20, 10));
    QTRY_VERIFY(!tip->isVisible());
}

void TestBalloon::secondClickReplacesTip() {
    fill(list_, {{QStringLiteral("2013-01-04 08:00:00"), QStringLiteral("已揽收")},
                 {QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    clickRow(0);
    QPointer<shell::BalloonTip> first = handler_->balloon()->tipWindow();
    shell::Class1* balloon = handler_->balloon();
    clickRow(1);

    // The same balloon object, a new tip window, and only one of them.
    QCOMPARE(handler_->balloon(), balloon);
    QVERIFY(first.isNull());
    QCOMPARE(tipWindows().size(), 1);
    QCOMPARE(tipWindows().first(), balloon->tipWindow());
    QCOMPARE(balloon->text(), QStringLiteral("时间:2013-01-04 08:00:00\r\n物流进度:已揽收"));
    rest(list_->viewport(), QPoint(40, 10));
    QTRY_VERIFY(balloon->tipWindow()->isVisible());
    QCOMPARE(balloon->tipWindow()->text(),
             QStringLiteral("时间:2013-01-04 08:00:00\n物流进度:已揽收"));
}

void TestBalloon::emptyListSaysNoInformation() {
    clickBelowLines();
    QCOMPARE(s1_->panelText(2), QStringLiteral("当前没有物流信息"));
    QVERIFY(handler_->balloon() == nullptr);
    QVERIFY(tipWindows().isEmpty());
}

void TestBalloon::lineWithoutNumberSaysNoInformation() {
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    list_->listModel()->setCell(0, 0, QString());
    clickRow(0);
    QCOMPARE(list_->selectedRow(), 0);
    QCOMPARE(s1_->panelText(2), QStringLiteral("当前没有物流信息"));
    QVERIFY(handler_->balloon() == nullptr);
}

void TestBalloon::clickBesideLinesAfterClearingSaysNoInformation() {
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    clickRow(0);
    QVERIFY(handler_->balloon());
    // A new query empties the list; a click then finds no line.
    list_->clear();
    s1_->setPanelText(2, QString());
    clickBelowLines();
    QCOMPARE(s1_->panelText(2), QStringLiteral("当前没有物流信息"));
    // The balloon made before stays as it was.
    QCOMPARE(handler_->balloon()->text(),
             QStringLiteral("时间:2013-01-05 10:00:00\r\n物流进度:已签收"));
    QCOMPARE(tipWindows().size(), 1);
}

void TestBalloon::tipOutlivesClearAndRefill() {
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    clickRow(0);
    shell::BalloonTip* tip = handler_->balloon()->tipWindow();

    // A new query empties and refills the list: the balloon still shows the old line.
    fill(list_, {{QStringLiteral("2013-02-01 09:30:00"), QStringLiteral("运输中")},
                 {QStringLiteral("2013-02-02 11:00:00"), QStringLiteral("派件中")}});
    QCOMPARE(handler_->balloon()->tipWindow(), tip);
    rest(list_->viewport(), QPoint(40, 10));
    QTRY_VERIFY(tip->isVisible());
    QCOMPARE(tip->text(), QStringLiteral("时间:2013-01-05 10:00:00\n物流进度:已签收"));

    // Until the next click.
    clickRow(0);
    QCOMPARE(handler_->balloon()->text(),
             QStringLiteral("时间:2013-02-02 11:00:00\r\n物流进度:派件中"));
    QCOMPARE(tipWindows().size(), 1);
}

void TestBalloon::propertiesBeforeAndAfterCreate() {
    shell::Class1 balloon;
    QLabel target(QStringLiteral("target"));
    target.resize(200, 100);
    target.show();
    QVERIFY(QTest::qWaitForWindowExposed(&target));

    // Before Create there is no tip window to change.
    balloon.setToolTipTitle(QStringLiteral("T1"));
    balloon.setToolTipText(QStringLiteral("a\r\nb"));
    QVERIFY(balloon.tipWindow() == nullptr);
    // Without a control nothing is made.
    balloon.Create();
    QVERIFY(balloon.tipWindow() == nullptr);
    rest(&target, QPoint(10, 10));
    QVERIFY(tipWindows().isEmpty());

    balloon.setParentControl(&target);
    balloon.Create();
    QVERIFY(balloon.tipWindow());
    QCOMPARE(balloon.tipWindow()->title(), QStringLiteral("T1"));
    QCOMPARE(balloon.tipWindow()->text(), QStringLiteral("a\nb"));
    QCOMPARE(balloon.tipWindow()->parentWidget(), &target);

    // Afterwards the properties change the tip in place.
    shell::BalloonTip* tip = balloon.tipWindow();
    balloon.setToolTipTitle(QStringLiteral("T2"));
    balloon.setToolTipText(QStringLiteral("c"));
    QCOMPARE(balloon.tipWindow(), tip);
    QCOMPARE(tip->title(), QStringLiteral("T2"));
    QCOMPARE(tip->text(), QStringLiteral("c"));

    // A plain control (no viewport) shows the tip itself.
    rest(&target, QPoint(10, 10));
    QTRY_VERIFY(tip->isVisible());
    QTest::mousePress(&target, Qt::LeftButton);
    QTRY_VERIFY(!tip->isVisible());
    QTest::mouseRelease(&target, Qt::LeftButton);
}

void TestBalloon::tipGoesWithItsControl() {
    auto balloon = std::make_unique<shell::Class1>();
    {
        QLabel target;
        target.show();
        balloon->setParentControl(&target);
        balloon->Create();
        QCOMPARE(tipWindows().size(), 1);
    }
    // The control took its tip with it; the balloon knows.
    QVERIFY(tipWindows().isEmpty());
    QVERIFY(balloon->tipWindow() == nullptr);
    QVERIFY(balloon->ParentControl() == nullptr);
    balloon->Create();
    QVERIFY(balloon->tipWindow() == nullptr);
    balloon.reset();
}

QPoint TestBalloon::dividerAfter(int section) const {
    QHeaderView* header = list_->header();
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) - 1;
    return QPoint(x, header->viewport()->height() / 2);
}

void TestBalloon::sendMouse(QWidget* target, QEvent::Type type, const QPoint& pos,
                            Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QList<int> TestBalloon::widths(ListView* list) const {
    QList<int> result;
    for (int i = 0; i < list->header()->count(); ++i) {
        result.append(list->header()->sectionSize(i));
    }
    return result;
}

void TestBalloon::dividerDragIsIgnored() {
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    QWidget* viewport = list_->header()->viewport();
    auto drag = [&](int section) {
        const QPoint from = dividerAfter(section);
        sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, from + QPoint(30, 0), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, from + QPoint(60, 0), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, from + QPoint(60, 0), Qt::NoButton);
    };

    // The same drag on a list without the filter does resize: the gesture is a real one.
    const QList<int> before = widths(list_);
    drag(1);
    QVERIFY(widths(list_) != before);
    list_->header()->resizeSection(1, before.at(1));
    QCOMPARE(widths(list_), before);

    shell::installListFilter(list_);
    QSignalSpy clicked(list_->header(), &QHeaderView::sectionClicked);
    for (int section = 0; section < 3; ++section) {
        drag(section);
        QCOMPARE(widths(list_), before);
    }
    // A press on a divider is no column click either.
    QCOMPARE(clicked.count(), 0);
    // Also when someone makes the sections resizable again later.
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);
    drag(1);
    QCOMPARE(widths(list_), before);
}

void TestBalloon::dividerDoubleClickIsIgnored() {
    // Long texts that a fit-to-contents would widen the columns for.
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00 ") + QString(40, QLatin1Char('x')),
                  QString(80, QLatin1Char('y'))}});
    QWidget* viewport = list_->header()->viewport();
    auto doubleClick = [&](int section) {
        const QPoint at = dividerAfter(section);
        sendMouse(viewport, QEvent::MouseButtonPress, at, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, at, Qt::NoButton);
        sendMouse(viewport, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, at, Qt::NoButton);
    };

    const QList<int> before = widths(list_);
    doubleClick(1);
    QVERIFY(widths(list_) != before);
    list_->header()->resizeSection(1, before.at(1));

    shell::installListFilter(list_);
    for (int section = 0; section < 3; ++section) {
        doubleClick(section);
        QCOMPARE(widths(list_), before);
    }
}

void TestBalloon::headerClicksStillArrive() {
    shell::installListFilter(list_);
    fill(list_, {{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    QHeaderView* header = list_->header();
    QSignalSpy clicked(header, &QHeaderView::sectionClicked);
    const QList<int> before = widths(list_);
    for (int section = 0; section < 3; ++section) {
        const QPoint middle(
            header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
            header->viewport()->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }
    QCOMPARE(clicked.count(), 3);
    QCOMPARE(clicked.at(0).at(0).toInt(), 0);
    QCOMPARE(clicked.at(1).at(0).toInt(), 1);
    QCOMPARE(clicked.at(2).at(0).toInt(), 2);
    QCOMPARE(widths(list_), before);
}

void TestBalloon::listStillSelectsAndScrolls() {
    shell::installListFilter(list_);
    QList<QPair<QString, QString>> lines;
    for (int i = 0; i < 60; ++i) {
        lines.append({QStringLiteral("2013-01-05 10:%1:00").arg(i, 2, 10, QLatin1Char('0')),
                      QStringLiteral("运输中")});
    }
    fill(list_, lines);
    clickRow(2);
    QCOMPARE(list_->selectedRow(), 2);
    QVERIFY(handler_->balloon());
    QCOMPARE(handler_->balloon()->text(),
             QStringLiteral("时间:2013-01-05 10:57:00\r\n物流进度:运输中"));

    QScrollBar* bar = list_->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    list_->setFocus();
    QTest::keyClick(list_->viewport(), Qt::Key_End);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(list_->selectedRow(), 59);
}

QTEST_MAIN(TestBalloon)
#include "tst_balloon.moc"
