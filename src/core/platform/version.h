#pragma once

#include <QString>

namespace platform {

// The program's version numbers. The file version is 3.2.0.118; its third field is shown
// nowhere, the revision is. The update check compares major and minor with the server's
// label ("V3.2").
struct Version {
    static constexpr int major = 3;
    static constexpr int minor = 2;
    static constexpr int build = 0;
    static constexpr int revision = 118;
};

// "3.2.118": major.minor.revision, as the status bar, the about window and --version show it.
inline QString versionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(Version::major)
        .arg(Version::minor)
        .arg(Version::revision);
}

}  // namespace platform
