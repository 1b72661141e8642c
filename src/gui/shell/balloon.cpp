#include "shell/balloon.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "base/text.h"
#include "platform/controls/controls.h"

namespace shell {

namespace {

// What the balloon shows at most: a line of the list is normally a sentence or two.
constexpr qsizetype kShownChars = 2000;

// A carriage return would show as a stray glyph in a label; CR LF is one line break.
QString displayText(const QString& text) {
    QString shown = base::shownText(text, kShownChars);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// BalloonTip

BalloonTip::BalloonTip(QWidget* owner)
    : QFrame(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("BalloonTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);

    title_ = platform::makeLabel(QStringLiteral("BalloonTitle"), QString(), this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    text_ = platform::makeLabel(QStringLiteral("BalloonText"), QString(), this);
    for (QLabel* label : {title_, text_}) {
        label->setForegroundRole(QPalette::ToolTipText);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(title_);
    layout->addWidget(text_);
    hide();
}

QString BalloonTip::title() const {
    return title_->text();
}

QString BalloonTip::text() const {
    return text_->text();
}

void BalloonTip::setTitle(const QString& title) {
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
    adjustSize();
}

void BalloonTip::setText(const QString& text) {
    text_->setText(displayText(text));
    adjustSize();
}

void BalloonTip::showAt(const QPoint& globalPos) {
    adjustSize();
    QPoint pos = globalPos + QPoint(2, 20);
    if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        if (pos.x() + width() > area.right()) {
            pos.setX(qMax(area.left(), area.right() - width()));
        }
        if (pos.y() + height() > area.bottom()) {
            pos.setY(qMax(area.top(), globalPos.y() - height() - 4));
        }
    }
    move(pos);
    show();
}

// ---------------------------------------------------------------------------------------
// Class1

Class1::Class1(QObject* parent) : QObject(parent), autoPop_(new QTimer(this)) {
    autoPop_->setSingleShot(true);
    autoPop_->setInterval(kAutoPopMs);
    connect(autoPop_, &QTimer::timeout, this, &Class1::hideTip);
}

Class1::~Class1() {
    if (!watched_.isNull()) {
        watched_->removeEventFilter(this);
    }
    // The tip belongs to its control and goes with it; it only must not outlive its
    // balloon on screen.
    delete tip_.data();
}

void Class1::setParentControl(QWidget* control) {
    parentControl_ = control;
}

void Class1::setToolTipTitle(const QString& title) {
    title_ = title;
    if (!tip_.isNull()) {
        tip_->setTitle(title_);
    }
}

void Class1::setToolTipText(const QString& text) {
    text_ = text;
    if (!tip_.isNull()) {
        tip_->setText(text_);
    }
}

void Class1::Create() {
    autoPop_->stop();
    delete tip_.data();
    tip_ = nullptr;
    if (parentControl_.isNull()) {
        return;
    }
    tip_ = new BalloonTip(parentControl_);
    tip_->setText(text_);
    tip_->setTitle(title_);
    watch(hoverTarget(parentControl_));
}

QWidget* Class1::hoverTarget(QWidget* control) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        return area->viewport();
    }
    return control;
}

void Class1::watch(QWidget* control) {
    if (watched_ == control) {
        return;
    }
    if (!watched_.isNull()) {
        watched_->removeEventFilter(this);
    }
    watched_ = control;
    if (!watched_.isNull()) {
        watched_->installEventFilter(this);
    }
}

void Class1::hideTip() {
    autoPop_->stop();
    if (!tip_.isNull()) {
        tip_->hide();
    }
}

bool Class1::eventFilter(QObject* watched, QEvent* event) {
    if (watched != watched_ || tip_.isNull()) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ToolTip: {
            // The mouse rests over the control: the balloon replaces the control's own tips.
            auto* help = static_cast<QHelpEvent*>(event);
            tip_->showAt(help->globalPos());
            autoPop_->start();
            return true;
        }
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Hide:
            hideTip();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace shell
