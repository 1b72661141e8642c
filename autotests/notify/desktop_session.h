#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A desktop of the test's own: an X server (Xvfb), a session bus and the dunst
// notification server drawing on that X server. `history` reads back what dunst received.
class DesktopSession {
public:
    ~DesktopSession();
    // `iconDir`: where dunst looks for icons by name.
    bool start(const QString& iconDir);
    QString error() const { return error_; }
    QString busAddress() const { return busAddress_; }
    QString display() const { return display_; }

    // Runs dunstctl with `arguments` on this session; its output.
    QByteArray dunstctl(const QStringList& arguments) const;
    // How many notices dunst shows or holds back right now.
    int showing() const;
    // Closes every notice shown, so that all received are in the history.
    void closeAll() const;
    // The notices in dunst's history, newest first: each an object of the fields dunst keeps
    // (appname, summary, body, message, icon_path, id, …) as plain values.
    QJsonArray history() const;

private:
    QProcessEnvironment environment() const;
    bool startXvfb();
    bool startBus();
    bool startDunst(const QString& iconDir);

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> xvfb_;
    std::unique_ptr<QProcess> bus_;
    std::unique_ptr<QProcess> dunst_;
    QString display_;
    QString busAddress_;
    QString error_;
};

}  // namespace testsupport
