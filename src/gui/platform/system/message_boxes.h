#pragma once

#include <QString>
#include <QWidget>

namespace platform {

// Every box of the program carries this title.
inline constexpr const char* kBoxTitle = "Zeluna系列软件";

// Modal message boxes. A box blocks its caller and returns the button pressed; closing a
// box by its close button counts as Cancel (Yes/No/Cancel) or No (Yes/No).
class MessageBoxes {
public:
    enum class Icon { Information, Exclamation };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageBoxes() = default;
    virtual Answer show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                        const QString& title) = 0;

    // Information box with one OK button.
    void inform(QWidget* parent, const QString& text) {
        show(parent, text, Icon::Information, Buttons::Ok, QString::fromUtf8(kBoxTitle));
    }
    // Exclamation box with one OK button.
    void warn(QWidget* parent, const QString& text) {
        show(parent, text, Icon::Exclamation, Buttons::Ok, QString::fromUtf8(kBoxTitle));
    }
    // Question with Yes and No and the information icon.
    Answer ask(QWidget* parent, const QString& text) {
        return show(parent, text, Icon::Information, Buttons::YesNo, QString::fromUtf8(kBoxTitle));
    }

    // What closing a box of this kind by its close button answers: OK, No or Cancel.
    static Answer closeAnswer(Buttons buttons) {
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
};

// Real boxes. Texts are shown as plain text; a lone carriage return is shown as a line break.
class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                const QString& title) override;
};

}  // namespace platform
