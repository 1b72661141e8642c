// 全部快件: the list of every parcel of the history, refreshed together against a local
// tracking service, watched in the background, remembered across runs, exported as CSV.
#include <QAccessible>
#include <QTest>
#include <QUrlQuery>

#include "parcels/parcel_list_window.h"
#include "parcels/parcel_table_model.h"
#include "parcels/parcels_file.h"
#include "platform/controls/timer.h"
#include "platform/net/http_fetch.h"
#include "support/main_window_fixture.h"
#include "watch/parcel_watch.h"

using parcels::ParcelListWindow;
using parcels::ParcelTableModel;
using testsupport::MainWindowFixture;
using testsupport::TestHttpServer;

namespace {

QByteArray gbkLines(const QStringList& entries) {
    QByteArray bytes;
    for (const QString& entry : entries) {
        bytes += base::toGbk(entry).value() + "\r\n";
    }
    return bytes;
}

QString queryValue(const TestHttpServer::Request& request, const char* key) {
    return QUrlQuery(QString::fromLatin1(request.query)).queryItemValue(QString::fromLatin1(key));
}

}  // namespace

class TstParcelList : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }

    void menuOpensOneWindow();
    void rowsFollowTheHistory();
    void refreshFillsEachRowOnItsOwn();
    void aSilentParcelHoldsUpNoOther();
    void movedParcelAlertsOnce();
    void watchRefreshesUnsignedWhileClosed();
    void savedStatusesShowAfterARestart_data();
    void savedStatusesShowAfterARestart();
    void armedWatchResumesAfterTheWindowAppears_data();
    void armedWatchResumesAfterTheWindowAppears();
    void chosenRowIsQueriedInTheMainWindow();
    void exportWritesTheShownTable();
    void tableIsReadByAScreenReader();

private:
    ParcelListWindow* openList() {
        form->controls().Combo5->setListIndex(5);
        return form->parcelList();
    }
    QString cell(ParcelListWindow* list, int row, int column) const {
        return list->controls().parcelTable->model()->index(row, column).data().toString();
    }
    // The tracking service answers each number with the page set for it, "silent" never.
    void answerByNumber() {
        f->server.setHandler("/", [this](const TestHttpServer::Request& request) {
            const QString page = pages.value(queryValue(request, "nu"));
            if (page == QLatin1String("silent")) {
                TestHttpServer::Response silent;
                silent.neverAnswer = true;
                return silent;
            }
            TestHttpServer::Response answer =
                TestHttpServer::Response::text(base::toGbk(page).value());
            answer.delayMs = delayMs;
            return answer;
        });
    }

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
    QHash<QString, QString> pages;
    int delayMs = 0;
    const QStringList history = {
        QStringLiteral("SF1|顺丰快递|爸爸衣服"), QStringLiteral("YT2|圆通快递|妈妈鞋子"),
        QStringLiteral("ZT3|中通快递|"),         QStringLiteral("EM4|EMS快递|书|两本"),
        QStringLiteral("NO5|韵达快递|"),         QStringLiteral("GS6|共速达物流|快递|茶叶")};
};

void TstParcelList::init() {
    f = std::make_unique<MainWindowFixture>();
    f->t.clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 30, 0)));
    f->writeHistory(gbkLines(history));
    pages = {{"SF1", MainWindowFixture::rowsOf(3, QStringLiteral("已签收，签收人：本人"))},
             {"YT2", MainWindowFixture::rowsOf(2, QStringLiteral("正在派件"))},
             {"ZT3", MainWindowFixture::rowsOf(4, QStringLiteral("到达上海"))},
             {"EM4", MainWindowFixture::rowsOf(1)},
             {"NO5", QStringLiteral("<p>单号不存在</p>")},
             {"GS6", MainWindowFixture::rowsOf(5, QStringLiteral("到达杭州"))}};
    delayMs = 0;
    answerByNumber();
    form = f->open();
}

void TstParcelList::menuOpensOneWindow() {
    QCOMPARE(form->parcelWatch(), nullptr);  // nothing of it before it is used
    ParcelListWindow* list = openList();
    QVERIFY(list);
    QVERIFY(list->isVisible());
    QCOMPARE(list->windowTitle(), QStringLiteral("全部快件"));
    QVERIFY(!list->isModal());
    QCOMPARE(f->server.requestCount("/"), 0);  // opening it asks nothing
    form->controls().Combo5->setListIndex(5);
    QCOMPARE(form->parcelList(), list);
    QCOMPARE(form->findChildren<ParcelListWindow*>().size(), 1);
    list->close();
    QTRY_VERIFY(form->parcelList() == nullptr);
    QVERIFY(openList());
}

void TstParcelList::rowsFollowTheHistory() {
    ParcelListWindow* list = openList();
    QCOMPARE(list->tableModel()->rowCount(), history.size());
    const QStringList expected[] = {{"SF1", "顺丰快递", "爸爸衣服"},
                                    {"EM4", "EMS快递", "书|两本"},
                                    {"GS6", "共速达物流|快递", "茶叶"}};
    const int rows[] = {0, 3, 5};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(
            (QStringList{cell(list, rows[i], 0), cell(list, rows[i], 1), cell(list, rows[i], 2)}),
            expected[i]);
        QCOMPARE(cell(list, rows[i], ParcelTableModel::State), ParcelTableModel::notQueriedText());
    }
    // A number saved by a query of the main window is added ...
    f->answer(MainWindowFixture::rowsOf(2));
    f->query(QStringLiteral("NEW7"), QStringLiteral("申通快递"), QStringLiteral("新"));
    QCOMPARE(list->tableModel()->rowCount(), history.size() + 1);
    QCOMPARE(cell(list, history.size(), 0), QStringLiteral("NEW7"));
    // ... one deleted is removed, and clearing empties the list.
    f->t.boxes.script(platform::MessageBoxes::Answer::Yes);
    form->controls().Text1->setText(QStringLiteral("YT2"));
    form->controls().Command9->click();
    QCOMPARE(list->tableModel()->rowCount(), history.size());
    QVERIFY(!list->shownRows().contains(QStringList{}));
    f->t.boxes.script(platform::MessageBoxes::Answer::Yes);
    form->controls().Command7->click();
    QCOMPARE(list->tableModel()->rowCount(), 0);
}

void TstParcelList::refreshFillsEachRowOnItsOwn() {
    const QByteArray historyBefore = f->historyBytes();
    pages.insert(QStringLiteral("YT2"), QStringLiteral(""));  // an empty answer
    f->server.setHandler("/", [this](const TestHttpServer::Request& request) {
        const QString number = queryValue(request, "nu");
        if (number == QLatin1String("ZT3")) {
            return TestHttpServer::Response::withStatus(500, "oops");
        }
        TestHttpServer::Response answer =
            TestHttpServer::Response::text(base::toGbk(pages.value(number)).value());
        answer.delayMs = 150;  // they overlap
        return answer;
    });
    ParcelListWindow* list = openList();
    list->controls().refreshAll->click();
    QVERIFY(list->controls().stopRefresh->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(list->controls().refreshProgress->text(),
                              QStringLiteral("已查询 6/6，刷新完毕"), 10000);
    QVERIFY(!list->controls().stopRefresh->isEnabled());
    QCOMPARE(f->server.requestCount("/"), 6);
    QCOMPARE(f->server.maxInFlight(), 4);

    const QStringList states = {"已签收", "暂无物流信息", "查询失败",
                                "运送中", "单号不存在",   "运送中"};
    for (int row = 0; row < states.size(); ++row) {
        QCOMPARE(cell(list, row, ParcelTableModel::State), states.at(row));
        QCOMPARE(cell(list, row, ParcelTableModel::QueriedTime),
                 QStringLiteral("2026-12-08 09:30:00"));
    }
    QCOMPARE(cell(list, 0, ParcelTableModel::Newest), QStringLiteral("已签收，签收人：本人"));
    QCOMPARE(cell(list, 5, ParcelTableModel::Newest), QStringLiteral("到达杭州"));
    QVERIFY(!cell(list, 5, ParcelTableModel::NewestTime).isEmpty());
    // The courier of each entry was asked for, the one with a "|" in its name too.
    QStringList codes;
    for (const TestHttpServer::Request& request : f->server.requests()) {
        codes.append(queryValue(request, "com"));
    }
    QVERIFY2(codes.contains(QStringLiteral("gongsuda")), qPrintable(codes.join(',')));
    // Every failure stayed in its row: no box, no alert for parcels seen the first time,
    // and the history file was not written.
    QCOMPARE(f->t.boxes.shown().size(), 0);
    QCOMPARE(f->t.player.played().size(), 1);  // the start-up sound only
    QCOMPARE(f->t.notifier->notices().size(), 0);
    QCOMPARE(f->historyBytes(), historyBefore);
    QVERIFY(QFile::exists(parcels::parcelsFilePath(f->t.env.programFolder)));
}

void TstParcelList::aSilentParcelHoldsUpNoOther() {
    pages.insert(QStringLiteral("SF1"), QStringLiteral("silent"));
    ParcelListWindow* list = openList();
    list->controls().refreshAll->click();
    // The five others come well before the silent one's limit (5 s here).
    QTRY_COMPARE_WITH_TIMEOUT(list->controls().refreshProgress->text(),
                              QStringLiteral("已查询 5/6"), 4000);
    QCOMPARE(cell(list, 0, ParcelTableModel::State), ParcelTableModel::notQueriedText());
    // The main window stays usable meanwhile: its own query answers.
    f->answer(MainWindowFixture::rowsOf(2));
    pages.insert(QStringLiteral("MAIN8"), MainWindowFixture::rowsOf(2));
    f->query(QStringLiteral("MAIN8"), QStringLiteral("申通快递"), QStringLiteral("新"));
    QCOMPARE(form->controls().ListView1->count(), 2);
    list->controls().stopRefresh->click();
    QCOMPARE(list->controls().refreshProgress->text(), QStringLiteral("已停止，已查询 5/6"));
    QVERIFY(!list->controls().stopRefresh->isEnabled());
    QTRY_COMPARE(f->server.inFlight(), 0);  // its connection was closed
    QTest::qWait(100);
    QCOMPARE(cell(list, 0, ParcelTableModel::State), ParcelTableModel::notQueriedText());
}

void TstParcelList::movedParcelAlertsOnce() {
    ParcelListWindow* list = openList();
    const auto refresh = [&] {
        list->controls().refreshAll->click();
        QTRY_VERIFY(!form->parcelWatch()->isRefreshing());
    };
    refresh();
    f->t.player.clear();
    pages.insert(QStringLiteral("ZT3"), MainWindowFixture::rowsOf(5, QStringLiteral("到达北京")));
    pages.insert(QStringLiteral("YT2"), MainWindowFixture::rowsOf(1));  // fewer: no move
    f->t.clock.set(QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0)));
    refresh();
    QCOMPARE(cell(list, 2, ParcelTableModel::State),
             QStringLiteral("运送中") + ParcelTableModel::movedText());
    QCOMPARE(list->controls()
                 .parcelTable->model()
                 ->index(2, ParcelTableModel::State)
                 .data(Qt::ForegroundRole),
             QVariant(QColor(255, 0, 0)));
    QCOMPARE(cell(list, 1, ParcelTableModel::State), QStringLiteral("运送中"));
    QCOMPARE(f->t.player.played(), QStringList{f->t.programFile(QStringLiteral("ts.mp3"))});
    QCOMPARE(f->t.notifier->notices().size(), 1);
    const base::Notice notice = f->t.notifier->notices().first();
    QVERIFY2(notice.summary.contains(QStringLiteral("ZT3")) &&
                 notice.summary.contains(QStringLiteral("中通快递")),
             qPrintable(notice.summary));
    QVERIFY2(notice.body.contains(QStringLiteral("到达北京")), qPrintable(notice.body));
    // The same lines again: the mark goes, nothing sounds.
    refresh();
    QCOMPARE(cell(list, 2, ParcelTableModel::State), QStringLiteral("运送中"));
    QCOMPARE(f->t.player.played().size(), 1);
    QCOMPARE(f->t.notifier->notices().size(), 1);
}

void TstParcelList::watchRefreshesUnsignedWhileClosed() {
    ParcelListWindow* list = openList();
    list->controls().refreshAll->click();
    QTRY_VERIFY(list->controls().refreshProgress->text().endsWith(QStringLiteral("刷新完毕")));
    list->controls().watchMinutes->setValue(5);  // below the least interval
    list->controls().watchArmed->setChecked(true);
    QCOMPARE(list->controls().watchMinutes->value(), 10);
    platform::Timer* timer = form->parcelWatch()->timer();
    QVERIFY(timer->isEnabled());
    QCOMPARE(timer->interval(), 10 * 60 * 1000);
    list->close();
    QTRY_VERIFY(form->parcelList() == nullptr);

    f->server.clearRequests();
    pages.insert(QStringLiteral("GS6"), MainWindowFixture::rowsOf(6, QStringLiteral("派送中")));
    timer->fire();
    QTRY_COMPARE(f->server.requestCount("/"), 5);
    QStringList asked;
    for (const TestHttpServer::Request& request : f->server.requests()) {
        asked.append(queryValue(request, "nu"));
    }
    QVERIFY2(!asked.contains(QStringLiteral("SF1")), "a signed parcel was asked again");
    QTRY_COMPARE(f->t.notifier->notices().size(), 1);
    // What the watch saw shows when the list is opened again.
    list = openList();
    QCOMPARE(cell(list, 5, ParcelTableModel::State),
             QStringLiteral("派件中") + ParcelTableModel::movedText());
    QVERIFY(list->controls().watchArmed->isChecked());
    list->controls().watchArmed->setChecked(false);
    QVERIFY(!timer->isEnabled());
}

// Rows: the list's file as it is when the program starts again.
void TstParcelList::savedStatusesShowAfterARestart_data() {
    QTest::addColumn<QByteArray>("damage");  // empty: the file as the list wrote it
    QTest::addColumn<bool>("kept");
    QTest::newRow("as written") << QByteArray() << true;
    QTest::newRow("cut short") << QByteArray("cut") << false;
    QTest::newRow("not JSON") << QByteArray("\xff\xfe garbage \x00", 14) << false;
    QTest::newRow("empty") << QByteArray("empty") << false;
}

void TstParcelList::savedStatusesShowAfterARestart() {
    QFETCH(QByteArray, damage);
    QFETCH(bool, kept);
    ParcelListWindow* list = openList();
    list->controls().refreshAll->click();
    QTRY_VERIFY(list->controls().refreshProgress->text().endsWith(QStringLiteral("刷新完毕")));
    const QString path = parcels::parcelsFilePath(f->t.env.programFolder);
    if (!damage.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray whole = file.readAll();
        file.resize(0);
        file.seek(0);
        file.write(damage == "cut"     ? whole.left(whole.size() / 2)
                   : damage == "empty" ? QByteArray()
                                       : damage);
    }
    f->form.reset();
    f->server.clearRequests();
    form = f->open();
    list = openList();
    QCOMPARE(cell(list, 0, ParcelTableModel::State),
             kept ? QStringLiteral("已签收") : ParcelTableModel::notQueriedText());
    QCOMPARE(cell(list, 2, ParcelTableModel::Newest),
             kept ? QStringLiteral("到达上海") : QString());
    QCOMPARE(f->server.requestCount("/"), 0);  // shown without asking
}

void TstParcelList::armedWatchResumesAfterTheWindowAppears_data() {
    QTest::addColumn<bool>("armed");
    QTest::newRow("armed") << true;
    QTest::newRow("not armed") << false;
}

void TstParcelList::armedWatchResumesAfterTheWindowAppears() {
    QFETCH(bool, armed);
    parcels::ParcelsState state;
    state.watch = {armed, 60};
    QVERIFY(parcels::writeParcelsFile(parcels::parcelsFilePath(f->t.env.programFolder), state));
    f->form.reset();
    form = f->open();
    if (!armed) {
        QTest::qWait(200);
        QCOMPARE(form->parcelWatch(), nullptr);
        QCOMPARE(f->server.requestCount("/"), 0);
        return;
    }
    QTRY_VERIFY(form->parcelWatch() != nullptr);
    QCOMPARE(form->parcelWatch()->timer()->interval(), 60 * 60 * 1000);
    // A watch of an earlier run looks at once.
    QTRY_COMPARE(f->server.requestCount("/"), history.size());
}

void TstParcelList::chosenRowIsQueriedInTheMainWindow() {
    ParcelListWindow* list = openList();
    QTableView* table = list->controls().parcelTable;
    table->sortByColumn(ParcelTableModel::Number, Qt::DescendingOrder);  // ZT3, YT2, ...
    table->setFocus();
    table->setCurrentIndex(table->model()->index(1, 0));
    QTest::keyClick(table, Qt::Key_Return);
    f->finishParse();
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("YT2"));
    QCOMPARE(form->controls().Combo1->text(), QStringLiteral("圆通快递"));
    QCOMPARE(form->controls().Text2->text(), QStringLiteral("妈妈鞋子"));
    QCOMPARE(form->controls().ListView1->count(), 2);
    QCOMPARE(form->controls().Label3->text(), QStringLiteral("快件状态：派件中"));
}

void TstParcelList::exportWritesTheShownTable() {
    ParcelListWindow* list = openList();
    list->controls().refreshAll->click();
    QTRY_VERIFY(list->controls().refreshProgress->text().endsWith(QStringLiteral("刷新完毕")));
    const QString path = f->t.folder.filePath(QStringLiteral("全部快件.csv"));
    f->t.saveDialog.answer(path);
    list->controls().exportTable->click();
    QCOMPARE(f->t.saveDialog.filters(), QStringList{ParcelListWindow::exportFilter()});
    QCOMPARE(f->t.boxes.texts(), QStringList{QStringLiteral("成功导出全部数据!")});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> lines = bytes.mid(3).split('\n');
    QCOMPARE(lines.size(), history.size() + 2);  // header, rows, nothing after the last CR LF
    QCOMPARE(lines.first(),
             QStringLiteral("快件单号,物流公司,备注,状态,最新进度,进度时间,查询时间\r").toUtf8());
    QVERIFY2(lines.at(1).startsWith(QStringLiteral("SF1,顺丰快递,爸爸衣服,已签收,").toUtf8()),
             lines.at(1).constData());
    QCOMPARE(lines.last(), QByteArray());
}

void TstParcelList::tableIsReadByAScreenReader() {
    ParcelListWindow* list = openList();
    list->controls().refreshAll->click();
    QTRY_VERIFY(list->controls().refreshProgress->text().endsWith(QStringLiteral("刷新完毕")));
    QAccessibleInterface* table =
        QAccessible::queryAccessibleInterface(list->controls().parcelTable);
    QVERIFY(table);
    QCOMPARE(table->text(QAccessible::Name), QStringLiteral("全部快件"));
    QAccessibleTableInterface* cells = table->tableInterface();
    QVERIFY(cells);
    QCOMPARE(cells->rowCount(), history.size());
    QCOMPARE(cells->columnCount(), int(ParcelTableModel::ColumnCount));
    QCOMPARE(cells->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("SF1"));
    QCOMPARE(cells->cellAt(0, ParcelTableModel::State)->text(QAccessible::Name),
             QStringLiteral("已签收"));
    QCOMPARE(cells->columnDescription(ParcelTableModel::State), QStringLiteral("状态"));
    for (QWidget* control :
         std::initializer_list<QWidget*>{list->controls().refreshAll, list->controls().stopRefresh,
                                         list->controls().exportTable, list->controls().watchArmed,
                                         list->controls().watchMinutes}) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(!read->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
}

QTEST_MAIN(TstParcelList)
#include "tst_parcel_list.moc"
