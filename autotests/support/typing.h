#pragma once

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

namespace testsupport {

// Types `text` into the focused `edit` the way a user does: Latin letters, digits and spaces
// as key presses, Chinese as the input method's commits (QTest::keyClicks cannot type them).
inline void typeKeys(QLineEdit* edit, const QString& text) {
    QString pending;
    const auto commit = [&] {
        if (!pending.isEmpty()) {
            QInputMethodEvent event;
            event.setCommitString(pending);
            QApplication::sendEvent(edit, &event);
            pending.clear();
        }
    };
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            commit();
            QTest::keyClick(edit, ch.toLatin1());
        } else {
            pending.append(ch);
        }
    }
    commit();
}

// Types into a line edit as typeKeys does; what the box held before is replaced.
inline void typeInto(QLineEdit* edit, const QString& text) {
    QVERIFY(edit != nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    typeKeys(edit, text);
    QCOMPARE(edit->text(), text);
}

}  // namespace testsupport
