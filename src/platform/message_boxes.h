#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

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
};

// Real boxes. Texts are shown as plain text; a lone carriage return is shown as a line break.
class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                const QString& title) override;
};

// Boxes for tests: records every box and answers it from a script. A box without a
// scripted answer is closed by its close button (OK, No or Cancel). A test that needs a
// box to stay open sets `onShow`, which runs while the box is "open" and returns the answer.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
        QPointer<QWidget> parent;
        Answer answer;
    };

    Answer show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                const QString& title) override;

    void script(Answer answer) { script_.append(answer); }
    int pendingAnswers() const { return static_cast<int>(script_.size()); }
    const QList<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

    std::function<Answer(const Shown&)> onShow;

    // What closing a box of this kind by its close button answers.
    static Answer closeAnswer(Buttons buttons);

private:
    QList<Answer> script_;
    QList<Shown> shown_;
};

}  // namespace platform
