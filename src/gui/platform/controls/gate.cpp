#include "platform/controls/gate.h"

#include <QCloseEvent>
#include <QTimer>

#include "platform/controls/timer.h"

namespace platform {

UiGate::UiGate(QObject* parent) : QObject(parent) {}

UiGate::Hold::Hold(UiGate* gate) : gate_(gate) {
    if (gate_) {
        ++gate_->depth_;
    }
}

UiGate::Hold::~Hold() {
    if (gate_) {
        gate_->open();
    }
}

void UiGate::open() {
    if (--depth_ > 0) {
        return;
    }
    // What was held back is delivered from the event loop, after the handler that held
    // the gate has returned, never inside it.
    const auto ticks = std::exchange(pendingTicks_, {});
    for (const QPointer<Timer>& timer : ticks) {
        QTimer::singleShot(0, timer, [timer] {
            if (timer) {
                timer->deliverDeferredTick();
            }
        });
    }
    const auto closes = std::exchange(pendingCloses_, {});
    for (const QPointer<QWidget>& window : closes) {
        QTimer::singleShot(0, window, [window] {
            if (window) {
                window->close();
            }
        });
    }
}

void UiGate::deferTick(Timer* timer) {
    for (const QPointer<Timer>& pending : pendingTicks_) {
        if (pending == timer) {
            return;
        }
    }
    pendingTicks_.append(timer);
}

bool UiGate::deferClose(QWidget* window, QCloseEvent* event) {
    if (!isClosed()) {
        return false;
    }
    event->ignore();
    for (const QPointer<QWidget>& pending : pendingCloses_) {
        if (pending == window) {
            return true;
        }
    }
    pendingCloses_.append(window);
    return true;
}

}  // namespace platform
