#pragma once

#include <QObject>
#include <memory>

#include "base/notice.h"

namespace platform {

// The desktop's notifications. Showing one never waits: with no notification service the
// notice is dropped without a word.
class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Shows `notice` and returns at once; it takes the place of the last notice with the
    // same key when that one is still shown.
    virtual void notify(const base::Notice& notice) = 0;
    // Whether the program watches a parcel by itself (a timed or a loop query is armed).
    virtual void setWatching(bool watching) = 0;

signals:
    // The user clicked one of the program's notices.
    void activated();
};

// The notifications of the desktop the program runs on.
std::unique_ptr<Notifier> makeDesktopNotifier();

}  // namespace platform
