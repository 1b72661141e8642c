#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace testsupport {

// Watches the event loop while it lives: a ticker every 10 ms notes the longest time between
// two of its ticks, the longest the loop stood still.
class StallWatch {
public:
    StallWatch() {
        clock_.start();
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            longestStallMs_ = std::max(longestStallMs_, clock_.elapsed() - lastTickMs_);
            lastTickMs_ = clock_.elapsed();
        });
        ticker_.start(10);
    }

    // Milliseconds since the watch began.
    qint64 elapsedMs() const { return clock_.elapsed(); }
    qint64 longestStallMs() const { return longestStallMs_; }

private:
    QElapsedTimer clock_;
    QTimer ticker_;
    qint64 lastTickMs_ = 0;
    qint64 longestStallMs_ = 0;
};

}  // namespace testsupport
