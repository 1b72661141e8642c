// The timed and the loop query on the main window against a local tracking service: arming
// and locking, firing at the set minute or on every N-th minute tick, the panel switch with
// its questions, and one query at a time however the ticks arrive.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include "requery/requery.h"
#include "support/activation.h"
#include "support/main_window_fixture.h"

using platform::MessageBoxes;
using testsupport::MainWindowFixture;
using testsupport::TestHttpServer;

namespace {

const QString kTimedOff = QStringLiteral("开始定时");
const QString kTimedArmed = QStringLiteral("关闭定时");
const QString kLoopOff = QStringLiteral("开始循环");
const QString kLoopRunning = QStringLiteral("停止循环");
const QString kNotFoundPage = QStringLiteral("您好,该单号不存在");

QDateTime at(int hour, int minute, int second, int day = 1) {
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute, second));
}

}  // namespace

class TstRequery : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Timed query
    void armNeedsNumberAndCourier_data();
    void armNeedsNumberAndCourier();
    void armLocksAndDisarmUnlocks();
    void firesOnceInTheSetMinute_data();
    void firesOnceInTheSetMinute();
    void noQueryOutsideTheSetMinute();
    void refusedOrFailedQueryStillDisarms_data();
    void refusedOrFailedQueryStillDisarms();
    void queryUsesTheNumberPastedWhileArmed();

    // Loop query
    void loopNeedsNumberAndCourierFirst();
    void loopNeedsAnInterval();
    void loopStartLocksAndStopUnlocks();
    void loopFiresOnEveryNthTick();
    void restartCountsFromZero();
    void failedQueryKeepsTheLoopRunning();
    void repeatedQueriesRaiseTheChangeAlert();

    // Panel switch
    void switchWhileRunningAsks_data();
    void switchWhileRunningAsks();
    void switchWithNothingRunningAsksNothing();

    // One query at a time
    void slowServiceGetsOneRequestPerTick();
    void ticksDuringARequestStartNothing();
    void loopTicksWaitForAnOpenBox();
    void timedTicksWaitForRequestAndBox();

private:
    void fill(const QString& number = QStringLiteral("SF123"),
              const QString& courier = QStringLiteral("顺丰快递"),
              const QString& remark = QStringLiteral("爸爸衣服"));
    void click(const QString& button);
    void setTime(int hour, int minute);
    void arm(int hour, int minute);
    void startLoop(const QString& interval);
    void checkOnePanel();
    void checkTimedLocked(bool locked);
    void checkLoopLocked(bool locked);
    void checkNeverLocked();
    int requests() const { return f->server.requestCount("/"); }
    QByteArray lastQuery() const;
    void countTicks(platform::Timer* timer);
    void driveTicks(QTimer& driver, platform::Timer* timer, int periodMs);

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
    int handled_ = 0;  // ticks handled, counted by countTicks
    int refused_ = 0;  // ticks that arrived while the previous one was handled (driveTicks)
};

void TstRequery::init() {
    f = std::make_unique<MainWindowFixture>();
    form = f->open();
    handled_ = 0;
    refused_ = 0;
    f->answer(MainWindowFixture::rowsOf(3));
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void TstRequery::cleanup() {
    const int unused = f->t.boxes.pendingAnswers();
    form = nullptr;
    f.reset();
    // Every answer a test scripted went to a box.
    QCOMPARE(unused, 0);
}

// The query string of the last request to the tracking service.
QByteArray TstRequery::lastQuery() const {
    const auto& all = f->server.requests();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (it->path == "/") {
            return it->query;
        }
    }
    return {};
}

// Counts the ticks of `timer` that were handled, after its own handler has run.
void TstRequery::countTicks(platform::Timer* timer) {
    connect(timer, &platform::Timer::tick, form, [this] { ++handled_; });
}

// Ticks that arrive whenever they fall due, also while a tick waits for a request or a box:
// each period posts a tick of `timer`, so the driver itself is never held up. `refused_`
// counts the ticks that arrived while the timer's previous tick was still being handled.
void TstRequery::driveTicks(QTimer& driver, platform::Timer* timer, int periodMs) {
    driver.setInterval(periodMs);
    connect(&driver, &QTimer::timeout, timer, [this, timer] {
        QMetaObject::invokeMethod(
            timer,
            [this, timer] {
                if (timer->isTicking()) {
                    ++refused_;
                }
                timer->fire();
            },
            Qt::QueuedConnection);
    });
    driver.start();
}

void TstRequery::fill(const QString& number, const QString& courier, const QString& remark) {
    form->controls().Text1->setText(number);
    if (courier.isEmpty()) {
        form->controls().Combo1->setListIndex(-1);
    } else {
        form->controls().Combo1->setText(courier);
    }
    QCOMPARE(form->controls().Combo1->text(), courier);
    form->controls().Text2->setText(remark);
}

// Presses a button as the user would: it has to be visible and enabled.
void TstRequery::click(const QString& name) {
    auto* button = form->findChild<QPushButton*>(name);
    QVERIFY2(button, qPrintable(name));
    QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

void TstRequery::setTime(int hour, int minute) {
    form->controls().Combo2->setText(QString::number(hour));
    form->controls().Combo3->setText(QString::number(minute));
    QCOMPARE(form->controls().Combo2->text(), QString::number(hour));
    QCOMPARE(form->controls().Combo3->text(), QString::number(minute));
}

void TstRequery::arm(int hour, int minute) {
    setTime(hour, minute);
    click(QStringLiteral("Command8"));
    QCOMPARE(form->controls().Command8->text(), kTimedArmed);
}

void TstRequery::startLoop(const QString& interval) {
    click(QStringLiteral("Command10"));
    form->controls().Combo4->setText(interval);
    QCOMPARE(form->controls().Combo4->text(), interval);
    click(QStringLiteral("Command5"));
    QCOMPARE(form->controls().Command5->text(), kLoopRunning);
}

void TstRequery::checkOnePanel() {
    QVERIFY(form->controls().Frame4->isVisible() != form->controls().Frame6->isVisible());
}

void TstRequery::checkTimedLocked(bool locked) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->controls().Combo2, form->controls().Combo3, form->controls().Command9,
             form->controls().Command7, form->controls().Command2, form->controls().Text1,
             form->controls().Combo1}) {
        QVERIFY2(w->isEnabled() == !locked, qPrintable(w->objectName()));
    }
    QCOMPARE(form->controls().Command8->text(), locked ? kTimedArmed : kTimedOff);
    QCOMPARE(form->controls().Timer4->isEnabled(), locked);
    checkNeverLocked();
}

void TstRequery::checkLoopLocked(bool locked) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->controls().Command9, form->controls().Command7, form->controls().Command2,
             form->controls().Text1, form->controls().Combo1, form->controls().Combo4}) {
        QVERIFY2(w->isEnabled() == !locked, qPrintable(w->objectName()));
    }
    QCOMPARE(form->controls().Command5->text(), locked ? kLoopRunning : kLoopOff);
    QCOMPARE(form->controls().Timer6->isEnabled(), locked);
    checkNeverLocked();
}

// The query button, the history toggle, the remark, the menu and the panel switches stay
// usable whatever runs.
void TstRequery::checkNeverLocked() {
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->controls().Command1, form->controls().Command3, form->controls().Text2,
             form->controls().Combo5, form->controls().Command10, form->controls().Command11}) {
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    }
}

// ---- Timed query ----

void TstRequery::armNeedsNumberAndCourier_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("courier");
    QTest::newRow("no number") << QString() << QStringLiteral("顺丰快递");
    QTest::newRow("no courier") << QStringLiteral("SF123") << QString();
    QTest::newRow("neither") << QString() << QString();
}

void TstRequery::armNeedsNumberAndCourier() {
    QFETCH(QString, number);
    QFETCH(QString, courier);
    fill(number, courier);
    click(QStringLiteral("Command8"));

    QCOMPARE(f->t.boxes.shown().size(), 1);
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.text, QStringLiteral("请先查询单号后在使用定时功能!"));
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    QCOMPARE(box.icon, MessageBoxes::Icon::Information);
    QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(box.parent.data(), static_cast<QWidget*>(form));
    checkTimedLocked(false);
}

void TstRequery::armLocksAndDisarmUnlocks() {
    fill();
    f->t.clock.set(at(9, 0, 0));
    arm(14, 30);
    QVERIFY(f->t.boxes.shown().isEmpty());
    checkTimedLocked(true);
    QVERIFY(f->t.notifier->watching());
    QCOMPARE(form->controls().Timer4->interval(), 1000);
    checkOnePanel();

    click(QStringLiteral("Command8"));
    checkTimedLocked(false);
    QVERIFY(!f->t.notifier->watching());
    // Disarmed before the set time: the minute comes and nothing is asked.
    f->t.clock.set(at(14, 30, 0));
    form->controls().Timer4->fire();
    QCOMPARE(requests(), 0);
    QVERIFY(f->t.boxes.shown().isEmpty());

    // Arming again works as the first time.
    arm(14, 31);
    checkTimedLocked(true);
}

void TstRequery::firesOnceInTheSetMinute_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QDateTime>("armedAt");
    QTest::addColumn<QDateTime>("lastQuietTick");
    QTest::addColumn<QDateTime>("firingTick");
    QTest::newRow("midnight") << 0 << 0 << at(23, 59, 30) << at(23, 59, 59) << at(0, 0, 0, 2);
    QTest::newRow("armed inside the minute")
        << 14 << 30 << at(14, 30, 40) << QDateTime() << at(14, 30, 41);
    QTest::newRow("minute before the hour") << 9 << 5 << at(8, 0, 0) << at(9, 4, 59) << at(9, 5, 0);
    QTest::newRow("last minute of the day")
        << 23 << 59 << at(12, 0, 0) << at(23, 58, 59) << at(23, 59, 30);
    QTest::newRow("already past today fires tomorrow")
        << 8 << 15 << at(10, 0, 0) << at(8, 14, 59, 2) << at(8, 15, 1, 2);
}

void TstRequery::firesOnceInTheSetMinute() {
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QDateTime, armedAt);
    QFETCH(QDateTime, lastQuietTick);
    QFETCH(QDateTime, firingTick);
    fill();
    f->t.clock.set(armedAt);
    arm(hour, minute);
    // Arming never queries at once, even inside the set minute.
    QCOMPARE(requests(), 0);
    if (lastQuietTick.isValid()) {
        f->t.clock.set(lastQuietTick);
        form->controls().Timer4->fire();
        QCOMPARE(requests(), 0);
        checkTimedLocked(true);
    }

    f->t.clock.set(firingTick);
    form->controls().Timer4->fire();
    QCOMPARE(requests(), 1);
    QVERIFY(lastQuery().startsWith("com=shunfeng&nu=SF123&"));
    f->finishParse();
    checkTimedLocked(false);
    QCOMPARE(form->controls().ListView1->count(), 3);
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询完毕..."));

    // Once per arming: later ticks, even inside the same minute, ask nothing.
    form->controls().Timer4->fire();
    f->t.clock.advance(86400);
    form->controls().Timer4->fire();
    QCOMPARE(requests(), 1);
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstRequery::noQueryOutsideTheSetMinute() {
    fill();
    f->t.clock.set(at(10, 0, 0));
    arm(14, 30);
    for (const QDateTime& time :
         {at(14, 29, 59), at(14, 31, 0), at(15, 30, 0), at(2, 30, 0), at(14, 0, 0), at(0, 30, 0)}) {
        f->t.clock.set(time);
        form->controls().Timer4->fire();
    }
    QCOMPARE(requests(), 0);
    checkTimedLocked(true);
}

void TstRequery::refusedOrFailedQueryStillDisarms_data() {
    QTest::addColumn<QString>("remark");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<int>("expectedRequests");
    QTest::addColumn<QString>("status");
    QTest::newRow("no remark") << QString() << 200 << 0
                               << QStringLiteral("请输入快递备注信息,例如：爸爸衣服");
    QTest::newRow("server error") << QStringLiteral("衣服") << 500 << 1
                                  << QStringLiteral("查询失败,请检查网络连接!");
}

void TstRequery::refusedOrFailedQueryStillDisarms() {
    QFETCH(QString, remark);
    QFETCH(int, httpStatus);
    QFETCH(int, expectedRequests);
    QFETCH(QString, status);
    if (httpStatus != 200) {
        f->server.setResponse("/", TestHttpServer::Response::withStatus(httpStatus));
    }
    fill(QStringLiteral("SF123"), QStringLiteral("顺丰快递"), remark);
    f->t.clock.set(at(11, 59, 50));
    arm(12, 0);
    f->t.clock.set(at(12, 0, 5));
    form->controls().Timer4->fire();

    QCOMPARE(requests(), expectedRequests);
    QCOMPARE(form->controls().S1->panelText(2), status);
    checkTimedLocked(false);
    // No retry.
    form->controls().Timer4->fire();
    QCOMPARE(requests(), expectedRequests);
}

// The number box is locked while armed, but F8 still pastes into it; the query at the set
// time asks for the number it holds then.
void TstRequery::queryUsesTheNumberPastedWhileArmed() {
    fill();
    f->t.clock.set(at(7, 0, 0));
    arm(7, 1);
    QVERIFY(!form->controls().Text1->isEnabled());
    QVERIFY(testsupport::activate(form));
    form->controls().Text2->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form->controls().Text2));

    QGuiApplication::clipboard()->setText(QStringLiteral("ZT777"));
    QTest::keyClick(form->controls().Text2, Qt::Key_F8);
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("ZT777"));
    QCOMPARE(form->controls().Text2->text(), QStringLiteral("爸爸衣服"));
    checkTimedLocked(true);

    f->t.clock.set(at(7, 1, 59));
    form->controls().Timer4->fire();
    QCOMPARE(requests(), 1);
    QVERIFY(lastQuery().startsWith("com=shunfeng&nu=ZT777&"));
    f->finishParse();
    checkTimedLocked(false);
}

// ---- Loop query ----

void TstRequery::loopNeedsNumberAndCourierFirst() {
    click(QStringLiteral("Command10"));
    // No number, no courier and no interval: the number comes first.
    click(QStringLiteral("Command5"));
    fill(QString(), QStringLiteral("顺丰快递"));
    form->controls().Combo4->setText(QStringLiteral("5"));
    click(QStringLiteral("Command5"));
    fill(QStringLiteral("SF123"), QString());
    click(QStringLiteral("Command5"));

    const QStringList expected(3, QStringLiteral("请先查询单号后在使用本功能!"));
    QCOMPARE(f->t.boxes.texts(), expected);
    for (const auto& box : f->t.boxes.shown()) {
        QCOMPARE(box.icon, MessageBoxes::Icon::Information);
        QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
        QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    }
    checkLoopLocked(false);
}

void TstRequery::loopNeedsAnInterval() {
    fill();
    click(QStringLiteral("Command10"));
    QCOMPARE(form->controls().Combo4->text(), QString());
    click(QStringLiteral("Command5"));
    QCOMPARE(f->t.boxes.texts(), QStringList{QStringLiteral("请先设定时间!")});
    checkLoopLocked(false);
    QCOMPARE(form->requery()->loopMinuteCounter(), 0);
}

void TstRequery::loopStartLocksAndStopUnlocks() {
    fill();
    startLoop(QStringLiteral("360"));
    QVERIFY(f->t.boxes.shown().isEmpty());
    checkLoopLocked(true);
    QVERIFY(f->t.notifier->watching());
    QCOMPARE(form->controls().Timer6->interval(), 60000);
    QCOMPARE(form->controls().Timer4->isEnabled(), false);
    checkOnePanel();

    form->controls().Timer6->fire();
    QCOMPARE(form->requery()->loopMinuteCounter(), 1);
    click(QStringLiteral("Command5"));
    checkLoopLocked(false);
    QVERIFY(!f->t.notifier->watching());
    QCOMPARE(form->requery()->loopMinuteCounter(), 0);
    QCOMPARE(requests(), 0);
}

void TstRequery::loopFiresOnEveryNthTick() {
    fill();
    startLoop(QStringLiteral("3"));
    const QList<int> expected = {0, 0, 1, 1, 1, 2, 2, 2, 3};
    for (int tick = 1; tick <= expected.size(); ++tick) {
        form->controls().Timer6->fire();
        f->finishParse();
        QCOMPARE(requests(), expected.at(tick - 1));
        QCOMPARE(form->requery()->loopMinuteCounter(), tick % 3);
        checkLoopLocked(true);
    }
    QCOMPARE(form->controls().ListView1->count(), 3);
}

void TstRequery::restartCountsFromZero() {
    fill();
    startLoop(QStringLiteral("3"));
    form->controls().Timer6->fire();
    form->controls().Timer6->fire();
    click(QStringLiteral("Command5"));
    click(QStringLiteral("Command5"));
    QCOMPARE(form->controls().Command5->text(), kLoopRunning);
    QCOMPARE(form->requery()->loopMinuteCounter(), 0);
    form->controls().Timer6->fire();
    form->controls().Timer6->fire();
    QCOMPARE(requests(), 0);
    form->controls().Timer6->fire();
    QCOMPARE(requests(), 1);
}

void TstRequery::failedQueryKeepsTheLoopRunning() {
    f->server.setResponse("/", TestHttpServer::Response::withStatus(500));
    fill();
    startLoop(QStringLiteral("1"));
    form->controls().Timer6->fire();
    QCOMPARE(requests(), 1);
    checkLoopLocked(true);
    QCOMPARE(form->requery()->loopMinuteCounter(), 0);

    // A refused query does not stop it either.
    form->controls().Text2->clear();
    form->controls().Timer6->fire();
    QCOMPARE(requests(), 1);
    QCOMPARE(form->controls().S1->panelText(2),
             QStringLiteral("请输入快递备注信息,例如：爸爸衣服"));
    checkLoopLocked(true);

    form->controls().Text2->setText(QStringLiteral("衣服"));
    f->answer(MainWindowFixture::rowsOf(2));
    form->controls().Timer6->fire();
    f->finishParse();
    QCOMPARE(requests(), 2);
    QCOMPARE(form->controls().ListView1->count(), 2);
    checkLoopLocked(true);
}

void TstRequery::repeatedQueriesRaiseTheChangeAlert() {
    const QString sound = f->t.programFile(QStringLiteral("ts.mp3"));
    f->answer(MainWindowFixture::rowsOf(2));
    fill();
    startLoop(QStringLiteral("1"));
    f->t.player.clear();

    form->controls().Timer6->fire();
    f->finishParse();
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(f->t.player.played(), QStringList{sound});

    form->controls().Timer6->fire();
    f->finishParse();
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：无更新"));
    QCOMPARE(f->t.player.played().size(), 1);

    f->answer(MainWindowFixture::rowsOf(4));
    form->controls().Timer6->fire();
    f->finishParse();
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(f->t.player.played(), (QStringList{sound, sound}));
    QCOMPARE(requests(), 3);
}

// ---- Panel switch ----

// Switching panels while the other mode runs asks first: Yes stops it and shows the other
// panel; No or the close box keeps it running, its panel shown.
void TstRequery::switchWhileRunningAsks_data() {
    QTest::addColumn<bool>("looping");  // the loop runs; otherwise the timed query is armed
    QTest::addColumn<bool>("scripted");
    QTest::addColumn<int>("answer");
    for (const bool looping : {false, true}) {
        const char* running = looping ? "looping" : "armed";
        QTest::addRow("%s, yes", running) << looping << true << int(MessageBoxes::Answer::Yes);
        QTest::addRow("%s, no", running) << looping << true << int(MessageBoxes::Answer::No);
        QTest::addRow("%s, close box", running) << looping << false << 0;
    }
}

void TstRequery::switchWhileRunningAsks() {
    QFETCH(bool, looping);
    QFETCH(bool, scripted);
    QFETCH(int, answer);
    fill();
    if (looping) {
        startLoop(QStringLiteral("3"));
        form->controls().Timer6->fire();
        form->controls().Timer6->fire();
    } else {
        f->t.clock.set(at(10, 0, 0));
        arm(18, 45);
    }
    checkOnePanel();
    if (scripted) {
        f->t.boxes.script(MessageBoxes::Answer(answer));
    }
    click(looping ? QStringLiteral("Command11") : QStringLiteral("Command10"));

    QCOMPARE(f->t.boxes.shown().size(), 1);
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.text, looping ? QStringLiteral("当前正在循环查询,是否终止?")
                               : QStringLiteral("当前正在定时查询,是否终止?"));
    QCOMPARE(box.buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(box.icon, MessageBoxes::Icon::Information);
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    checkOnePanel();

    const bool yes = scripted && MessageBoxes::Answer(answer) == MessageBoxes::Answer::Yes;
    if (looping) {
        QCOMPARE(form->controls().Frame4->isVisible(), yes);
        checkLoopLocked(!yes);
        QCOMPARE(form->requery()->loopMinuteCounter(), yes ? 0 : 2);
        // The timed query was never armed; the interval stays as it was set.
        QCOMPARE(form->controls().Command8->text(), kTimedOff);
        QCOMPARE(form->controls().Timer4->isEnabled(), false);
        QCOMPARE(form->controls().Combo4->text(), QStringLiteral("3"));
        if (!yes) {
            // Still counting where it was: the third tick queries.
            form->controls().Timer6->fire();
            QCOMPARE(requests(), 1);
        }
    } else {
        QCOMPARE(form->controls().Frame6->isVisible(), yes);
        checkTimedLocked(!yes);
        // The loop was never started; the hour and minute stay as they were set.
        QCOMPARE(form->controls().Command5->text(), kLoopOff);
        QCOMPARE(form->controls().Timer6->isEnabled(), false);
        QCOMPARE(form->controls().Combo2->text(), QStringLiteral("18"));
        QCOMPARE(form->controls().Combo3->text(), QStringLiteral("45"));
        // Its minute comes: only a timed query still armed runs.
        f->t.clock.set(at(18, 45, 0));
        form->controls().Timer4->fire();
        QCOMPARE(requests(), yes ? 0 : 1);
    }
}

void TstRequery::switchWithNothingRunningAsksNothing() {
    checkOnePanel();
    QVERIFY(form->controls().Frame4->isVisible());
    const QPoint place = form->controls().Frame4->pos();
    for (int round = 0; round < 2; ++round) {
        click(QStringLiteral("Command10"));
        checkOnePanel();
        QVERIFY(form->controls().Frame6->isVisible());
        // Shown in the timed panel's place.
        QTRY_COMPARE(form->controls().Frame6->pos(), place);
        checkTimedLocked(false);
        click(QStringLiteral("Command11"));
        checkOnePanel();
        QVERIFY(form->controls().Frame4->isVisible());
        checkLoopLocked(false);
    }
    QVERIFY(f->t.boxes.shown().isEmpty());
    // Hidden panels' buttons cannot be reached.
    QVERIFY(!form->controls().Command5->isVisible());
    QVERIFY(!form->controls().Command11->isVisible());
}

// ---- One query at a time ----

// The real minute timer, made fast, against a service slower than its period: ticks fall due
// while each request waits, yet every handled tick issues exactly one request and the
// service never sees two at once.
void TstRequery::slowServiceGetsOneRequestPerTick() {
    auto page = TestHttpServer::Response::text(base::toGbk(MainWindowFixture::rowsOf(3)).value());
    page.delayMs = 50;
    f->server.setResponse("/", page);
    fill();
    startLoop(QStringLiteral("1"));
    countTicks(form->controls().Timer6);
    const int period = 20;
    QElapsedTimer elapsed;
    elapsed.start();
    form->controls().Timer6->setInterval(period);
    QTRY_VERIFY_WITH_TIMEOUT(requests() >= 30, 15000);
    click(QStringLiteral("Command5"));
    const qint64 ms = elapsed.elapsed();
    f->finishParse();

    checkLoopLocked(false);
    QCOMPARE(f->server.maxInFlight(), 1);
    QCOMPARE(requests(), handled_);
    // Far more periods passed than ticks were handled: the ones that fell due during a
    // request did not start one of their own.
    QVERIFY2(ms / period > handled_,
             qPrintable(QStringLiteral("%1 ms, %2 ticks").arg(ms).arg(handled_)));
    const int before = requests();
    QTest::qWait(3 * period);
    QCOMPARE(requests(), before);
}

// Ticks fired while the query of the previous one waits for its answer are refused.
void TstRequery::ticksDuringARequestStartNothing() {
    auto page = TestHttpServer::Response::text(base::toGbk(MainWindowFixture::rowsOf(2)).value());
    page.delayMs = 60;
    f->server.setResponse("/", page);
    fill();
    startLoop(QStringLiteral("1"));
    countTicks(form->controls().Timer6);
    QTimer driver;
    driveTicks(driver, form->controls().Timer6, 10);
    QTRY_VERIFY_WITH_TIMEOUT(handled_ >= 10, 10000);
    driver.stop();
    f->finishParse();

    QVERIFY(refused_ > 0);
    QCOMPARE(requests(), handled_);
    QCOMPARE(f->server.maxInFlight(), 1);
    checkLoopLocked(true);
}

// A message box shown by the loop's query holds the timer's next ticks back until it closes.
void TstRequery::loopTicksWaitForAnOpenBox() {
    f->answer(kNotFoundPage);
    fill();
    startLoop(QStringLiteral("1"));
    const int period = 20;
    form->controls().Timer6->setInterval(period);
    int depth = 0;
    int maxDepth = 0;
    bool waited = true;
    QList<int> requestsWhileOpen;
    QList<int> handledWhileOpen;
    QList<int> refusedWhileOpen;
    countTicks(form->controls().Timer6);
    f->t.boxes.onShow = [&](const testsupport::ScriptedMessageBoxes::Shown&) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        const int seen = requests();
        const int handledBefore = handled_;
        const int refusedBefore = refused_;
        QElapsedTimer open;
        open.start();
        // Several periods pass while the box is open.
        waited = QTest::qWaitFor([&] { return open.elapsed() >= 6 * period; }) && waited;
        requestsWhileOpen.append(requests() - seen);
        handledWhileOpen.append(handled_ - handledBefore);
        refusedWhileOpen.append(refused_ - refusedBefore);
        --depth;
        return MessageBoxes::Answer::No;
    };
    QTimer driver;
    driveTicks(driver, form->controls().Timer6, period);
    QTRY_VERIFY_WITH_TIMEOUT(f->t.boxes.shown().size() >= 3, 10000);
    driver.stop();
    click(QStringLiteral("Command5"));
    f->t.boxes.onShow = nullptr;

    QVERIFY(waited);
    QCOMPARE(maxDepth, 1);
    // Ticks arrived while each box was open, and none of them was handled.
    QCOMPARE(handledWhileOpen, QList<int>(handledWhileOpen.size(), 0));
    for (int count : refusedWhileOpen) {
        QVERIFY(count > 0);
    }
    for (const QString& text : f->t.boxes.texts()) {
        QCOMPARE(text, QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"));
    }
    for (int extra : requestsWhileOpen) {
        QCOMPARE(extra, 0);
    }
    QCOMPARE(requests(), int(f->t.boxes.shown().size()));
    QCOMPARE(f->server.maxInFlight(), 1);
    checkLoopLocked(false);
}

// The timed query's clock ticks, made fast, during a slow request and the box its answer
// brings: the query runs once and the timed query is disarmed afterwards.
void TstRequery::timedTicksWaitForRequestAndBox() {
    auto page = TestHttpServer::Response::text(base::toGbk(kNotFoundPage).value());
    page.delayMs = 80;
    f->server.setResponse("/", page);
    fill();
    const int period = 10;
    form->controls().Timer4->setInterval(period);
    int depth = 0;
    int maxDepth = 0;
    bool waited = true;
    int requestsWhileOpen = -1;
    f->t.boxes.onShow = [&](const testsupport::ScriptedMessageBoxes::Shown&) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        const int seen = requests();
        QElapsedTimer open;
        open.start();
        waited = QTest::qWaitFor([&] { return open.elapsed() >= 8 * period; }) && waited;
        requestsWhileOpen = requests() - seen;
        --depth;
        return MessageBoxes::Answer::No;
    };
    f->t.clock.set(at(16, 20, 0));
    QTimer driver;
    arm(16, 20);
    driveTicks(driver, form->controls().Timer4, period);
    QTRY_COMPARE_WITH_TIMEOUT(form->controls().Command8->text(), kTimedOff, 5000);
    driver.stop();
    QVERIFY(refused_ > 0);
    QTest::qWait(5 * period);
    f->t.boxes.onShow = nullptr;

    QCOMPARE(requests(), 1);
    QCOMPARE(f->t.boxes.shown().size(), 1);
    QVERIFY(waited);
    QCOMPARE(maxDepth, 1);
    QCOMPARE(requestsWhileOpen, 0);
    checkTimedLocked(false);
}

QTEST_MAIN(TstRequery)
#include "tst_requery.moc"
