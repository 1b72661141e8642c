#include "test_environment.h"

namespace testsupport {

TestEnvironment::TestEnvironment() : env(platform::environmentOf(*this, folder.path())) {
    // Nothing answers on these ports: a test that needs a service sets its address.
    env.addresses.tracking = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    env.addresses.update = QUrl(QStringLiteral("http://127.0.0.1:9/jc.txt"));
    env.addresses.branchSite = QUrl(QStringLiteral("http://127.0.0.1:9"));
    env.limits.trackingTotal = std::chrono::milliseconds(5000);
    env.limits.updateTotal = std::chrono::milliseconds(5000);
    env.limits.branchTotal = std::chrono::milliseconds(5000);
}

}  // namespace testsupport
