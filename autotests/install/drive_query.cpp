// The user's hands for the install test: loaded into the installed program (LD_PRELOAD), it
// runs one query the way a user does and then ends the program, nothing more. Once the
// start-up check has enabled "开始查询" it types the number, picks the courier with the arrow
// keys, types the remark (Chinese as input-method commits), clicks the button, waits until the
// answer is shown, prints what the window shows (and the menu entry the program names to the
// desktop) and closes the window, answering the exit question with "否". It finds the
// controls by their names; it knows nothing else of the program, which is loaded unchanged.
//
// What to type comes from TRACKORO_DRIVE_NUMBER, TRACKORO_DRIVE_COURIER and
// TRACKORO_DRIVE_REMARK; without them it does nothing. Anything unexpected (a message box
// during the query, no answer within a minute) ends the process with status 3 and says why.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "support/typing.h"

namespace {

constexpr qint64 kDeadlineMs = 60000;
const QString kNotQueried = QStringLiteral("快件状态：未查询");

void say(const QString& line) {
    fprintf(stdout, "%s\n", line.toUtf8().constData());
    fflush(stdout);
}

template <typename T>
T* control(QWidget* window, const char* name) {
    return window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

QString textOf(QWidget* window, const char* name) {
    const QLabel* label = control<QLabel>(window, name);
    return label ? label->text() : QStringLiteral("(no %1)").arg(QString::fromLatin1(name));
}

// Types into a line edit, clicked first as a user would.
void typeInto(QLineEdit* edit, const QString& text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    testsupport::typeKeys(edit, text);
}

// Picks an entry of a drop-down list with the keyboard: Home, then Down until it shows.
bool pickWithKeys(QComboBox* box, const QString& entry) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != entry; ++i) {
        QTest::keyClick(box, Qt::Key_Down);
    }
    return box->currentText() == entry;
}

class Driver : public QObject {
public:
    Driver(QString number, QString courier, QString remark, QObject* parent)
        : QObject(parent),
          number_(std::move(number)),
          courier_(std::move(courier)),
          remark_(std::move(remark)) {
        clock_.start();
        connect(&tick_, &QTimer::timeout, this, &Driver::onTick);
        tick_.start(50);
    }

private:
    enum class Step { WaitForButton, WaitForAnswer, WaitForExitQuestion, Done };

    QWidget* mainWindow() const {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("Form1") && widget->isVisible()) {
                return widget;
            }
        }
        return nullptr;
    }

    [[noreturn]] void fail(const QString& why) {
        QWidget* form = mainWindow();
        say(QStringLiteral("drive-query failed: ") + why);
        say(QStringLiteral("message: ") + textOf(form, "S1_Panel2"));
        say(QStringLiteral("status: ") + textOf(form, "Label3"));
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            say(QStringLiteral("open box: ") + box->text());
        }
        std::_Exit(3);
    }

    void onTick() {
        if (acting_ || step_ == Step::Done) {
            return;  // a tick inside the program's own waiting
        }
        acting_ = true;
        act();
        acting_ = false;
        if (step_ != Step::Done && clock_.elapsed() > kDeadlineMs) {
            fail(QStringLiteral("nothing happened for a minute"));
        }
    }

    void act() {
        QWidget* form = mainWindow();
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        switch (step_) {
            case Step::WaitForButton: {
                if (box) {
                    fail(QStringLiteral("a message box before the query"));
                }
                auto* command1 = control<QPushButton>(form, "Command1");
                if (!command1 || !command1->isEnabled()) {
                    return;
                }
                auto* text1 = control<QComboBox>(form, "Text1");
                auto* combo1 = control<QComboBox>(form, "Combo1");
                auto* text2 = control<QLineEdit>(form, "Text2");
                if (!text1 || !text1->lineEdit() || !combo1 || !text2) {
                    fail(QStringLiteral("the query fields are missing"));
                }
                typeInto(text1->lineEdit(), number_);
                if (!pickWithKeys(combo1, courier_)) {
                    fail(QStringLiteral("no courier ") + courier_);
                }
                typeInto(text2, remark_);
                step_ = Step::WaitForAnswer;
                QTest::mouseClick(command1, Qt::LeftButton);
                return;
            }
            case Step::WaitForAnswer: {
                if (box) {
                    fail(QStringLiteral("a message box during the query"));
                }
                auto* command1 = control<QPushButton>(form, "Command1");
                if (!command1 || !command1->isEnabled() || textOf(form, "Label3") == kNotQueried) {
                    return;
                }
                say(QStringLiteral("desktop entry: ") + QGuiApplication::desktopFileName());
                say(QStringLiteral("status: ") + textOf(form, "Label3"));
                say(QStringLiteral("message: ") + textOf(form, "S1_Panel2"));
                step_ = Step::WaitForExitQuestion;
                // Queued: the close waits in the exit question, and the next ticks answer it.
                QMetaObject::invokeMethod(form, &QWidget::close, Qt::QueuedConnection);
                return;
            }
            case Step::WaitForExitQuestion: {
                if (!box) {
                    return;
                }
                QAbstractButton* no = box->button(QMessageBox::No);
                if (!no) {
                    fail(QStringLiteral("the exit question has no 否"));
                }
                say(QStringLiteral("exit question: ") +
                    box->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
                step_ = Step::Done;
                QTest::mouseClick(no, Qt::LeftButton);
                return;
            }
            case Step::Done:
                return;
        }
    }

    const QString number_;
    const QString courier_;
    const QString remark_;
    QTimer tick_;
    QElapsedTimer clock_;
    Step step_ = Step::WaitForButton;
    bool acting_ = false;
};

void startDriving() {
    const QString number = qEnvironmentVariable("TRACKORO_DRIVE_NUMBER");
    if (number.isEmpty()) {
        return;
    }
    // Started from the event loop, once the application is fully set up.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [number] {
            if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
                new Driver(number, qEnvironmentVariable("TRACKORO_DRIVE_COURIER"),
                           qEnvironmentVariable("TRACKORO_DRIVE_REMARK"),
                           QCoreApplication::instance());
            }
        },
        Qt::QueuedConnection);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriving)
