#include "platform/controls/link.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace platform {

namespace {

class LinkActivation : public QObject {
public:
    LinkActivation(QWidget* widget, std::function<void()> activate)
        : QObject(widget), activate_(std::move(activate)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
                break;
            case QEvent::MouseButtonRelease: {
                // A click: pressed and released over the widget; dragging off it is none.
                auto* mouse = static_cast<QMouseEvent*>(event);
                const bool click = pressed_ && mouse->button() == Qt::LeftButton &&
                                   widget->rect().contains(mouse->position().toPoint());
                pressed_ = false;
                if (click) {
                    activate_();
                    return true;
                }
                break;
            }
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                    activate_();
                    return true;
                }
                break;
            }
            case QEvent::FocusIn:
            case QEvent::FocusOut: {
                QFont font = widget->font();
                font.setUnderline(event->type() == QEvent::FocusIn);
                widget->setFont(font);
                break;
            }
            default:
                break;
        }
        return false;
    }

private:
    std::function<void()> activate_;
    bool pressed_ = false;
};

}  // namespace

void makeLink(QWidget* widget, std::function<void()> activate) {
    widget->setCursor(Qt::PointingHandCursor);
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(new LinkActivation(widget, std::move(activate)));
}

}  // namespace platform
