#include "base/addresses.h"

namespace base {

Addresses Addresses::defaults() {
    Addresses a;
    a.tracking = QUrl(QStringLiteral("http://api.trackoro.example/"));
    a.update = QUrl(QStringLiteral("http://update.trackoro.example/jc.txt"));
    a.branchSite = QUrl(QStringLiteral("http://branch.trackoro.example"));
    a.forum = QUrl(QStringLiteral("http://bbs.velmora.example/"));
    a.website = QUrl(QStringLiteral("http://www.velmora.example/"));
    return a;
}

}  // namespace base
