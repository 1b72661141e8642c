// The tray notifier (the notifications of Windows), built and checked on every system: its
// icon is there only while the program watches by itself or a balloon shows, and a click on
// a balloon brings the program forward.
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include "platform/system/tray_notifier.h"

class TstTrayNotifier : public QObject {
    Q_OBJECT

private slots:
    void iconOnlyWhileNeeded_data();
    void iconOnlyWhileNeeded();
    void balloonClickActivates();
};

namespace {

constexpr int kShowMs = 300;
const base::Notice kNotice{QStringLiteral("SF1"), QStringLiteral("顺丰快递 SF1"),
                           QStringLiteral("2026-12-05 10:00 已签收")};

}  // namespace

void TstTrayNotifier::iconOnlyWhileNeeded_data() {
    QTest::addColumn<bool>("watching");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("shownAtOnce");
    QTest::addColumn<bool>("shownLater");
    QTest::newRow("idle") << false << false << false << false;
    QTest::newRow("notice only") << false << true << true << false;
    QTest::newRow("watching only") << true << false << true << true;
    QTest::newRow("watching and notice") << true << true << true << true;
}

void TstTrayNotifier::iconOnlyWhileNeeded() {
    QFETCH(bool, watching);
    QFETCH(bool, notice);
    QFETCH(bool, shownAtOnce);
    QFETCH(bool, shownLater);
    platform::TrayNotifier tray(kShowMs);
    // A balloon of twice the time, shown after the tray's: once its icon has gone, the
    // tray's balloon has ended too.
    platform::TrayNotifier witness(2 * kShowMs);
    QVERIFY(!tray.iconShown());
    tray.setWatching(watching);
    if (notice) {
        tray.notify(kNotice);
    }
    witness.notify(kNotice);
    QCOMPARE(tray.iconShown(), shownAtOnce);
    QVERIFY(witness.iconShown());
    QTRY_VERIFY(!witness.iconShown());
    QCOMPARE(tray.iconShown(), shownLater);
    tray.setWatching(false);
    QVERIFY(!tray.iconShown());
}

void TstTrayNotifier::balloonClickActivates() {
    platform::TrayNotifier tray(kShowMs);
    QSignalSpy activated(&tray, &platform::Notifier::activated);
    tray.notify(kNotice);
    auto* icon = tray.findChild<QSystemTrayIcon*>();
    QVERIFY(icon);
    QCOMPARE(icon->toolTip(), QStringLiteral("Trackoro\n顺丰快递 SF1\n2026-12-05 10:00 已签收"));
    QVERIFY(!icon->icon().isNull());
    emit icon->messageClicked();
    QCOMPARE(activated.count(), 1);
}

QTEST_MAIN(TstTrayNotifier)
#include "tst_tray_notifier.moc"
