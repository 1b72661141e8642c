#include "platform/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

MessageBoxes::Answer QtMessageBoxes::show(QWidget* parent, const QString& text, Icon icon,
                                          Buttons buttons, const QString& title) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    // A carriage return alone is the program's line break.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    box.setText(shown);
    box.setIcon(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::Information);
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return ScriptedMessageBoxes::closeAnswer(buttons);
    }
}

MessageBoxes::Answer ScriptedMessageBoxes::closeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

MessageBoxes::Answer ScriptedMessageBoxes::show(QWidget* parent, const QString& text, Icon icon,
                                                Buttons buttons, const QString& title) {
    // Recorded at once, so a test can see the box while it is open.
    const auto at = shown_.size();
    shown_.append(Shown{text, title, icon, buttons, parent, closeAnswer(buttons)});
    Answer answer = closeAnswer(buttons);
    if (!script_.isEmpty()) {
        answer = script_.takeFirst();
    }
    if (onShow) {
        answer = onShow(shown_.at(at));
    }
    if (at < shown_.size()) {
        shown_[at].answer = answer;
    }
    return answer;
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList result;
    for (const Shown& s : shown_) {
        result.append(s.text);
    }
    return result;
}

}  // namespace platform
