#include "platform/system/tray_notifier.h"

#include <QApplication>
#include <QStyle>

namespace platform {

std::unique_ptr<Notifier> makeDesktopNotifier() {
    return std::make_unique<TrayNotifier>();
}

TrayNotifier::TrayNotifier(int showMs, QObject* parent) : Notifier(parent), tray_(this) {
    tray_.setToolTip(QStringLiteral("Trackoro"));
    showing_.setSingleShot(true);
    showing_.setInterval(showMs);
    connect(&showing_, &QTimer::timeout, this, &TrayNotifier::updateIcon);
    connect(&tray_, &QSystemTrayIcon::messageClicked, this, &Notifier::activated);
    connect(&tray_, &QSystemTrayIcon::activated, this, [this] { emit activated(); });
    // The program's icon; a standard one where it has none.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
    }
    tray_.setIcon(icon);
}

void TrayNotifier::notify(const base::Notice& notice) {
    // The icon's tool tip keeps the latest notice after its balloon has gone.
    tray_.setToolTip(QStringLiteral("Trackoro\n") + notice.summary + u'\n' + notice.body);
    showing_.start();
    updateIcon();
    tray_.showMessage(notice.summary, notice.body, QSystemTrayIcon::Information,
                      showing_.interval());
}

void TrayNotifier::setWatching(bool watching) {
    watching_ = watching;
    updateIcon();
}

void TrayNotifier::updateIcon() {
    tray_.setVisible(watching_ || showing_.isActive());
}

}  // namespace platform
