#pragma once

#include <QDateTime>

namespace platform {

// The local clock. Tests set the time with SettableClock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class SettableClock : public Clock {
public:
    explicit SettableClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(12, 0)))
        : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& time) { now_ = time; }
    void setTime(const QTime& time) { now_.setTime(time); }
    void advance(qint64 seconds) { now_ = now_.addSecs(seconds); }

private:
    QDateTime now_;
};

}  // namespace platform
