#pragma once

#include <QString>

namespace base {

// The program's version numbers, from the one version the build names (CMake's
// project(VERSION major.minor.revision)). The file version is major.minor.0.revision
// (3.2.0.118); its third field is shown nowhere, the revision is. The update check compares
// major and minor with the server's label ("V3.2").
struct Version {
    static constexpr int major = TRACKORO_VERSION_MAJOR;
    static constexpr int minor = TRACKORO_VERSION_MINOR;
    static constexpr int build = 0;
    static constexpr int revision = TRACKORO_VERSION_REVISION;
};

// "3.2.118": major.minor.revision, as the status bar, the about window and --version show it.
inline QString versionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(Version::major)
        .arg(Version::minor)
        .arg(Version::revision);
}

}  // namespace base
