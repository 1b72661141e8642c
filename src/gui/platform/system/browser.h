#pragma once

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

}  // namespace platform
