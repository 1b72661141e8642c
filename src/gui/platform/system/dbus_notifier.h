#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QThread>
#include <optional>

#include "platform/system/notifier.h"

namespace platform {

// Notifications through the freedesktop notification service on the session bus. The bus
// is reached on a thread of its own when the first notice is due, so the caller never
// waits; with no bus address at all nothing is tried. Text is escaped where the service
// reads markup.
class DBusNotifier : public Notifier {
    Q_OBJECT
public:
    // `busAddress`: the session bus; empty for none.
    explicit DBusNotifier(QString busAddress, QObject* parent = nullptr);
    ~DBusNotifier() override;

    // The session bus of this process's environment: DBUS_SESSION_BUS_ADDRESS, else the
    // bus socket in XDG_RUNTIME_DIR when there is one; empty when there is none.
    static QString sessionBusAddress();

    void notify(const base::Notice& notice) override;
    void setWatching(bool) override {}

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    struct Shown {
        uint id = 0;
        bool pending = false;              // a notice of this key is on its way
        std::optional<base::Notice> next;  // due once the one on its way has its id
    };

    void connectInBackground();
    void onConnected(bool ok, bool bodyMarkup);
    void send(const base::Notice& notice);
    void onSent(const QString& key, uint id);

    QString address_;
    QString connectionName_;
    QThread* connector_ = nullptr;
    bool ready_ = false;
    bool bodyMarkup_ = true;
    QList<base::Notice> waiting_;  // notices due before the bus was reached
    QHash<QString, Shown> shown_;  // by key
};

}  // namespace platform
