#include "platform/system/dbus_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");
// How long the bus thread waits for the service to say what it can do, and a notice for
// its id.
constexpr int kReplyTimeoutMs = 10000;

}  // namespace

std::unique_ptr<Notifier> makeDesktopNotifier() {
    return std::make_unique<DBusNotifier>(DBusNotifier::sessionBusAddress());
}

DBusNotifier::DBusNotifier(QString busAddress, QObject* parent)
    : Notifier(parent),
      address_(std::move(busAddress)),
      connectionName_(QStringLiteral("trackoro-notifier-%1").arg(quintptr(this), 0, 16)) {}

DBusNotifier::~DBusNotifier() {
    if (connector_) {
        connector_->wait();
        delete connector_;
    }
    QDBusConnection::disconnectFromBus(connectionName_);
}

QString DBusNotifier::sessionBusAddress() {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty()) {
        return address;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (!runtime.isEmpty() && QFileInfo::exists(socket)) {
        return QStringLiteral("unix:path=") + socket;
    }
    return {};
}

void DBusNotifier::notify(const base::Notice& notice) {
    if (address_.isEmpty()) {
        return;
    }
    if (ready_) {
        send(notice);
        return;
    }
    waiting_.append(notice);
    connectInBackground();
}

// Reaching the bus waits for its answers, so it is done on a thread of its own; the window's
// thread learns the outcome from a queued call.
void DBusNotifier::connectInBackground() {
    if (connector_) {
        return;
    }
    const QString address = address_;
    const QString name = connectionName_;
    connector_ = QThread::create([this, address, name] {
        QDBusConnection bus = QDBusConnection::connectToBus(address, name);
        bool ok = bus.isConnected();
        bool markup = true;
        if (ok) {
            bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(uint, QString)));
            bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                        SLOT(onNotificationClosed(uint, uint)));
            const QDBusMessage capabilities =
                bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                        QStringLiteral("GetCapabilities")),
                         QDBus::Block, kReplyTimeoutMs);
            ok = capabilities.type() == QDBusMessage::ReplyMessage;
            markup = capabilities.arguments().value(0).toStringList().contains(
                QStringLiteral("body-markup"));
        }
        QMetaObject::invokeMethod(
            this, [this, ok, markup] { onConnected(ok, markup); }, Qt::QueuedConnection);
    });
    connector_->start();
}

void DBusNotifier::onConnected(bool ok, bool bodyMarkup) {
    connector_->wait();
    delete connector_;
    connector_ = nullptr;
    const QList<base::Notice> due = std::exchange(waiting_, {});
    if (!ok) {
        // No service now: these notices are dropped, and the next one tries again.
        QDBusConnection::disconnectFromBus(connectionName_);
        return;
    }
    ready_ = true;
    bodyMarkup_ = bodyMarkup;
    for (const base::Notice& notice : due) {
        send(notice);
    }
}

void DBusNotifier::send(const base::Notice& notice) {
    Shown& shown = shown_[notice.key];
    if (shown.pending) {
        // The notice on its way has no id yet to be replaced by.
        shown.next = notice;
        return;
    }
    shown.pending = true;
    // The body is read as markup where the service can: its text shows as it is.
    const QString body = bodyMarkup_ ? notice.body.toHtmlEscaped() : notice.body;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Trackoro") << shown.id << QStringLiteral("trackoro") << notice.summary
         << body << QStringList{kDefaultAction, QStringLiteral("打开")}
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("trackoro")}}
         << qint32(-1);
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection(connectionName_).asyncCall(call, kReplyTimeoutMs), this);
    const QString key = notice.key;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                finished->deleteLater();
                onSent(key, reply.isError() ? 0 : reply.value());
            });
}

void DBusNotifier::onSent(const QString& key, uint id) {
    const auto shown = shown_.find(key);
    if (shown == shown_.end()) {
        return;
    }
    shown->pending = false;
    shown->id = id;
    if (shown->next) {
        const base::Notice next = *std::exchange(shown->next, std::nullopt);
        send(next);
    }
}

void DBusNotifier::onActionInvoked(uint id, const QString& actionKey) {
    if (actionKey != kDefaultAction || id == 0) {
        return;
    }
    for (const Shown& shown : std::as_const(shown_)) {
        if (shown.id == id) {
            emit activated();
            return;
        }
    }
}

void DBusNotifier::onNotificationClosed(uint id, uint) {
    for (Shown& shown : shown_) {
        if (shown.id == id) {
            shown.id = 0;  // the next notice of its key is a new one
        }
    }
}

}  // namespace platform
