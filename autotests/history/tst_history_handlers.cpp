// Working with the stored numbers from the main window: picking an entry, the history
// toggle, deleting and clearing numbers, and the export of the progress list.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "base/text_codec.h"
#include "history/export_format.h"
#include "history/history_handlers.h"
#include "support/activation.h"
#include "support/file_faults.h"
#include "support/main_window_fixture.h"
#include "support/typing.h"

using platform::MessageBoxes;
using testsupport::MainWindowFixture;
using testsupport::TestHttpServer;

class TstHistoryHandlers : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        form = f->open();
        f->answer(MainWindowFixture::rowsOf(3, QStringLiteral("已签收")));
    }
    void cleanup() {
        form = nullptr;
        f.reset();
    }

    // Pick
    void pickFillsTheFieldsAndQueries();
    void pickComparesAgainstNoLines();
    void pickOfTheCourierWithABarInItsName();
    void pickOfARemarkWithABar();
    void pickOfAnEntryWithoutBar();
    void pickRunsWhileTheButtonIsDisabled();
    void hugeEntryIsShownByItsStartAndUsedWhole();
    void longNumberIsStoredOnceThoughShownByItsStart();
    void typingAnEntryAndLeavingIsNoPick();
    void keyboardWorksAfterAPick();

    // Toggle
    void toggleLoadsAndEmpties();
    void toggleNeverWritesTheFile();
    void toggleWithoutFile();

    // Delete
    void deleteWithEmptyBox();
    void confirmationAnsweredNoOrClosed_data();
    void confirmationAnsweredNoOrClosed();
    void deleteRemovesOnlyThatNumber();
    void deleteWithAWholeEntryInTheBox();
    void deleteKeepsStoredEntriesTheListDoesNotShow();
    void deleteTheOnlyEntryLeavesAnEmptyFile();
    void deleteWithMissingFile();
    void deleteUnknownNumberRewritesTheSameEntries();
    void deleteThatCannotWriteIsReported();
    void deleteWithoutGbkConverterIsReported();

    // Clear
    void clearRemovesEverything();
    void clearWithoutFile();
    void clearKeepsRemarkCourierAndList();
    void clearThatCannotRemoveIsReported();

    // Export
    void exportOneRow();
    void exportThreeRowsAndWidths();
    void exportPathWithoutExtension();
    void exportOverwrites();
    void exportCancelled();
    void exportEmptyList();
    void exportUnwritablePath();
    void exportWithoutGbkConverterIsReported();
    void exportChineseFirstCell();

private:
    void storeHistory(const QString& text) { f->writeHistory(base::toGbk(text).value()); }
    QString historyText() const { return base::fromGbk(f->historyBytes()).value(); }
    // Picks entry `index` of the number list the way the user does: from the drop-down.
    void pickFromList(int index) {
        form->controls().Text1->showPopup();
        QAbstractItemView* view = form->controls().Text1->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex item = view->model()->index(index, 0);
        view->scrollTo(item);
        // Near the entry's left end: the middle of a long entry lies outside the list.
        const QRect rect = view->visualRect(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          QPoint(rect.left() + 8, rect.center().y()));
        f->finishParse();
    }
    void fillList(const QList<QPair<QString, QString>>& rows) {
        f->answer(MainWindowFixture::rows(rows));
        f->query(QStringLiteral("SF1"), QStringLiteral("顺丰快递"), QStringLiteral("r"));
    }
    QByteArray exportTo(const QString& path) {
        f->t.saveDialog.answer(path);
        form->controls().Combo5->setListIndex(0);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<MainWindowFixture> f;
    app::Form1* form = nullptr;
};

void TstHistoryHandlers::pickFillsTheFieldsAndQueries() {
    storeHistory(QStringLiteral("SF1|顺丰快递|别的\r\n1234|EMS快递|爸爸衣服\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    pickFromList(1);
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("1234"));
    QCOMPARE(form->controls().Combo1->text(), QStringLiteral("EMS快递"));
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("ems"));
    QCOMPARE(form->controls().Text2->text(), QStringLiteral("爸爸衣服"));
    QCOMPARE(f->server.requestCount("/"), 1);
    QVERIFY(f->server.requests().last().query.startsWith("com=ems&nu=1234&"));
    QCOMPARE(form->controls().ListView1->count(), 3);
    // The number is stored already: nothing is added.
    QCOMPARE(historyText(), QStringLiteral("SF1|顺丰快递|别的\r\n1234|EMS快递|爸爸衣服\r\n"));
    QCOMPARE(form->controls().Text1->count(), 2);
}

void TstHistoryHandlers::pickComparesAgainstNoLines() {
    storeHistory(QStringLiteral("1234|EMS快递|爸爸衣服\r\n"));
    f->query(QStringLiteral("1234"), QStringLiteral("EMS快递"), QStringLiteral("爸爸衣服"));
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    f->query(QStringLiteral("1234"), QStringLiteral("EMS快递"), QStringLiteral("爸爸衣服"));
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：无更新"));
    f->t.player.clear();
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    pickFromList(0);
    // The same three lines again, but a pick compares against no lines at all.
    QCOMPARE(form->controls().Label7->text(), QStringLiteral("是否更新：有更新"));
    QCOMPARE(f->t.player.played(), QStringList{f->t.programFile(QStringLiteral("ts.mp3"))});
}

void TstHistoryHandlers::pickOfTheCourierWithABarInItsName() {
    storeHistory(QStringLiteral("777|共速达物流|快递|备注\r\n"));
    form->controls().Combo1->setText(QStringLiteral("圆通快递"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    pickFromList(0);
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("777"));
    // "共速达物流" matches no courier: the selection stays.
    QCOMPARE(form->controls().Combo1->text(), QStringLiteral("圆通快递"));
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("yuantong"));
    QCOMPARE(form->controls().Text2->text(), QStringLiteral("快递"));
    QVERIFY(f->server.requests().last().query.startsWith("com=yuantong&nu=777&"));
}

void TstHistoryHandlers::pickOfARemarkWithABar() {
    storeHistory(QStringLiteral("88|EMS快递|衣服|鞋子\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    pickFromList(0);
    QCOMPARE(form->controls().Text2->text(), QStringLiteral("衣服"));
}

void TstHistoryHandlers::pickOfAnEntryWithoutBar() {
    storeHistory(QStringLiteral("justanumber\r\n"));
    form->controls().Text2->setText(QStringLiteral("留着"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    pickFromList(0);
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(form->controls().Text2->text(), QString());
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("请输入快递单号!"));
    QCOMPARE(f->server.requestCount("/"), 0);
}

void TstHistoryHandlers::pickRunsWhileTheButtonIsDisabled() {
    storeHistory(QStringLiteral("1234|EMS快递|爸爸衣服\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    form->controls().Command1->setEnabled(false);
    pickFromList(0);
    QCOMPARE(f->server.requestCount("/"), 1);
}

// A damaged or hand-edited file can hold an entry of megabytes. The number list shows its
// start; the pick, the delete and the file work with all of it.
void TstHistoryHandlers::hugeEntryIsShownByItsStartAndUsedWhole() {
    QString remark;
    remark.reserve(300000);
    while (remark.size() < 300000) {
        remark += QStringLiteral("爸爸衣服%1,").arg(remark.size());
    }
    const QString huge = QStringLiteral("SF1|顺丰快递|") + remark;
    const QString other = QStringLiteral("1234|EMS快递|爸爸衣服");
    const QString stored = huge + QStringLiteral("\r\n") + other + QStringLiteral("\r\n");
    storeHistory(stored);
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(form->controls().Text1->items(), QStringList({huge, other}));

    const QAbstractItemModel* list = form->controls().Text1->view()->model();
    const QString shown = list->index(0, 0).data(Qt::DisplayRole).toString();
    QVERIFY2(shown.size() <= platform::ComboBox::kShownChars + 1,
             qPrintable(QString::number(shown.size())));
    QVERIFY(shown.size() > 100);
    QVERIFY(huge.startsWith(shown.chopped(1)));
    QCOMPARE(list->index(1, 0).data(Qt::DisplayRole).toString(), other);

    // On its way to the number, the edit text is given no more than that start either.
    qsizetype longestEditText = 0;
    connect(form->controls().Text1->lineEdit(), &QLineEdit::textChanged, form,
            [&](const QString& text) { longestEditText = std::max(longestEditText, text.size()); });
    pickFromList(0);
    QVERIFY2(longestEditText <= platform::ComboBox::kShownChars + 1,
             qPrintable(QString::number(longestEditText)));
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("SF1"));
    QCOMPARE(form->queryFlow()->courierCode(), QStringLiteral("shunfeng"));
    // The remark box holds as much of the remark as it takes.
    QCOMPARE(form->controls().Text2->text(), remark.left(form->controls().Text2->maxLength()));
    QCOMPARE(f->server.requestCount("/"), 1);
    QVERIFY(f->server.requests().last().query.startsWith("com=shunfeng&nu=SF1&"));
    QCOMPARE(form->controls().ListView1->count(), 3);
    // The number is stored: the file keeps the whole entry, unchanged.
    QCOMPARE(historyText(), stored);

    form->controls().Text1->setText(QStringLiteral("SF1"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(historyText(), other + QStringLiteral("\r\n"));
    QCOMPARE(form->controls().Text1->items(), QStringList{other});
}

// A number longer than the list shows of it is picked whole and still found stored.
void TstHistoryHandlers::longNumberIsStoredOnceThoughShownByItsStart() {
    const QString number = QString(platform::ComboBox::kShownChars + 500, QLatin1Char('7'));
    const QString stored = number + QStringLiteral("|顺丰快递|衣服\r\n");
    storeHistory(stored);
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    pickFromList(0);
    QCOMPARE(form->controls().Text1->text(), number);
    QCOMPARE(f->server.requestCount("/"), 1);
    QCOMPARE(historyText(), stored);
    QCOMPARE(form->controls().Text1->count(), 1);
}

// A number typed or pasted that equals a whole entry (a line without "|" is one) is no
// pick when the focus leaves the box: no query runs, the box keeps what was typed.
void TstHistoryHandlers::typingAnEntryAndLeavingIsNoPick() {
    storeHistory(QStringLiteral("1234|EMS快递|爸爸衣服\r\nSF1001\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QVERIFY(testsupport::activate(form));
    testsupport::typeInto(form->controls().Text1->lineEdit(), QStringLiteral("SF1001"));
    QTest::keyClick(form->controls().Text1->lineEdit(), Qt::Key_Tab);
    QTRY_VERIFY(form->controls().Combo1->hasFocus());
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("SF1001"));
    QCOMPARE(f->server.requestCount("/"), 0);

    // The whole entry, then a click on 删: the delete asks about what the box holds.
    testsupport::typeInto(form->controls().Text1->lineEdit(),
                          QStringLiteral("1234|EMS快递|爸爸衣服"));
    f->t.boxes.script(MessageBoxes::Answer::No);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(f->server.requestCount("/"), 0);
    QCOMPARE(f->t.boxes.texts(),
             QStringList{QStringLiteral("确定要删除[1234|EMS快递|爸爸衣服]此单号码?")});
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("1234|EMS快递|爸爸衣服"));
}

// After a pick with the mouse the keyboard goes on where it was: in the number box, Enter
// queries again and Tab moves on.
void TstHistoryHandlers::keyboardWorksAfterAPick() {
    storeHistory(QStringLiteral("1234|EMS快递|爸爸衣服\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QVERIFY(testsupport::activate(form));
    form->controls().Text1->setFocus();
    QTRY_VERIFY(form->controls().Text1->lineEdit()->hasFocus());
    pickFromList(0);
    QCOMPARE(f->server.requestCount("/"), 1);
    // Off-screen no window is active once the list has closed; a desktop keeps the window.
    QVERIFY(testsupport::activate(form));
    QTRY_VERIFY(form->controls().Text1->lineEdit()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f->server.requestCount("/"), 2);
    f->finishParse();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTRY_VERIFY(form->controls().Combo1->hasFocus());
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("1234"));
    QCOMPARE(f->server.requestCount("/"), 2);
}

void TstHistoryHandlers::toggleLoadsAndEmpties() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("最新快递查询"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("已加载历史快递列表"));
    QCOMPARE(form->controls().Text1->items(),
             QStringList({QStringLiteral("A|EMS快递|a"), QStringLiteral("B|EMS快递|b")}));
    QCOMPARE(form->controls().Text1->text(), QString());
    form->controls().Text1->setText(QStringLiteral("typed"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("历史快递查询"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("已清空历史快递列表"));
    QCOMPARE(form->controls().Text1->count(), 0);
    QCOMPARE(form->controls().Text1->text(), QString());
}

void TstHistoryHandlers::toggleNeverWritesTheFile() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\n"));
    const QByteArray before = f->historyBytes();
    const QDateTime modified =
        QFileInfo(f->t.programFile(QStringLiteral("wlnum.ini"))).lastModified();
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(f->historyBytes(), before);
    QCOMPARE(QFileInfo(f->t.programFile(QStringLiteral("wlnum.ini"))).lastModified(), modified);
    QCOMPARE(form->controls().Text1->count(), 0);
}

void TstHistoryHandlers::toggleWithoutFile() {
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("已加载历史快递列表"));
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(f->t.boxes.shown().isEmpty());
}

void TstHistoryHandlers::deleteWithEmptyBox() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\n"));
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(f->t.boxes.texts(), QStringList{QStringLiteral("请先选择要删除的单号!")});
    QCOMPARE(f->t.boxes.shown().first().buttons, MessageBoxes::Buttons::Ok);
    QCOMPARE(historyText(), QStringLiteral("A|EMS快递|a\r\n"));
}

// Delete and clear both ask first; No, or closing the box, changes neither the list, the
// number box, the file nor the status bar.
void TstHistoryHandlers::confirmationAnsweredNoOrClosed_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("closeBox");
    const QString deleteQuestion = QStringLiteral("确定要删除[A]此单号码?");
    const QString clearQuestion = QStringLiteral("确定要清空查询列表吗?");
    QTest::newRow("delete, No") << QStringLiteral("Command9") << deleteQuestion << false;
    QTest::newRow("delete, close box") << QStringLiteral("Command9") << deleteQuestion << true;
    QTest::newRow("clear, No") << QStringLiteral("Command7") << clearQuestion << false;
    QTest::newRow("clear, close box") << QStringLiteral("Command7") << clearQuestion << true;
}

void TstHistoryHandlers::confirmationAnsweredNoOrClosed() {
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(bool, closeBox);
    storeHistory(QStringLiteral("A|EMS快递|a\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    form->controls().Text1->setText(QStringLiteral("A"));
    const QString status = form->controls().S1->panelText(2);
    QCOMPARE(status, QStringLiteral("已加载历史快递列表"));
    if (!closeBox) {
        f->t.boxes.script(MessageBoxes::Answer::No);
    }
    auto* pressed = form->findChild<QPushButton*>(button);
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(f->t.boxes.texts(), QStringList{question});
    const auto& box = f->t.boxes.shown().first();
    QCOMPARE(box.buttons, MessageBoxes::Buttons::YesNo);
    QCOMPARE(box.icon, MessageBoxes::Icon::Information);
    QCOMPARE(box.title, QStringLiteral("Zeluna系列软件"));
    QCOMPARE(f->t.boxes.pendingAnswers(), 0);
    QCOMPARE(form->controls().Text1->count(), 1);
    QCOMPARE(form->controls().Text1->text(), QStringLiteral("A"));
    QCOMPARE(historyText(), QStringLiteral("A|EMS快递|a\r\n"));
    QCOMPARE(form->controls().S1->panelText(2), status);
}

void TstHistoryHandlers::deleteRemovesOnlyThatNumber() {
    storeHistory(
        QStringLiteral("1234|EMS快递|a\r\n123|EMS快递|b\r\n5|EMS快递|备注123\r\n"
                       "123|圆通快递|c\r\n1234A|EMS快递|d\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    form->controls().Text1->setText(QStringLiteral("123"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    const QString kept =
        QStringLiteral("1234|EMS快递|a\r\n5|EMS快递|备注123\r\n1234A|EMS快递|d\r\n");
    QCOMPARE(historyText(), kept);
    QCOMPARE(form->controls().Text1->items(),
             QStringList({QStringLiteral("1234|EMS快递|a"), QStringLiteral("5|EMS快递|备注123"),
                          QStringLiteral("1234A|EMS快递|d")}));
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(f->t.boxes.texts().size(), 1);  // no message after the delete
}

void TstHistoryHandlers::deleteWithAWholeEntryInTheBox() {
    storeHistory(QStringLiteral("1234|EMS快递|a\r\n99|EMS快递|b\r\n"));
    form->controls().Text1->setText(QStringLiteral("1234|EMS快递|a"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(f->t.boxes.texts().first(), QStringLiteral("确定要删除[1234|EMS快递|a]此单号码?"));
    QCOMPARE(historyText(), QStringLiteral("99|EMS快递|b\r\n"));
}

void TstHistoryHandlers::deleteKeepsStoredEntriesTheListDoesNotShow() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\nC|EMS快递|c\r\n"));
    // The list is not loaded at all.
    form->controls().Text1->setText(QStringLiteral("B"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(historyText(), QStringLiteral("A|EMS快递|a\r\nC|EMS快递|c\r\n"));
    QCOMPARE(form->controls().Text1->count(), 0);
    // Loaded, then emptied by the toggle.
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    form->controls().Text1->setText(QStringLiteral("C"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(historyText(), QStringLiteral("A|EMS快递|a\r\n"));
}

void TstHistoryHandlers::deleteTheOnlyEntryLeavesAnEmptyFile() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\n"));
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    form->controls().Text1->setText(QStringLiteral("A"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QVERIFY(QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
    QCOMPARE(f->historyBytes(), QByteArray());
    QCOMPARE(form->controls().Text1->count(), 0);
    QCOMPARE(form->controls().Text1->text(), QString());
    // A later load adds nothing.
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    QCOMPARE(form->controls().Text1->count(), 0);
}

void TstHistoryHandlers::deleteWithMissingFile() {
    form->controls().Text1->setText(QStringLiteral("A"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    // The rewrite leaves a zero-byte file.
    QVERIFY(QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
    QCOMPARE(f->historyBytes(), QByteArray());
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(f->t.boxes.shown().size(), 1);
}

void TstHistoryHandlers::deleteUnknownNumberRewritesTheSameEntries() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b"));
    form->controls().Text1->setText(QStringLiteral("Z"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    QCOMPARE(historyText(), QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\n"));
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(f->t.boxes.shown().size(), 1);
}

void TstHistoryHandlers::deleteThatCannotWriteIsReported() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\n"));
    const QByteArray before = f->historyBytes();
    form->controls().Text1->setText(QStringLiteral("A"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    {
        // The disk is full: the rewrite fails half-way.
        testsupport::FileSizeLimit full(4);
        if (!full.ok()) {
            QSKIP("no limit on the size of written files here");
        }
        QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    }
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("历史记录保存失败!"));
    QCOMPARE(f->historyBytes(), before);
}

void TstHistoryHandlers::deleteWithoutGbkConverterIsReported() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\n"));
    const QByteArray before = f->historyBytes();
    form->controls().Text1->setText(QStringLiteral("A"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    {
        base::GbkConverterMissing missing;
        QTest::mouseClick(form->controls().Command9, Qt::LeftButton);
    }
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("历史记录保存失败!"));
    QCOMPARE(f->historyBytes(), before);
}

void TstHistoryHandlers::clearRemovesEverything() {
    storeHistory(QStringLiteral("A|EMS快递|a\r\nB|EMS快递|b\r\n"));
    form->controls().Text1->setText(QStringLiteral("A"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command7, Qt::LeftButton);
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
    QCOMPARE(form->controls().Text1->count(), 0);
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询列表已清空..."));
    // The next save starts a new file.
    f->query(QStringLiteral("C"), QStringLiteral("EMS快递"), QStringLiteral("c"));
    QCOMPARE(historyText(), QStringLiteral("C|EMS快递|c\r\n"));
}

void TstHistoryHandlers::clearWithoutFile() {
    form->controls().Text1->setText(QStringLiteral("A"));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command7, Qt::LeftButton);
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("查询列表已清空..."));
    QCOMPARE(f->t.boxes.shown().size(), 1);
    QCOMPARE(form->controls().Text1->text(), QString());
    QCOMPARE(form->controls().Text1->count(), 0);
    QVERIFY(!QFile::exists(f->t.programFile(QStringLiteral("wlnum.ini"))));
}

void TstHistoryHandlers::clearKeepsRemarkCourierAndList() {
    fillList({{QStringLiteral("t"), QStringLiteral("p")}});
    QTest::mouseClick(form->controls().Command3, Qt::LeftButton);
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command7, Qt::LeftButton);
    QCOMPARE(form->controls().Text2->text(), QStringLiteral("r"));
    QCOMPARE(form->controls().Combo1->text(), QStringLiteral("顺丰快递"));
    QCOMPARE(form->controls().ListView1->count(), 1);
    QCOMPARE(form->controls().Command3->text(), QStringLiteral("最新快递查询"));
}

void TstHistoryHandlers::clearThatCannotRemoveIsReported() {
    // A folder in the file's place can be neither removed as a file nor emptied.
    QVERIFY(QDir(f->t.env.programFolder).mkpath(QStringLiteral("wlnum.ini/keep")));
    f->t.boxes.script(MessageBoxes::Answer::Yes);
    QTest::mouseClick(form->controls().Command7, Qt::LeftButton);
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("历史记录保存失败!"));
    QCOMPARE(form->controls().Text1->count(), 0);
}

void TstHistoryHandlers::exportOneRow() {
    fillList({{QStringLiteral("2013-01-05 10:00:00"), QStringLiteral("已签收")}});
    const QString path = f->t.programFile(QStringLiteral("one.txt"));
    const QByteArray bytes = exportTo(path);
    QCOMPARE(bytes, "1" + QByteArray(7, ' ') + "   2013-01-05 10:00:00   " +
                        base::toGbk(QStringLiteral("已签收")).value() + "\r\n");
    QCOMPARE(f->t.saveDialog.filters(), QStringList{QStringLiteral("(TXT文本) (*.txt)")});
    QCOMPARE(f->t.boxes.texts().last(), QStringLiteral("成功导出全部数据!"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("成功导出全部数据.."));
    QCOMPARE(form->controls().Combo5->text(), QStringLiteral("导出信息"));
}

void TstHistoryHandlers::exportThreeRowsAndWidths() {
    fillList({{QStringLiteral("t1"), QStringLiteral("p1")},
              {QStringLiteral("t2"), QStringLiteral("p2")},
              {QStringLiteral("t3"), QStringLiteral("p3")}});
    const QByteArray bytes = exportTo(f->t.programFile(QStringLiteral("three.txt")));
    QCOMPARE(bytes, QByteArray("1          t3   p3\r\n"
                               "2          t2   p2\r\n"
                               "3          t1   p1\r\n"));
}

void TstHistoryHandlers::exportChineseFirstCell() {
    // The widths of the first cell, 2, 8 and 9 bytes wide.
    fillList({{QStringLiteral("t"), QStringLiteral("p")}});
    platform::ListViewModel* lines = form->controls().ListView1->listModel();
    lines->insertAtTop(QStringLiteral("123456789"));
    lines->insertAtTop(QStringLiteral("12345678"));
    lines->insertAtTop(QStringLiteral("12"));
    lines->insertAtTop(QStringLiteral("快递"));
    const QByteArray bytes = exportTo(f->t.programFile(QStringLiteral("widths.txt")));
    const QList<QByteArray> lineBytes = bytes.split('\n');
    QCOMPARE(lineBytes.at(0),
             base::toGbk(QStringLiteral("快递")).value() + QByteArray(4, ' ') + "      \r");
    QCOMPARE(lineBytes.at(1), QByteArray("12") + QByteArray(6, ' ') + "      \r");
    QCOMPARE(lineBytes.at(2), QByteArray("12345678") + "      \r");
    QCOMPARE(lineBytes.at(3), QByteArray("123456789") + "      \r");
    QCOMPARE(lineBytes.at(4), QByteArray("1") + QByteArray(7, ' ') + "   t   p\r");
}

void TstHistoryHandlers::exportPathWithoutExtension() {
    fillList({{QStringLiteral("t"), QStringLiteral("p")}});
    const QString path = f->t.programFile(QStringLiteral("noextension"));
    QCOMPARE(exportTo(path), QByteArray("1          t   p\r\n"));
    QVERIFY(!QFile::exists(path + QStringLiteral(".txt")));
}

void TstHistoryHandlers::exportOverwrites() {
    const QString path = f->t.programFile(QStringLiteral("same.txt"));
    fillList({{QStringLiteral("t1"), QStringLiteral("p1")},
              {QStringLiteral("t2"), QStringLiteral("p2")}});
    QCOMPARE(exportTo(path), QByteArray("1          t2   p2\r\n"
                                        "2          t1   p1\r\n"));
    fillList({{QStringLiteral("t9"), QStringLiteral("p9")}});
    QCOMPARE(exportTo(path), QByteArray("1          t9   p9\r\n"));
}

void TstHistoryHandlers::exportCancelled() {
    fillList({{QStringLiteral("t"), QStringLiteral("p")}});
    const QString status = form->controls().S1->panelText(2);
    f->t.saveDialog.cancelNext();
    form->controls().Combo5->setListIndex(0);
    QCOMPARE(f->t.boxes.texts().last(), QStringLiteral("已取消保存"));
    QCOMPARE(form->controls().S1->panelText(2), status);
    QCOMPARE(f->t.saveDialog.timesShown(), 1);
}

void TstHistoryHandlers::exportEmptyList() {
    const QString status = form->controls().S1->panelText(2);
    form->controls().Combo5->setListIndex(0);
    QCOMPARE(f->t.boxes.texts(), QStringList{QStringLiteral("没有可导出的数据!")});
    QCOMPARE(f->t.saveDialog.timesShown(), 0);
    QCOMPARE(form->controls().S1->panelText(2), status);
}

void TstHistoryHandlers::exportUnwritablePath() {
    fillList({{QStringLiteral("t"), QStringLiteral("p")}});
    const QString path = f->t.programFile(QStringLiteral("no/such/folder/x.txt"));
    exportTo(path);
    QCOMPARE(f->t.boxes.texts().last(), QStringLiteral("导出失败,请检查保存位置!"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("导出失败.."));
    QVERIFY(!QFile::exists(path));
}

void TstHistoryHandlers::exportWithoutGbkConverterIsReported() {
    fillList({{QStringLiteral("t"), QStringLiteral("已签收")}});
    const QString path = f->t.programFile(QStringLiteral("导出.txt"));
    {
        base::GbkConverterMissing missing;
        exportTo(path);
    }
    QCOMPARE(f->t.boxes.texts().last(), QStringLiteral("导出失败,请检查保存位置!"));
    QCOMPARE(form->controls().S1->panelText(2), QStringLiteral("导出失败.."));
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(TstHistoryHandlers)
#include "tst_history_handlers.moc"
