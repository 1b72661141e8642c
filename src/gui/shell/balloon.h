#pragma once

#include <QFrame>
#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QTimer;

namespace shell {

// The tip window of a balloon: a small frameless window with a bold title over a plain
// body text.
class BalloonTip : public QFrame {
    Q_OBJECT
public:
    explicit BalloonTip(QWidget* owner);

    QString title() const;
    QString text() const;
    void setTitle(const QString& title);
    void setText(const QString& text);

    // Shows the tip near a point on the screen, kept on that screen.
    void showAt(const QPoint& globalPos);

private:
    QLabel* title_;
    QLabel* text_;
};

// A balloon tip attached to a control: once made, it appears whenever the mouse rests over
// the control (over the viewport of a scrolling control) and disappears when the mouse
// leaves it. Only one tip window exists at a time: `Create` replaces it.
class Class1 : public QObject {
    Q_OBJECT
public:
    explicit Class1(QObject* parent = nullptr);
    ~Class1() override;

    QWidget* ParentControl() const { return parentControl_; }
    // The control the balloon belongs to; takes effect at the next `Create`.
    void setParentControl(QWidget* control);
    // Store the title / text and apply it to the current tip window, if there is one.
    // A "\r\n" in the text is a line break.
    void setToolTipTitle(const QString& title);
    void setToolTipText(const QString& text);

    // Destroys the current tip window and makes a new one for the stored control, title and
    // text. Without a control nothing is made.
    void Create();

    BalloonTip* tipWindow() const { return tip_; }
    QString title() const { return title_; }
    QString text() const { return text_; }

    // How long a shown tip stays up while the mouse rests.
    static constexpr int kAutoPopMs = 10000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The widget whose mouse events show and hide the tip.
    static QWidget* hoverTarget(QWidget* control);
    void watch(QWidget* control);
    void hideTip();

    QPointer<QWidget> parentControl_;
    QPointer<QWidget> watched_;
    QPointer<BalloonTip> tip_;
    QString title_;
    QString text_;
    QTimer* autoPop_;
};

}  // namespace shell
