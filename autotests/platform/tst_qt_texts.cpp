// Qt's own texts in Simplified Chinese, whatever the system's language: the buttons of the
// program's message boxes, the context menu of a text box and Qt's save dialog, with the
// translation the program installs at start-up.
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/system/message_boxes.h"
#include "platform/system/qt_translation.h"
#include "platform/system/save_dialog.h"

using platform::MessageBoxes;

namespace {

// Whether `text` holds a Chinese character.
bool hasHan(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar ch) { return ch.script() == QChar::Script_Han; });
}

}  // namespace

class TstQtTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void boxButtonsAreChinese_data();
    void boxButtonsAreChinese();
    void textBoxMenuIsChinese();
    void saveDialogIsChinese();
};

void TstQtTexts::initTestCase() {
    // A desktop in English: the program's translation decides all the same.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(platform::installQtTranslation(*qApp));
}

void TstQtTexts::boxButtonsAreChinese_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("notice") << int(MessageBoxes::Buttons::Ok) << QStringList{"确定"};
    QTest::newRow("question") << int(MessageBoxes::Buttons::YesNo)
                              << QStringList{"是(&Y)", "否(&N)"};
    QTest::newRow("exit question")
        << int(MessageBoxes::Buttons::YesNoCancel) << QStringList{"是(&Y)", "否(&N)", "取消"};
}

void TstQtTexts::boxButtonsAreChinese() {
    QFETCH(int, buttons);
    QFETCH(QStringList, texts);
    platform::QtMessageBoxes boxes;
    QStringList seen;
    QTimer::singleShot(0, this, [&seen] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (QAbstractButton* button : box->buttons()) {
            seen.append(button->text());
        }
        box->close();
    });
    boxes.show(nullptr, QStringLiteral("您好,您当前输入的单号不存在有效信息,是否先进行保存?"),
               MessageBoxes::Icon::Information, MessageBoxes::Buttons(buttons),
               QStringLiteral("Zeluna系列软件"));
    std::sort(seen.begin(), seen.end());
    std::sort(texts.begin(), texts.end());
    QCOMPARE(seen, texts);
}

void TstQtTexts::textBoxMenuIsChinese() {
    QLineEdit edit(QStringLiteral("SF1001"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            entries.append(action->text());
        }
    }
    QVERIFY(entries.size() >= 6);  // undo, redo, cut, copy, paste, delete, select all
    for (const QString& entry : entries) {
        QVERIFY2(hasHan(entry), qPrintable(entries.join(QStringLiteral(" / "))));
    }
}

void TstQtTexts::saveDialogIsChinese() {
    platform::QtSaveDialog dialog;
    QStringList seen;
    QString title;
    QTimer::singleShot(0, this, [&seen, &title] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QWidget* modal = QApplication::activeModalWidget();
        title = modal->windowTitle();
        const auto* box = modal->findChild<QDialogButtonBox*>();
        QVERIFY(box);
        for (const QAbstractButton* button : box->buttons()) {
            seen.append(button->text());
        }
        modal->close();
    });
    QCOMPARE(dialog.askSavePath(nullptr, QStringLiteral("(TXT文本) (*.txt)")), std::nullopt);
    QVERIFY2(!seen.isEmpty(), "no button box in the save dialog");
    for (const QString& text : seen) {
        QVERIFY2(hasHan(text), qPrintable(seen.join(QStringLiteral(" / "))));
    }
}

QTEST_MAIN(TstQtTexts)
#include "tst_qt_texts.moc"
