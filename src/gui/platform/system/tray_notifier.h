#pragma once

#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/system/notifier.h"

namespace platform {

// Notifications as balloons of an icon in the system tray (Windows). The icon is there only
// while the program watches a parcel by itself or a balloon is showing; a new balloon takes
// the place of the one shown, and the icon's tool tip names the latest. A click on the balloon
// or the icon brings the program forward.
class TrayNotifier : public Notifier {
    Q_OBJECT
public:
    // A balloon shows for `showMs` milliseconds.
    explicit TrayNotifier(int showMs = 10000, QObject* parent = nullptr);

    void notify(const base::Notice& notice) override;
    void setWatching(bool watching) override;
    bool iconShown() const { return tray_.isVisible(); }

private:
    void updateIcon();

    QSystemTrayIcon tray_;
    QTimer showing_;
    bool watching_ = false;
};

}  // namespace platform
