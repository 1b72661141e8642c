// A query from the main window against a local tracking service: the request on the wire,
// the input checks, the answer phrases, the progress list, the parcel status, the change
// alert and the history file.
#include <QFileDevice>
#include <QTest>
#include <functional>

#include "history/number_history.h"
#include "support/activation.h"
#include "support/file_faults.h"
#include "support/main_window_fixture.h"

using platform::MessageBoxes;
using testsupport::MainWindowFixture;
using testsupport::TestHttpServer;

// Shapes the tracking service's answer, or the environment, before the window is made.
using Arrange = std::function<void(MainWindowFixture&, TestHttpServer::Response&)>;
Q_DECLARE_METATYPE(Arrange)

namespace {
const QByteArray kIdAndType = "&id=3F1C7A0B5D92E4608A17C3B9D0E25F4C&type=html";
}

class TstQuery : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        form = f->open();
        f->answer(MainWindowFixture::rowsOf(3));
    }
    void cleanup() {
        form = nullptr;
        QFile::setPermissions(f->t.env.programFolder, QFileDevice::ReadOwner |
                                                          QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner);
        f.reset();
    }

    // Request
    void requestOnTheWire_data();
    void requestOnTheWire();
    void statusWhileTheRequestRuns();

    // Input checks
    void inputProblems_data();
    void inputProblems();

    // Answer phrases
    void phrases_data();
    void phrases();
    void notFoundAnsweredNo();
    void notFoundAnsweredYes();
    void notFoundAndPleaseEnterIsNotFound();

    // Failures end in the idle state
    void transferFailures_data();
    void transferFailures();
    void emptyAnswer();
    void answerWithoutRows();

    // Progress list and status
    void rowsNewestFirstInRed();
    void parcelStatus_data();
    void parcelStatus();
    void parseRunsOnTheTimerTick();

    // Change alert
    void changeAlertSequence();
    void noticeClickBringsTheWindowForward();
    void fewerLinesThanBefore();

    // History file
    void historyFileBytes();
    void historyFromEmptyOrMissingFile_data();
    void historyFromEmptyOrMissingFile();
    void historyLastLineWithoutLineEnd();
    void numberInsideAnotherEntryIsNew();
    void storedNumberIsNotSavedTwice();
    void saveBeforeLoadKeepsStoredEntries();
    void saveWhileListLoadedListsNothingTwice();
    void readOnlyFolderIsReported();

private:
    void query(const QString& number = QStringLiteral("SF123"),
               const QString& courier = QStringLiteral("顺丰快递"),
               const QString& remark = QStringLiteral("爸爸衣服")) {
        f->query(number, courier, remark);
    }

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
};

void TstQuery::requestOnTheWire_data() {
    // Whatever the number holds, it cannot change the query keys.
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("plain") << "SF123" << QByteArray("SF123");
    QTest::newRow("outer spaces") << " SF123 " << QByteArray("%20SF123%20");
    QTest::newRow("inner space") << "SF 123" << QByteArray("SF%20123");
    QTest::newRow("ampersand") << "1&com=ems" << QByteArray("1%26com=ems");
    QTest::newRow("hash") << "12#34" << QByteArray("12%2334");
    QTest::newRow("percent") << "12%26" << QByteArray("12%2526");
    QTest::newRow("plus") << "1+2" << QByteArray("1%2B2");
    QTest::newRow("chinese") << "顺1" << QByteArray("%E9%A1%BA1");
}

void TstQuery::requestOnTheWire() {
    QFETCH(QString, number);
    QFETCH(QByteArray, sent);
    query(number);
    QCOMPARE(f->server.requestCount("/"), 1);
    const TestHttpServer::Request& request = f->server.requests().last();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.query, "com=shunfeng&nu=" + sent + kIdAndType);
}

void TstQuery::statusWhileTheRequestRuns() {
    QString statusAtRequest;
    bool buttonEnabledAtRequest = true;
    f->server.setHandler("/", [&](const TestHttpServer::Request&) {
        statusAtRequest = form->controls().S1->panelText(2);
        buttonEnabledAtRequest = form->controls().Command1->isEnabled();
        TestHttpServer::Response r =
            TestHttpServer::Response::text(base::toGbk(MainWindowFixture::rowsOf(2)).value());
        r.delayMs = 100;
        return r;
    });
    query();
    QCOMPARE(statusAtRequest, QStringLiteral("顺丰快递快递查询中..."));
    QVERIFY(!buttonEnabledAtRequest);
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询完毕..."));
}

void TstQuery::inputProblems_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("courier");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("focus");  // the control that has the focus afterwards
    const QString sf = QStringLiteral("顺丰快递");
    const QString remark = QStringLiteral("爸爸衣服");
    QTest::newRow("empty number") << "" << sf << remark << "请输入快递单号!"
                                  << "Text1";
    QTest::newRow("number with bar") << "12|34" << sf << remark << "单号不正确,请您检查!"
                                     << "Command3";
    QTest::newRow("no courier") << "SF123"
                                << "" << remark << "请选择快递公司!"
                                << "Combo1";
    QTest::newRow("no remark") << "SF123" << sf << ""
                               << "请输入快递备注信息,例如：爸爸衣服"
                               << "Command3";
}

void TstQuery::inputProblems() {
    QFETCH(QString, number);
    QFETCH(QString, courier);
    QFETCH(QString, remark);
    QFETCH(QString, status);
    QFETCH(QString, focus);
    QVERIFY(testsupport::activate(form));
    // The focus starts where no check sends it, so "left where it was" can be told apart.
    form->controls().Command3->setFocus();
    QTRY_VERIFY(form->controls().Command3->hasFocus());
    form->controls().ListView1->listModel()->insertAtTop(QStringLiteral("1"));
    form->controls().Label3->setText(QStringLiteral("快件状态：已签收"));
    form->controls().Text1->setText(number);
    form->controls().Combo1->setText(courier);
    form->controls().Text2->setText(remark);
    form->Command1_Click();  // the handler itself, so the focus it leaves is its own doing
    QCOMPARE(form->controls().S1->panelText(2), status);
    auto* focused = form->findChild<QWidget*>(focus);
    QVERIFY(focused);
    QVERIFY2(focused->hasFocus(), qPrintable(QApplication::focusWidget()->objectName()));
    QCOMPARE(f->server.requestCount("/"), 0);
    QVERIFY(form->controls().Command1->isEnabled());
    // Nothing else changes.
    QCOMPARE(form->controls().ListView1->count(), 1);
    QCOMPARE(form->controls().Label3->text(), QStringLiteral("快件状态：已签收"));
    QCOMPARE(form->controls().Text1->text(), number);
}

void TstQuery::phrases_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("status");
    QTest::newRow("bad format") << "<p>单号格式错误</p><tr><td>"
                                << "单号格式错误!请检查!";
    QTest::newRow("unsupported") << "不支持的快递公司<tr><td>"
                                 << "系统问题,暂不支持当前快递公司!";
    QTest::newRow("please enter") << "请输入单号"
                                  << "请输入正确的单号!";
}

void TstQuery::phrases() {
    QFETCH(QString, page);
    QFETCH(QString, status);
    form->controls().Label7->setText(QStringLiteral("是否更新：有更新"));
    f->answer(page);
    query();
    QCOMPARE(form->controls().S1->panelText(2), status);
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer1->isEnabled());
    QCOMPARE(form->controls().ListView1->count(), 0);
    QCOMPARE(form->controls().Label3->text(), QStringLiteral("快件状态：未查询"));
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(form->controls().Text1->count(), 0);
    QCOMPARE(f->historyBytes(), QByteArray());
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstQuery::notFoundAnsweredNo() {
    f->answer(QStringLiteral("<p>您查询的单号不存在</p>"));
    f->t.boxes.script(MessageBoxes::Answer::No);
    query();
    QCOMPARE(f->t.boxes.shown().size(), 1);
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.text, QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"));
    QCOMPARE(box.buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(box.icon, MessageBoxes::Icon::Information);
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
    QCOMPARE(form->controls().Text1->count(), 0);
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("SF123"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("顺丰快递快递查询中..."));
    QVERIFY(form->controls().Command1->isEnabled());
}

void TstQuery::notFoundAnsweredYes() {
    f->writeHistory(base::toGbk(QStringLiteral("1|EMS快递|旧\r\n")).value());
    f->answer(QStringLiteral("<p>您查询的单号不存在</p>"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    query();
    QCOMPARE(f->t.boxes.texts(),
             QStringList({QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"),
                          QStringLiteral("单号已成功保存")}));
    QCOMPARE(f->t.boxes.shown().last().buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(f->historyBytes(),
             base::toGbk(QStringLiteral("1|EMS快递|旧\r\nSF123|顺丰快递|爸爸衣服\r\n")).value());
    // The list was emptied and reloaded from the file: it shows what the file holds.
    QCOMPARE(
        form->controls().Text1->items(),
        QStringList({QStringLiteral("1|EMS快递|旧"), QStringLiteral("SF123|顺丰快递|爸爸衣服")}));
    QCOMPARE(form->controls().Text1->text(), QString());
    QVERIFY(form->controls().Command1->isEnabled());
    QCOMPARE(form->controls().ListView1->count(), 0);
}

void TstQuery::notFoundAndPleaseEnterIsNotFound() {
    f->answer(QStringLiteral("不存在，请输入正确单号"));
    query();
    QCOMPARE(f->t.boxes.shown().size(), 1);
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("顺丰快递快递查询中..."));
}

void TstQuery::transferFailures_data() {
    using Response = TestHttpServer::Response;
    QTest::addColumn<Arrange>("arrange");
    QTest::newRow("http 500") << Arrange(
        [](MainWindowFixture&, Response& r) { r = Response::withStatus(500, r.body); });
    QTest::newRow("http 404") << Arrange(
        [](MainWindowFixture&, Response& r) { r = Response::withStatus(404, r.body); });
    QTest::newRow("no connection") << Arrange([](MainWindowFixture& f, Response&) {
        f.t.env.addresses.tracking = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    });
    QTest::newRow("time-out") << Arrange([](MainWindowFixture& f, Response& r) {
        r.neverAnswer = true;
        f.t.env.limits.trackingTotal = std::chrono::milliseconds(300);
    });
    QTest::newRow("reset in the body")
        << Arrange([](MainWindowFixture&, Response& r) { r.resetAfterBytes = 10; });
    QTest::newRow("body over the cap")
        << Arrange([](MainWindowFixture& f, Response&) { f.t.env.limits.maxBodyBytes = 64; });
}

void TstQuery::transferFailures() {
    QFETCH(Arrange, arrange);
    const QByteArray rows = base::toGbk(MainWindowFixture::rowsOf(3)).value();
    TestHttpServer::Response r = TestHttpServer::Response::text(rows);
    arrange(*f, r);
    f->server.setResponse("/", r);
    // The limits are read when the window is made.
    form = f->open();
    query();
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询失败,请检查网络连接!"));
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer1->isEnabled());
    QCOMPARE(form->controls().ListView1->count(), 0);
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
}

void TstQuery::emptyAnswer() {
    f->answer(QString());
    query();
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("暂无物流信息,请稍后再试!"));
    QVERIFY(form->controls().Command1->isEnabled());
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
}

void TstQuery::answerWithoutRows() {
    f->answer(QStringLiteral("<p>正在查询，请稍候</p>"));
    query();
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("暂无物流信息,请稍后再试!"));
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer1->isEnabled());
    // The number is kept all the same.
    QCOMPARE(f->historyBytes(), base::toGbk(QStringLiteral("SF123|顺丰快递|爸爸衣服\r\n")).value());
}

void TstQuery::rowsNewestFirstInRed() {
    f->answer(
        MainWindowFixture::rows({{QStringLiteral("2013-01-05 08:00"), QStringLiteral("A已收件")},
                                 {QStringLiteral("2013-01-05 09:00"), QStringLiteral("B运输中")},
                                 {QStringLiteral("2013-01-05 10:00"), QStringLiteral("C已签收")}}));
    query();
    platform::ListView* list = form->controls().ListView1;
    QCOMPARE(list->count(), 3);
    const QStringList numbers = {list->text(0, 0), list->text(1, 0), list->text(2, 0)};
    QCOMPARE(numbers, QStringList({"1", "2", "3"}));
    QCOMPARE(list->text(0, 1), QStringLiteral("2013-01-05 10:00"));
    QCOMPARE(list->text(0, 2), QStringLiteral("C已签收"));
    QCOMPARE(list->text(2, 2), QStringLiteral("A已收件"));
    QCOMPARE(list->foreColor(0, 1), QColor(255, 0, 0));
    QCOMPARE(list->foreColor(0, 2), QColor(255, 0, 0));
    QVERIFY(!list->foreColor(0, 0).isValid());
    QVERIFY(!list->foreColor(1, 1).isValid());
    // What the list shows on screen is the same.
    QCOMPARE(list->model()->index(0, 2).data(Qt::ForegroundRole).value<QColor>(),
             QColor(255, 0, 0));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询完毕..."));
    QVERIFY(form->controls().Command1->isEnabled());
    QVERIFY(!form->controls().Timer1->isEnabled());
    QCOMPARE(form->queryFlow()->rowCount(), 0);
    QCOMPARE(form->queryFlow()->resultPage(), QString());
}

void TstQuery::parcelStatus_data() {
    QTest::addColumn<QString>("newest");
    QTest::addColumn<QString>("status");
    QTest::newRow("signed") << "已签收，签收人：本人"
                            << "快件状态：已签收";
    QTest::newRow("delivered") << "妥投"
                               << "快件状态：已签收";
    QTest::newRow("delivering") << "正在派送途中,派件员：某某"
                                << "快件状态：派件中";
    QTest::newRow("neither") << "快件已到达上海"
                             << "快件状态：运送中";
    QTest::newRow("both") << "派件员已签收"
                          << "快件状态：已签收";
}

void TstQuery::parcelStatus() {
    QFETCH(QString, newest);
    QFETCH(QString, status);
    // Only the newest line counts: an older line says 派.
    f->answer(MainWindowFixture::rows(
        {{QStringLiteral("1"), QStringLiteral("派送中")}, {QStringLiteral("2"), newest}}));
    query();
    QCOMPARE(form->controls().Label3->text(), status);
}

void TstQuery::parseRunsOnTheTimerTick() {
    form->controls().Text1->setText(QStringLiteral("SF123"));
    form->controls().Combo1->setText(QStringLiteral("顺丰快递"));
    form->controls().Text2->setText(QStringLiteral("x"));
    form->Command1_Click();
    // The answer waits for the result timer.
    QCOMPARE(form->queryFlow()->rowCount(), 3);
    QVERIFY(form->controls().Timer1->isEnabled());
    QVERIFY(!form->controls().Command1->isEnabled());
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("顺丰快递快递查询中..."));
    QCOMPARE(form->controls().ListView1->count(), 0);
    QTRY_COMPARE(form->controls().ListView1->count(), 3);
    QVERIFY(!form->controls().Timer1->isEnabled());
    QVERIFY(form->controls().Command1->isEnabled());
}

void TstQuery::changeAlertSequence() {
    const QString played = f->t.programFile(QStringLiteral("ts.mp3"));
    f->t.player.clear();
    f->answer(MainWindowFixture::rowsOf(5));
    query();
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(platform::foreColor(form->controls().Label7), QColor(255, 0, 0));
    QCOMPARE(f->t.player.played(), QStringList{played});
    // The desktop is told of the newest line, once per alert.
    const auto& notices = f->t.notifier->notices();
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.at(0).key, QStringLiteral("SF123"));
    QCOMPARE(notices.at(0).summary, QStringLiteral("顺丰快递 SF123（爸爸衣服）"));
    QCOMPARE(notices.at(0).body, QStringLiteral("2026-12-06 10:00 运输中"));

    query();
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：无更新"));
    QCOMPARE(platform::foreColor(form->controls().Label7), QColor(0, 0, 0));
    QCOMPARE(f->t.player.played().size(), 1);
    QCOMPARE(notices.size(), 1);

    f->answer(MainWindowFixture::rowsOf(6, QStringLiteral("派件中")));
    query();
    QCOMPARE(notices.size(), 2);
    QCOMPARE(notices.at(1).body, QStringLiteral("2026-12-07 10:00 派件中"));
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(f->t.player.played().size(), 2);
    QCOMPARE(form->queryFlow()->previousLineCount(), 5);
    QCOMPARE(form->queryFlow()->currentLineCount(), 6);
}

void TstQuery::noticeClickBringsTheWindowForward() {
    QWidget other;
    other.show();
    QVERIFY(testsupport::activate(&other));
    form->showMinimized();
    f->t.notifier->click();
    QTRY_VERIFY(form->isActiveWindow());
    QVERIFY(!form->isMinimized());
}

void TstQuery::fewerLinesThanBefore() {
    f->answer(MainWindowFixture::rowsOf(8));
    query();
    f->answer(MainWindowFixture::rowsOf(3));
    query(QStringLiteral("YT999"));
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：无更新"));
    QCOMPARE(form->queryFlow()->previousLineCount(), 8);
    QCOMPARE(form->queryFlow()->currentLineCount(), 3);
    // A refused query leaves the counts and the alert as they were, "有更新" included.
    f->answer(MainWindowFixture::rowsOf(5));
    query();
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    f->answer(QStringLiteral("单号格式错误"));
    query();
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("单号格式错误!请检查!"));
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(platform::foreColor(form->controls().Label7), QColor(255, 0, 0));
    QCOMPARE(form->queryFlow()->previousLineCount(), 3);
    QCOMPARE(form->queryFlow()->currentLineCount(), 5);
}

void TstQuery::historyFileBytes() {
    f->writeHistory(
        base::toGbk(QStringLiteral("A1|EMS快递|爸爸衣服\r\nB2|圆通快递|书\r\n")).value());
    query(QStringLiteral("C3"), QStringLiteral("中通快递"), QStringLiteral("妈妈鞋子"));
    const QByteArray expected =
        "A1|EMS\xbf\xec\xb5\xdd|\xb0\xd6\xb0\xd6\xd2\xc2\xb7\xfe\r\n"
        "B2|\xd4\xb2\xcd\xa8\xbf\xec\xb5\xdd|\xca\xe9\r\n"
        "C3|\xd6\xd0\xcd\xa8\xbf\xec\xb5\xdd|\xc2\xe8\xc2\xe8\xd0\xac\xd7\xd3\r\n";
    QCOMPARE(f->historyBytes(), expected);
    // The list gets the new entry (the stored ones are not loaded by a save).
    QCOMPARE(form->controls().Text1->items(), QStringList{QStringLiteral("C3|中通快递|妈妈鞋子")});
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("C3"));
}

void TstQuery::historyFromEmptyOrMissingFile_data() {
    QTest::addColumn<bool>("zeroBytes");
    QTest::newRow("zero bytes") << true;
    QTest::newRow("missing") << false;
}

void TstQuery::historyFromEmptyOrMissingFile() {
    QFETCH(bool, zeroBytes);
    if (zeroBytes) {
        f->writeHistory(QByteArray());
    }
    query(QStringLiteral("C3"), QStringLiteral("EMS快递"), QStringLiteral("r"));
    QCOMPARE(f->historyBytes(), QByteArray("C3|EMS\xbf\xec\xb5\xdd|r\r\n"));
}

void TstQuery::historyLastLineWithoutLineEnd() {
    f->writeHistory("A|EMS\xbf\xec\xb5\xdd|a\r\nB|EMS\xbf\xec\xb5\xdd|b");
    query(QStringLiteral("C"), QStringLiteral("EMS快递"), QStringLiteral("c"));
    QCOMPARE(f->historyBytes(), QByteArray("A|EMS\xbf\xec\xb5\xdd|a\r\nB|EMS\xbf\xec\xb5\xdd|b\r\n"
                                           "C|EMS\xbf\xec\xb5\xdd|c\r\n"));
}

void TstQuery::numberInsideAnotherEntryIsNew() {
    f->writeHistory(
        base::toGbk(QStringLiteral("1234|EMS快递|爸爸衣服\r\n5|EMS快递|编号123\r\n")).value());
    query(QStringLiteral("123"), QStringLiteral("EMS快递"), QStringLiteral("新"));
    QCOMPARE(f->historyBytes(),
             base::toGbk(
                 QStringLiteral("1234|EMS快递|爸爸衣服\r\n5|EMS快递|编号123\r\n123|EMS快递|新\r\n"))
                 .value());
    // Case counts.
    query(QStringLiteral("ab"), QStringLiteral("EMS快递"), QStringLiteral("x"));
    query(QStringLiteral("AB"), QStringLiteral("EMS快递"), QStringLiteral("y"));
    QVERIFY(f->historyBytes().endsWith("ab|EMS\xbf\xec\xb5\xdd|x\r\nAB|EMS\xbf\xec\xb5\xdd|y\r\n"));
}

void TstQuery::storedNumberIsNotSavedTwice() {
    const QByteArray stored = base::toGbk(QStringLiteral("SF123|EMS快递|另一个备注\r\n")).value();
    f->writeHistory(stored);
    query();  // SF123 again, another courier and remark
    QCOMPARE(f->historyBytes(), stored);
    QCOMPARE(form->controls().Text1->count(), 0);
    query();
    QCOMPARE(f->historyBytes(), stored);
}

void TstQuery::saveBeforeLoadKeepsStoredEntries() {
    f->writeHistory(base::toGbk(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\n")).value());
    query(QStringLiteral("C"), QStringLiteral("EMS快递"), QStringLiteral("c"));
    query(QStringLiteral("D"), QStringLiteral("EMS快递"), QStringLiteral("d"));
    QCOMPARE(
        f->historyBytes(),
        base::toGbk(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\nC|EMS快递|c\r\nD|EMS快递|d\r\n"))
            .value());
    QCOMPARE(form->controls().Text1->items(),
             QStringList({QStringLiteral("C|EMS快递|c"), QStringLiteral("D|EMS快递|d")}));
}

void TstQuery::saveWhileListLoadedListsNothingTwice() {
    f->writeHistory(base::toGbk(QStringLiteral("A|EMS快递|a\r\n")).value());
    form->numberHistory()->dq();
    query(QStringLiteral("C"), QStringLiteral("EMS快递"), QStringLiteral("c"));
    QCOMPARE(form->controls().Text1->items(),
             QStringList({QStringLiteral("A|EMS快递|a"), QStringLiteral("C|EMS快递|c")}));
    QCOMPARE(f->historyBytes(),
             base::toGbk(QStringLiteral("A|EMS快递|a\r\nC|EMS快递|c\r\n")).value());
    // A number from the loaded list is not appended again.
    query(QStringLiteral("A"), QStringLiteral("EMS快递"), QStringLiteral("a"));
    QCOMPARE(form->controls().Text1->count(), 2);
}

void TstQuery::readOnlyFolderIsReported() {
    // The window was opened while the folder could be written; now no one may write it. root
    // would ignore the permissions, so the query runs without root's rights.
    QVERIFY(QFile::setPermissions(f->t.env.programFolder,
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther));
    {
        testsupport::Unprivileged user;
        QVERIFY(user.ok());
        // Under Wine, run as root, the folder's permissions bind no one.
        QFile probe(f->t.env.programFolder + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("the folder can still be written here (Wine run as root)");
        }
        query();
    }
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("历史记录保存失败!"));
    // The query itself went through.
    QCOMPARE(form->controls().ListView1->count(), 3);
    QVERIFY(form->controls().Command1->isEnabled());
    QCOMPARE(form->controls().Text1->items(),
             QStringList{QStringLiteral("SF123|顺丰快递|爸爸衣服")});
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
}

QTEST_MAIN(TstQuery)
#include "tst_query.moc"
