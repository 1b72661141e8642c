#include "support/stand_ins.h"

namespace testsupport {

QString buildProgramFolder() {
    return QStringLiteral(TRACKORO_PROGRAM_DIR);
}

using Answer = platform::MessageBoxes::Answer;

Answer ScriptedMessageBoxes::show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                                  const QString& title) {
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

std::optional<QString> ScriptedSaveDialog::askSavePath(QWidget* /*parent*/, const QString& filter) {
    filters_.append(filter);
    if (script_.isEmpty()) {
        return std::nullopt;
    }
    return script_.takeFirst();
}

}  // namespace testsupport
