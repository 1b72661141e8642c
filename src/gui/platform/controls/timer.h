#pragma once

#include <QObject>
#include <QTimer>

namespace platform {

class UiGate;

// A timer whose tick handler is never entered again while its previous tick is still
// being handled, message boxes and blocking requests included. While a blocking request
// of another handler holds the gate, a tick that falls due waits and comes once afterwards.
class Timer : public QObject {
    Q_OBJECT
public:
    Timer(const QString& name, int intervalMs, bool enabled, UiGate* gate, QObject* parent);

    bool isEnabled() const { return timer_.isActive(); }
    void setEnabled(bool enabled);
    int interval() const { return timer_.interval(); }
    void setInterval(int ms);

    // True while the tick handler runs.
    bool isTicking() const { return ticking_; }

    // Runs the tick now, as the timer would (used by tests that drive time themselves,
    // and by the gate for a deferred tick). Does nothing while a tick is being handled.
    void fire();

    // Delivered by the gate once it opens: the tick that fell due while it was closed.
    void deliverDeferredTick();

signals:
    // The tick handler. Connect exactly one handler.
    void tick();

private:
    void onTimeout();

    QTimer timer_;
    UiGate* gate_;
    bool ticking_ = false;
};

}  // namespace platform
