// The desktop notification of a change alert, as a real notification server (dunst, on a
// session bus and an X server of the test's own) receives it; and a grown answer with no
// session bus at all, which must not wait for one.
#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "desktop_session.h"
#include "platform/system/dbus_notifier.h"
#include "support/activation.h"
#include "support/main_window_fixture.h"
#include "support/stall_watch.h"

using testsupport::DesktopSession;
using testsupport::MainWindowFixture;

namespace {

DesktopSession* desktop = nullptr;

// Waits until dunst shows `count` notices.
bool showingBecomes(int count) {
    return QTest::qWaitFor([count] { return desktop->showing() == count; }, 10000);
}

// The text a body written in the notification markup shows.
QString shown(QString markup) {
    markup.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    markup.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    markup.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    markup.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
    return markup.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// Every notice the notifier sent has had the server's answer: its calls on the bus are its
// children (QDBusPendingCallWatcher) until answered, and one that waits for another's answer
// goes out before that one's call is let go.
bool allAnswered(const QObject* notifier) {
    const QList<QObject*> children = notifier->children();
    return std::none_of(children.begin(), children.end(), [](const QObject* child) {
        return child->inherits("QDBusPendingCallWatcher");
    });
}

QString field(const QJsonArray& notices, int i, const char* name) {
    return notices.at(i).toObject().value(QLatin1String(name)).toVariant().toString();
}

}  // namespace

class TstNotifications : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void grownAnswerIsNoticed_data();
    void grownAnswerIsNoticed();
    void sameNumberReplacesItsNotice();
    void nothingWhenTheLinesDidNotGrow();
    void clickBringsTheWindowForward();
    void quickWithoutService_data();
    void quickWithoutService();

private:
    void query(const QString& number, int lines, const QString& last = QStringLiteral("运输中"),
               const QString& remark = QStringLiteral("爸爸衣服"));

    // What dunst received since the test began, newest first.
    QJsonArray received() const;

    int seen_ = 0;
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<platform::DBusNotifier> notifier;
};

void TstNotifications::init() {
    desktop->closeAll();
    seen_ = int(desktop->history().size());
    f = std::make_unique<MainWindowFixture>();
    notifier = std::make_unique<platform::DBusNotifier>(desktop->busAddress());
    f->t.env.notifier = notifier.get();
    f->open();
}

void TstNotifications::cleanup() {
    f.reset();
    notifier.reset();
}

void TstNotifications::query(const QString& number, int lines, const QString& last,
                             const QString& remark) {
    f->answer(MainWindowFixture::rowsOf(lines, last));
    f->query(number, QStringLiteral("顺丰快递"), remark);
}

QJsonArray TstNotifications::received() const {
    const QJsonArray notices = desktop->history();
    QJsonArray fresh;
    for (qsizetype i = 0; i < notices.size() - seen_; ++i) {
        fresh.append(notices.at(i));
    }
    return fresh;
}

void TstNotifications::grownAnswerIsNoticed_data() {
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("body");

    const QString time = QStringLiteral("2026-12-05 10:00");  // the time of the 4th row
    QTest::newRow("signed") << QStringLiteral("爸爸衣服") << QStringLiteral("已签收，签收人：本人")
                            << QStringLiteral("顺丰快递 SF1001（爸爸衣服）")
                            << time + QStringLiteral(" 已签收，签收人：本人");
    const QString link = QStringLiteral("<a href=\"http://x\">点我</a>");
    QTest::newRow("link in the text")
        << QStringLiteral("书") << link << QStringLiteral("顺丰快递 SF1001（书）")
        << time + QLatin1Char(' ') + link;
    const QString image = QStringLiteral("<img src=\"http://x/a.png\"> 3<5 & 6>4 &amp;");
    QTest::newRow("image and entities")
        << QStringLiteral("鞋") << image << QStringLiteral("顺丰快递 SF1001（鞋）")
        << time + QLatin1Char(' ') + image;
    QTest::newRow("markup in the remark")
        << QStringLiteral("<b>粗</b> & 1<2") << QStringLiteral("到达")
        << QStringLiteral("顺丰快递 SF1001（<b>粗</b> & 1<2）") << time + QStringLiteral(" 到达");
    const QString longText = QString(300, QChar(0x6D3E));
    QTest::newRow("long text cut")
        << QStringLiteral("鞋") << longText << QStringLiteral("顺丰快递 SF1001（鞋）")
        << time + QLatin1Char(' ') + QString(239, QChar(0x6D3E)) + QChar(0x2026);
}

void TstNotifications::grownAnswerIsNoticed() {
    QFETCH(QString, remark);
    QFETCH(QString, progress);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    QElapsedTimer clock;
    clock.start();
    query(QStringLiteral("SF1001"), 4, progress, remark);
    qInfo("grown answer with the notification service: %lld ms", clock.elapsed());
    QCOMPARE(f->form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QVERIFY(showingBecomes(1));
    desktop->closeAll();
    const QJsonArray notices = received();
    QCOMPARE(notices.size(), 1);
    QCOMPARE(field(notices, 0, "appname"), QStringLiteral("Trackoro"));
    QCOMPARE(field(notices, 0, "summary"), summary);
    // dunst reads the body as markup: no tag may reach it, and it shows the text as it is.
    const QString received = field(notices, 0, "body");
    QVERIFY2(!received.contains(QLatin1Char('<')) && !received.contains(QLatin1Char('>')),
             qPrintable(received));
    QCOMPARE(shown(received), body);
    QVERIFY2(field(notices, 0, "icon_path").endsWith(QStringLiteral("/trackoro.png")),
             qPrintable(field(notices, 0, "icon_path")));
    qInfo().noquote() << field(notices, 0, "message");
}

void TstNotifications::sameNumberReplacesItsNotice() {
    query(QStringLiteral("SF1001"), 3);
    QVERIFY(showingBecomes(1));
    query(QStringLiteral("SF1001"), 4, QStringLiteral("派件中"));
    query(QStringLiteral("SF1001"), 5, QStringLiteral("已签收"));
    // Once the server has answered every notice, one that did not replace the first shows.
    QTRY_VERIFY(allAnswered(notifier.get()));
    QCOMPARE(desktop->showing(), 1);
    // Another number has a notice of its own.
    query(QStringLiteral("SF2002"), 6, QStringLiteral("到达"));
    QVERIFY(showingBecomes(2));
    desktop->closeAll();
    const QJsonArray notices = received();
    QCOMPARE(notices.size(), 2);
    QSet<QString> bodies;
    QSet<QString> ids;
    for (int i = 0; i < notices.size(); ++i) {
        bodies.insert(field(notices, i, "body"));
        ids.insert(field(notices, i, "id"));
    }
    QCOMPARE(bodies, (QSet<QString>{QStringLiteral("2026-12-06 10:00 已签收"),
                                    QStringLiteral("2026-12-07 10:00 到达")}));
    QCOMPARE(ids.size(), 2);
}

void TstNotifications::nothingWhenTheLinesDidNotGrow() {
    query(QStringLiteral("SF1001"), 5);
    QVERIFY(showingBecomes(1));
    desktop->closeAll();
    QCOMPARE(received().size(), 1);
    query(QStringLiteral("SF1001"), 5);
    QCOMPARE(f->form->controls().Label7->text(), QStringLiteral("是否更新：无更新"));
    query(QStringLiteral("SF3003"), 2);
    // A grown answer after them: once its notice shows, one for the two answers before it
    // would have come first.
    query(QStringLiteral("SF3003"), 3);
    QVERIFY(showingBecomes(1));
    desktop->closeAll();
    const QJsonArray notices = received();
    QCOMPARE(notices.size(), 2);
    QCOMPARE(field(notices, 0, "summary"), QStringLiteral("顺丰快递 SF3003（爸爸衣服）"));
    QCOMPARE(field(notices, 0, "body"), QStringLiteral("2026-12-04 10:00 运输中"));
}

void TstNotifications::clickBringsTheWindowForward() {
    QWidget other;
    other.show();
    QVERIFY(testsupport::activate(&other));
    query(QStringLiteral("SF1001"), 3);
    QVERIFY(showingBecomes(1));
    QVERIFY(!f->form->isActiveWindow());
    QSignalSpy clicked(notifier.get(), &platform::Notifier::activated);
    desktop->dunstctl({QStringLiteral("action"), QStringLiteral("0")});
    QVERIFY(clicked.wait(5000));
    QTRY_VERIFY(f->form->isActiveWindow());
}

void TstNotifications::quickWithoutService_data() {
    QTest::addColumn<QString>("bus");
    QTest::addColumn<bool>("runtimeBus");
    QTest::newRow("no bus at all") << QString() << false;
    QTest::newRow("bus socket in the runtime folder, no service") << QString() << true;
    QTest::newRow("bus address to nowhere")
        << QStringLiteral("unix:path=/nonexistent/bus") << false;
    QTest::newRow("bus without a notification service") << QStringLiteral("own") << false;
}

// In a process of its own, three grown answers each finish at once, and the program never
// asks the session bus to start one (no autolaunch).
void TstNotifications::quickWithoutService() {
    QFETCH(QString, bus);
    QFETCH(bool, runtimeBus);
    QTemporaryDir runtime;
    QProcess daemon;
    if (bus == QStringLiteral("own") || runtimeBus) {
        const QString socket = runtime.filePath(QStringLiteral("bus"));
        daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"),
             QStringLiteral("--print-address=1"), QStringLiteral("--address=unix:path=") + socket});
        QVERIFY(daemon.waitForReadyRead(10000));
        bus = runtimeBus ? QString() : QString::fromLatin1(daemon.readLine().trimmed());
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("DISPLAY"));
    if (!bus.isEmpty()) {
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
    }
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--without-service")});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    qInfo().noquote() << output.trimmed();
    QVERIFY2(child.exitCode() == 0, qPrintable(output));
    daemon.terminate();
    daemon.waitForFinished(5000);
}

// The child of quickWithoutService: three grown answers with the program's notifier; the
// longest of them, and the event loop's longest stall while they and their notices go.
static int queryWithoutService() {
    MainWindowFixture f;
    platform::DBusNotifier notifier(platform::DBusNotifier::sessionBusAddress());
    f.t.env.notifier = &notifier;
    f.open();
    const testsupport::StallWatch watch;
    qint64 longestQuery = 0;
    for (int lines = 1; lines <= 3; ++lines) {
        f.answer(MainWindowFixture::rowsOf(lines));
        const qint64 begin = watch.elapsedMs();
        f.query(QStringLiteral("SF1001"), QStringLiteral("顺丰快递"), QStringLiteral("书"));
        longestQuery = std::max(longestQuery, watch.elapsedMs() - begin);
        if (f.form->controls().Label7->text() != QStringLiteral("是否更新：有更新")) {
            fprintf(stderr, "no change alert\n");
            return 1;
        }
        QTest::qWait(500);
    }
    const qint64 longestStall = watch.longestStallMs();
    fprintf(stderr, "longest grown answer %lld ms, longest stall %lld ms\n", longestQuery,
            longestStall);
    return longestQuery < 2000 && longestStall < 2000 ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 2 && qstrcmp(argv[1], "--without-service") == 0) {
        QApplication app(argc, argv);
        return queryWithoutService();
    }
    QApplication app(argc, argv);
    DesktopSession session;
    if (!session.start(QStringLiteral(TRACKORO_ICON_DIR))) {
        qCritical("%s", qPrintable(session.error()));
        return 1;
    }
    desktop = &session;
    TstNotifications test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notifications.moc"
