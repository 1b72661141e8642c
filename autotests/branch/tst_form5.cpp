#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include <memory>
#include "support/typing.h"

#include "base/text_codec.h"
#include "branch/form5.h"
#include "platform/controls/controls.h"
#include "support/activation.h"
#include "support/test_environment.h"
#include "support/test_http_server.h"

using branch::Form5;
using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;
// Shapes the branch site's answer to a row's failure.
using Shape = std::function<void(Response&)>;
Q_DECLARE_METATYPE(Shape)

namespace {

const QByteArray kPage = "/query_list.asp";
// An answer that comes long after any wait of a test: a click that returns before the
// service has answered did not wait for it.
constexpr int kLateMs = 30000;
const QString kNotQueried = QStringLiteral("未查询");
const QString kNotFound = QStringLiteral("您查询的网点不存在!");
const QString kFailed = QStringLiteral("网点查询失败,请检查网络连接!");
const QString kValueNames[6] = {
    QStringLiteral("Label2"), QStringLiteral("Label4"),  QStringLiteral("Label6"),
    QStringLiteral("Label8"), QStringLiteral("Label10"), QStringLiteral("Label12"),
};

// A branch page as the site writes it: the six values stand after fixed cell openings, so
// that they are pieces 6, 10, 14, 18, 22 and 26 of the page cut at "td", 19 (20 for the
// last) characters into their piece.
QString branchPage(const QStringList& values) {
    QStringList pieces;
    pieces << QStringLiteral("<html><body><table><tr><");
    const QString open19 = QStringLiteral(" class=\"vv\" id=\"q\">");
    const QString open20 = QStringLiteral(" class=\"vv\" id=\"qq\">");
    for (int piece = 1; piece <= 27; ++piece) {
        const int field = piece % 4 == 2 && piece >= 6 ? (piece - 6) / 4 : -1;
        if (field >= 0 && field < values.size()) {
            pieces << (piece == 26 ? open20 : open19) + values.at(field) + QStringLiteral("</");
        } else {
            pieces << QStringLiteral("><");
        }
    }
    pieces.last() = QStringLiteral("></tr></table></body></html>");
    return pieces.join(QStringLiteral("td"));
}

const QStringList kShanghai = {
    QStringLiteral("上海浦东"),
    QStringLiteral("张三"),
    QStringLiteral("浦东新区分部"),
    QStringLiteral("021-12345678"),
    QStringLiteral("浦东新区全境（除外高桥保税区）"),
    QStringLiteral("崇明岛"),
};

}  // namespace

class TestForm5 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensWithItsControls();
    void emptyNameOnlyAsks();
    void sendsTheNameEncoded_data();
    void sendsTheNameEncoded();
    void enterInTheNameBoxQueries();
    void showsTheSixFields();
    void cutShortOrShiftedPages();
    void decodesTheBodyByItsCharset_data();
    void decodesTheBodyByItsCharset();
    void pagesWithoutABranchResetAndTell_data();
    void pagesWithoutABranchResetAndTell();
    void successAfterNotFoundKeepsTheStatus();
    void deliveryAreaClick();
    void keyboardAlone();
    void valuesAreShownAsPlainText();
    void failedRequestKeepsWhatIsShown_data();
    void failedRequestKeepsWhatIsShown();
    void staysResponsiveAndRunsOneQueryAtATime();
    void closingWhileWaitingAbandonsTheQuery();
    void deletedOnCloseWhileWaiting_data();
    void deletedOnCloseWhileWaiting();
    void deletingWhileWaitingIsSafe();

private:
    void open(Form5& form);
    void typeName(Form5& form, const QString& name);
    void query(Form5& form, const QString& name);
    QString value(Form5& form, int field);
    QStringList shownValues(Form5& form);
    QString status(Form5& form, int panel);

    std::unique_ptr<testsupport::TestEnvironment> te_;
    std::unique_ptr<TestHttpServer> server_;
};

void TestForm5::init() {
    te_ = std::make_unique<testsupport::TestEnvironment>();
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->start());
    te_->env.addresses.branchSite = server_->url(QString());
}

void TestForm5::cleanup() {
    server_.reset();
    te_.reset();
}

void TestForm5::open(Form5& form) {
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

void TestForm5::typeName(Form5& form, const QString& name) {
    testsupport::typeInto(form.findChild<QLineEdit*>(QStringLiteral("Text1")), name);
}

void TestForm5::query(Form5& form, const QString& name) {
    typeName(form, name);
    auto* command1 = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(command1);
    QTest::mouseClick(command1, Qt::LeftButton);
    QTRY_VERIFY(!form.isQuerying());
}

QString TestForm5::value(Form5& form, int field) {
    auto* label = form.findChild<QLabel*>(kValueNames[field - 1]);
    return label ? label->text() : QStringLiteral("<no label>");
}

QStringList TestForm5::shownValues(Form5& form) {
    QStringList texts;
    for (int field = 1; field <= 6; ++field) {
        texts << value(form, field);
    }
    return texts;
}

QString TestForm5::status(Form5& form, int panel) {
    auto* s1 = form.findChild<platform::StatusBar*>(QStringLiteral("S1"));
    return s1 ? s1->panelText(panel) : QStringLiteral("<no status bar>");
}

void TestForm5::opensWithItsControls() {
    Form5 form(te_->env);
    open(form);
    QCOMPARE(form.windowTitle(), QStringLiteral("网店信息查询"));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label13"))->text(),
             QStringLiteral("请输入您要查询的网点名称："));
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
             QStringLiteral("查询"));
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("Command1"))->isDefault());
    QVERIFY(form.findChild<QLineEdit*>(QStringLiteral("Text1"))->text().isEmpty());
    const QStringList captions = {QStringLiteral("网点名称："), QStringLiteral("负责人："),
                                  QStringLiteral("网点名称："), QStringLiteral("联系电话："),
                                  QStringLiteral("派送范围："), QStringLiteral("不派送范围：")};
    for (int i = 0; i < 6; ++i) {
        auto* caption = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(2 * i + 1));
        QVERIFY(caption);
        QCOMPARE(caption->text(), captions.at(i));
        // Each caption and its value share a frame of their own.
        auto* valueLabel = form.findChild<QLabel*>(kValueNames[i]);
        QVERIFY(qobject_cast<QFrame*>(caption->parentWidget()));
        QCOMPARE(valueLabel->parentWidget(), caption->parentWidget());
        QVERIFY(caption->parentWidget() != &form);
    }
    QCOMPARE(shownValues(form), QStringList(6, kNotQueried));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label10"))->cursor().shape(),
             Qt::PointingHandCursor);
    auto* s1 = form.findChild<platform::StatusBar*>(QStringLiteral("S1"));
    QVERIFY(s1);
    QCOMPARE(s1->panelCount(), 2);
    QCOMPARE(status(form, 1), QStringLiteral("提示："));
    QCOMPARE(status(form, 2), QStringLiteral("请输入要查询的网点名称"));
}

void TestForm5::emptyNameOnlyAsks() {
    Form5 form(te_->env);
    open(form);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(status(form, 2), QStringLiteral("请输入您要查询的站点.."));
    QCOMPARE(shownValues(form), QStringList(6, kNotQueried));
    QVERIFY(te_->boxes.shown().isEmpty());
    QCOMPARE(server_->requestCount(), 0);
}

void TestForm5::sendsTheNameEncoded_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("query");
    QTest::newRow("chinese with outer and inner spaces")
        << QStringLiteral("  上海 浦东 ")
        << QByteArray("name=%E4%B8%8A%E6%B5%B7%20%E6%B5%A6%E4%B8%9C");
    QTest::newRow("ascii as it is") << QStringLiteral("Pudong2") << QByteArray("name=Pudong2");
    QTest::newRow("ampersand cannot add a key")
        << QStringLiteral("A&id=7") << QByteArray("name=A%26id=7");
    QTest::newRow("hash and plus") << QStringLiteral("a+b#c") << QByteArray("name=a%2Bb%23c");
    QTest::newRow("escapes pass unchanged")
        << QStringLiteral("%E4%B8%AD") << QByteArray("name=%E4%B8%AD");
    // A "%" that starts no escape goes over the wire as %25, which still means "%".
    QTest::newRow("lone percent") << QStringLiteral("50%") << QByteArray("name=50%25");
    QTest::newRow("spaces only") << QStringLiteral("   ") << QByteArray("name=");
}

void TestForm5::sendsTheNameEncoded() {
    QFETCH(QString, name);
    QFETCH(QByteArray, query);
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    Form5 form(te_->env);
    open(form);
    this->query(form, name);
    QCOMPARE(server_->requestCount(), 1);
    const TestHttpServer::Request& request = server_->requests().first();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.path, kPage);
    QCOMPARE(request.query, query);
    QCOMPARE(request.headers.value("if-modified-since"), QByteArray("0"));
}

void TestForm5::enterInTheNameBoxQueries() {
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    Form5 form(te_->env);
    open(form);
    typeName(form, QStringLiteral("浦东"));
    QTest::keyClick(form.findChild<QLineEdit*>(QStringLiteral("Text1")), Qt::Key_Return);
    QTRY_COMPARE(value(form, 1), QStringLiteral("上海浦东"));
    QCOMPARE(server_->requestCount(), 1);
    QCOMPARE(server_->requests().first().query, QByteArray("name=%E6%B5%A6%E4%B8%9C"));
}

void TestForm5::showsTheSixFields() {
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    Form5 form(te_->env);
    open(form);
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form), kShanghai);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(form.fields().field[i], kShanghai.at(i));
    }
    // A found branch leaves the status bar alone.
    QCOMPARE(status(form, 2), QStringLiteral("请输入要查询的网点名称"));
    QVERIFY(te_->boxes.shown().isEmpty());
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());

    // Every request carries the header, not just the first.
    query(form, QStringLiteral("浦东"));
    QCOMPARE(server_->requestCount(), 2);
    QCOMPARE(server_->requests().at(1).headers.value("if-modified-since"), QByteArray("0"));
}

void TestForm5::cutShortOrShiftedPages() {
    Form5 form(te_->env);
    open(form);
    // The page ends after the 25th "td": the last value has no source and stays empty.
    const QString full = branchPage(kShanghai);
    int cut = -1;
    for (int i = 0; i < 25; ++i) {
        cut = full.indexOf(QStringLiteral("td"), cut + 1);
    }
    server_->setResponse(kPage, Response::text(full.left(cut + 2).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form).mid(0, 5), kShanghai.mid(0, 5));
    QCOMPARE(value(form, 6), QString());
    QVERIFY(te_->boxes.shown().isEmpty());

    // "Ltd" inside the first value is a cut too: the first value ends at "L" and the others
    // come from the pieces before theirs, which hold no values on this page.
    QStringList values = kShanghai;
    values[0] = QStringLiteral("Acme Ltd");
    server_->setResponse(kPage, Response::text(branchPage(values).toUtf8()));
    query(form, QStringLiteral("Acme"));
    QCOMPARE(value(form, 1), QStringLiteral("Acme L"));
    QCOMPARE(shownValues(form).mid(1), QStringList(5, QString()));
    QVERIFY(te_->boxes.shown().isEmpty());
}

void TestForm5::decodesTheBodyByItsCharset_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    const QString page = branchPage(kShanghai);
    // The charset named by the answer, and the window's own when none is (every name the
    // rules read: tst_text_codec).
    QTest::newRow("gbk named") << base::toGbk(page).value() << QByteArray("text/html; charset=gbk");
    QTest::newRow("none named is utf-8") << page.toUtf8() << QByteArray("text/html");
}

void TestForm5::decodesTheBodyByItsCharset() {
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    server_->setResponse(kPage, Response::text(body, contentType));
    Form5 form(te_->env);
    open(form);
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form), kShanghai);
}

void TestForm5::pagesWithoutABranchResetAndTell_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("queryFirst");
    QStringList noName = kShanghai;
    noName[0].clear();
    QTest::newRow("empty first value") << branchPage(noName).toUtf8() << false;
    QTest::newRow("empty page") << QByteArray() << false;
    QTest::newRow("fewer than 7 td")
        << QByteArray("<table><tr><td>x</td><td>y</td><td>z</td></tr></table>") << false;
    QTest::newRow("not-found page after a found one") << QByteArray("<p>无此网点</p>") << true;
}

void TestForm5::pagesWithoutABranchResetAndTell() {
    QFETCH(QByteArray, body);
    QFETCH(bool, queryFirst);
    Form5 form(te_->env);
    open(form);
    if (queryFirst) {
        server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
        query(form, QStringLiteral("浦东"));
        QCOMPARE(value(form, 5), kShanghai.at(4));
    }
    server_->setResponse(kPage, Response::text(body));
    query(form, QStringLiteral("无此"));

    QCOMPARE(shownValues(form), QStringList(6, kNotQueried));
    QCOMPARE(status(form, 2), kNotFound);
    QCOMPARE(te_->boxes.texts(), QStringList{kNotFound});
    const auto& box = te_->boxes.shown().first();
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    QCOMPARE(box.icon, platform::MessageBoxes::Icon::Information);
    QCOMPARE(box.parent.data(), &form);
    for (const QString& field : form.fields().field) {
        QVERIFY(field.isEmpty());
    }
    // The delivery area was cleared with the rest: clicking it shows nothing.
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("Label10")), Qt::LeftButton);
    QCOMPARE(te_->boxes.shown().size(), 1);
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
}

void TestForm5::successAfterNotFoundKeepsTheStatus() {
    Form5 form(te_->env);
    open(form);
    server_->setResponse(kPage, Response::text(QByteArray()));
    query(form, QStringLiteral("无此"));
    QCOMPARE(status(form, 2), kNotFound);
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form), kShanghai);
    QCOMPARE(status(form, 2), kNotFound);
}

void TestForm5::keyboardAlone() {
    Form5 form(te_->env);
    open(form);
    QVERIFY(testsupport::activate(&form));
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    // The name box has the focus; Enter queries; Tab reaches the delivery area, where Enter
    // opens it as a click does.
    auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    QTRY_VERIFY(text1->hasFocus());
    QTest::keyClicks(text1, QStringLiteral("abc"));
    QTest::keyClick(text1, Qt::Key_Return);
    QTRY_COMPARE(server_->requestCount(), 1);
    QTRY_VERIFY(form.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    text1->setFocus();
    QTest::keyClick(text1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Label10"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(te_->boxes.texts(), QStringList{kShanghai.at(4)});
}

void TestForm5::deliveryAreaClick() {
    Form5 form(te_->env);
    open(form);
    auto* label10 = form.findChild<QLabel*>(QStringLiteral("Label10"));
    QTest::mouseClick(label10, Qt::LeftButton);
    QVERIFY(te_->boxes.shown().isEmpty());

    QString longArea;
    for (int i = 1; i <= 40; ++i) {
        longArea += QStringLiteral("浦东新区第%1街道、").arg(i);
    }
    QStringList values = kShanghai;
    values[4] = longArea;
    server_->setResponse(kPage, Response::text(branchPage(values).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QTest::mouseClick(label10, Qt::LeftButton);
    QCOMPARE(te_->boxes.texts(), QStringList{longArea});
    QCOMPARE(te_->boxes.shown().first().title, QStringLiteral("Zeluna系列软件"));
    QCOMPARE(te_->boxes.shown().first().icon, platform::MessageBoxes::Icon::Information);
    // Only the delivery area answers a click.
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("Label12")), Qt::LeftButton);
    QCOMPARE(te_->boxes.shown().size(), 1);

    // A page with an empty delivery area: nothing to show.
    values[4].clear();
    server_->setResponse(kPage, Response::text(branchPage(values).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(value(form, 1), kShanghai.at(0));
    QTest::mouseClick(label10, Qt::LeftButton);
    QCOMPARE(te_->boxes.shown().size(), 1);
}

void TestForm5::valuesAreShownAsPlainText() {
    QStringList values = kShanghai;
    values[0] = QStringLiteral("<b>上海</b>&amp;<img src=x>");
    values[4] = QStringLiteral("<a href=\"http://x\">全境</a>");
    server_->setResponse(kPage, Response::text(branchPage(values).toUtf8()));
    Form5 form(te_->env);
    open(form);
    query(form, QStringLiteral("浦东"));
    // "</" is removed from every value; the rest stands exactly as the page wrote it.
    QCOMPARE(value(form, 1), QStringLiteral("<b>上海b>&amp;<img src=x>"));
    for (const QString& name : kValueNames) {
        QCOMPARE(form.findChild<QLabel*>(name)->textFormat(), Qt::PlainText);
    }
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("Label10")), Qt::LeftButton);
    QCOMPARE(te_->boxes.texts(), QStringList{QStringLiteral("<a href=\"http://x\">全境a>")});
}

void TestForm5::failedRequestKeepsWhatIsShown_data() {
    QTest::addColumn<Shape>("shape");
    // False: nothing listens at the site's address any more.
    QTest::addColumn<bool>("listening");
    QTest::newRow("http 500") << Shape([](Response& answer) {
        answer = Response::withStatus(500, branchPage(kShanghai).toUtf8());
    }) << true;
    QTest::newRow("http 404") << Shape([](Response& answer) {
        answer = Response::withStatus(404, QByteArray());
    }) << true;
    QTest::newRow("closed port") << Shape() << false;
    QTest::newRow("silent server")
        << Shape([](Response& answer) { answer.neverAnswer = true; }) << true;
    // The program's one window-level row of a drip (the fetch's: tst_platform). A reset and a
    // body over the cap fail the fetch the same way (tst_platform; the main window's:
    // tst_query, tst_hostile).
    QTest::newRow("dripping server") << Shape([](Response& answer) {
        answer.dripIntervalMs = 50;  // a byte every 50 ms never falls silent for long
        answer.sendContentLength = false;
    }) << true;
}

void TestForm5::failedRequestKeepsWhatIsShown() {
    QFETCH(Shape, shape);
    QFETCH(bool, listening);
    Form5 form(te_->env);
    open(form);
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form), kShanghai);
    const QString statusBefore = status(form, 2);

    te_->env.limits.branchTotal = std::chrono::milliseconds(400);
    Form5 failing(te_->env);  // a window that knows the short limit
    open(failing);
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    query(failing, QStringLiteral("浦东"));
    QCOMPARE(shownValues(failing), kShanghai);

    Response answer = Response::text(branchPage(kShanghai).toUtf8());
    const bool closed = !listening;
    if (closed) {
        server_.reset();
    } else {
        shape(answer);
        server_->setResponse(kPage, answer);
    }
    const int before = closed ? 0 : server_->requestCount();
    query(failing, QStringLiteral("浦东"));
    if (!closed) {
        QCOMPARE(server_->requestCount(), before + 1);
    }

    QCOMPARE(status(failing, 2), kFailed);
    QCOMPARE(shownValues(failing), kShanghai);
    QVERIFY(te_->boxes.shown().isEmpty());
    QVERIFY(failing.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    // The stored values were kept too: the delivery area still opens.
    QTest::mouseClick(failing.findChild<QLabel*>(QStringLiteral("Label10")), Qt::LeftButton);
    QCOMPARE(te_->boxes.texts(), QStringList{kShanghai.at(4)});
    QCOMPARE(status(form, 2), statusBefore);
}

void TestForm5::staysResponsiveAndRunsOneQueryAtATime() {
    Response slow = Response::text(branchPage(kShanghai).toUtf8());
    slow.delayMs = 600;
    server_->setResponse(kPage, slow);
    Form5 form(te_->env);
    open(form);
    auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* command1 = form.findChild<QPushButton*>(QStringLiteral("Command1"));

    bool disabledWhileWaiting = false;
    QString typedWhileWaiting;
    connect(server_.get(), &TestHttpServer::requestReceived, &form, [&] {
        QTimer::singleShot(0, &form, [&] {
            disabledWhileWaiting = !command1->isEnabled();
            // The window takes input while it waits, but "查询" and Enter start nothing.
            QTest::keyClick(text1, Qt::Key_End);
            QTest::keyClicks(text1, QStringLiteral("X"));
            typedWhileWaiting = text1->text();
            QTest::mouseClick(command1, Qt::LeftButton);
            QTest::keyClick(text1, Qt::Key_Return);
            form.Command1_Click();
        });
    });
    query(form, QStringLiteral("浦东"));
    QVERIFY(disabledWhileWaiting);
    QCOMPARE(typedWhileWaiting, QStringLiteral("浦东X"));
    QCOMPARE(shownValues(form), kShanghai);
    QVERIFY(command1->isEnabled());
    // The next query, once the first has ended, is the second request the service sees: any
    // request sent while the first waited would have come before it.
    server_->disconnect(&form);
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(server_->requestCount(), 2);
    QCOMPARE(server_->maxInFlight(), 1);
}

void TestForm5::closingWhileWaitingAbandonsTheQuery() {
    te_->env.limits.branchTotal = std::chrono::milliseconds(60000);
    Form5 form(te_->env);
    open(form);
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form), kShanghai);

    Response slow = Response::text(branchPage(QStringList(6, QStringLiteral("迟到"))).toUtf8());
    slow.delayMs = kLateMs;
    server_->setResponse(kPage, slow);
    connect(server_.get(), &TestHttpServer::requestReceived, &form,
            [&] { QTimer::singleShot(0, &form, [&] { form.close(); }); });
    typeName(form, QStringLiteral("迟到"));
    const int answered = server_->answeredCount();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    // The click returns once the window is closed, before the answer.
    QCOMPARE(server_->answeredCount(), answered);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.isQuerying());
    for (const QString& field : form.fields().field) {
        QVERIFY(field.isEmpty());
    }
    // The query let its connection go: no late answer can write or show anything.
    QTRY_COMPARE(server_->inFlight(), 0);
    QCOMPARE(server_->answeredCount(), answered);
    QCOMPARE(shownValues(form), kShanghai);
    QCOMPARE(status(form, 2), QStringLiteral("请输入要查询的网点名称"));
    QVERIFY(te_->boxes.shown().isEmpty());

    // Opened again, the window starts afresh and queries as usual.
    server_->disconnect(&form);
    open(form);
    QCOMPARE(shownValues(form), QStringList(6, kNotQueried));
    QVERIFY(form.findChild<QLineEdit*>(QStringLiteral("Text1"))->text().isEmpty());
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("Label10")), Qt::LeftButton);
    QVERIFY(te_->boxes.shown().isEmpty());
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    query(form, QStringLiteral("浦东"));
    QCOMPARE(shownValues(form), kShanghai);
}

// A window deleted on close, closed while its query waits: the click returns at once and
// the late answer finds nothing to write to.
void TestForm5::deletedOnCloseWhileWaiting_data() {
    QTest::addColumn<bool>("modal");
    QTest::newRow("shown") << false;
    // The way the main window opens it.
    QTest::newRow("modal") << true;
}

void TestForm5::deletedOnCloseWhileWaiting() {
    QFETCH(bool, modal);
    te_->env.limits.branchTotal = std::chrono::milliseconds(60000);
    Response slow = Response::text(branchPage(kShanghai).toUtf8());
    slow.delayMs = kLateMs;
    server_->setResponse(kPage, slow);

    auto* form = new Form5(te_->env);
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<Form5> guard(form);
    connect(server_.get(), &TestHttpServer::requestReceived, form,
            [form] { QTimer::singleShot(0, form, [form] { form->close(); }); });
    // Answers the service had sent when the click, and the window, returned: none.
    int answeredAtClick = -1;
    const auto typeAndClick = [&, form] {
        typeName(*form, QStringLiteral("浦东"));
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        answeredAtClick = server_->answeredCount();
    };
    if (modal) {
        QTimer::singleShot(0, form, typeAndClick);
        form->exec();
        QCOMPARE(server_->answeredCount(), 0);
    } else {
        open(*form);
        typeAndClick();
    }
    QCOMPARE(answeredAtClick, 0);
    QTRY_VERIFY(guard.isNull());
    QTRY_COMPARE(server_->inFlight(), 0);
    QCOMPARE(server_->answeredCount(), 0);
    QVERIFY(te_->boxes.shown().isEmpty());
    QCOMPARE(server_->requestCount(), 1);
}

// A window deleted outright (not closed) while it waits ends its query the same way.
void TestForm5::deletingWhileWaitingIsSafe() {
    te_->env.limits.branchTotal = std::chrono::milliseconds(60000);
    Response slow = Response::text(branchPage(kShanghai).toUtf8());
    slow.delayMs = kLateMs;
    server_->setResponse(kPage, slow);

    auto* form = new Form5(te_->env);
    QPointer<Form5> guard(form);
    open(*form);
    typeName(*form, QStringLiteral("浦东"));
    connect(server_.get(), &TestHttpServer::requestReceived, form,
            [form] { QTimer::singleShot(0, [form] { delete form; }); });
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    // The click returned before the answer, and the window is gone.
    QCOMPARE(server_->answeredCount(), 0);
    QVERIFY(guard.isNull());
    QTRY_COMPARE(server_->inFlight(), 0);
    QCOMPARE(server_->answeredCount(), 0);
    QVERIFY(te_->boxes.shown().isEmpty());

    // The next window starts fresh.
    server_->setResponse(kPage, Response::text(branchPage(kShanghai).toUtf8()));
    Form5 next(te_->env);
    open(next);
    QCOMPARE(shownValues(next), QStringList(6, kNotQueried));
    for (const QString& field : next.fields().field) {
        QVERIFY(field.isEmpty());
    }
    query(next, QStringLiteral("浦东"));
    QCOMPARE(shownValues(next), kShanghai);
    QVERIFY(te_->boxes.shown().isEmpty());
}

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
