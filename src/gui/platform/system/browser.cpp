#include "platform/system/browser.h"

#include <QDesktopServices>

namespace platform {

void DesktopBrowserLauncher::open(const QUrl& url) {
    // The outcome is not examined: a scheme without a handler is the system's business.
    QDesktopServices::openUrl(url);
}

}  // namespace platform
