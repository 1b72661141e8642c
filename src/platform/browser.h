#pragma once

#include <QList>
#include <QUrl>

namespace platform {

// Hands an address to the system's registered handler (the web browser, the mail program),
// without waiting and without a shell.
class BrowserLauncher {
public:
    virtual ~BrowserLauncher() = default;
    virtual void open(const QUrl& url) = 0;
};

class DesktopBrowserLauncher : public BrowserLauncher {
public:
    void open(const QUrl& url) override;
};

class RecordingBrowserLauncher : public BrowserLauncher {
public:
    void open(const QUrl& url) override { opened_.append(url); }
    const QList<QUrl>& opened() const { return opened_; }
    void clear() { opened_.clear(); }

private:
    QList<QUrl> opened_;
};

}  // namespace platform
