#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QCloseEvent;

namespace platform {

class Timer;

// While a blocking request waits, the window keeps painting but no handler of the program
// may run. Mouse and keyboard input are held back by the waiting event loop itself
// (ExcludeUserInputEvents); the gate holds back the two things that loop still delivers:
// the program's timer ticks and requests to close a window. Both are delivered once the
// gate opens again: a tick that fell due comes once, a close request is repeated.
class UiGate : public QObject {
    Q_OBJECT
public:
    explicit UiGate(QObject* parent = nullptr);

    bool isClosed() const { return depth_ > 0; }

    // RAII: closes the gate for the lifetime of the object. Holds nest.
    class Hold {
    public:
        explicit Hold(UiGate* gate);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        QPointer<UiGate> gate_;
    };

    // Called by a timer whose tick fell due while the gate was closed.
    void deferTick(Timer* timer);

    // Called from a window's closeEvent: when the gate is closed the event is ignored and
    // the close is asked again once the gate opens. Returns true when it was deferred.
    bool deferClose(QWidget* window, QCloseEvent* event);

private:
    void open();

    int depth_ = 0;
    QList<QPointer<Timer>> pendingTicks_;
    QList<QPointer<QWidget>> pendingCloses_;
};

}  // namespace platform
