#include "platform/controls/timer.h"

#include <QPointer>

#include "platform/controls/gate.h"

namespace platform {

Timer::Timer(const QString& name, int intervalMs, bool enabled, UiGate* gate, QObject* parent)
    : QObject(parent), gate_(gate) {
    setObjectName(name);
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timer::onTimeout);
    if (enabled) {
        timer_.start();
    }
}

void Timer::setEnabled(bool enabled) {
    // Enabling an enabled timer changes nothing (its rhythm is kept).
    if (enabled == timer_.isActive()) {
        return;
    }
    if (enabled) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

void Timer::setInterval(int ms) {
    timer_.setInterval(ms);
}

void Timer::onTimeout() {
    if (gate_ && gate_->isClosed()) {
        gate_->deferTick(this);
        return;
    }
    fire();
}

void Timer::deliverDeferredTick() {
    if (!timer_.isActive()) {
        return;
    }
    if (gate_ && gate_->isClosed()) {
        gate_->deferTick(this);
        return;
    }
    fire();
}

void Timer::fire() {
    if (ticking_) {
        return;
    }
    ticking_ = true;
    QPointer<Timer> self(this);
    emit tick();
    if (self) {
        ticking_ = false;
    }
}

}  // namespace platform
