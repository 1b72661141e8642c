#pragma once

namespace platform {

// The program's version numbers. The file version is 3.2.0.118; the third field of the
// build is not shown anywhere, the revision is.
struct Version {
    static constexpr int major = 3;
    static constexpr int minor = 2;
    static constexpr int build = 0;
    static constexpr int revision = 118;
};

// "3.2.118": major.minor.revision, as the status bar and the about window show it.
inline constexpr const char* kVersionText = "3.2.118";

// The label the update check compares with the update server's answer.
inline constexpr const char* kVersionLabel = "V3.2";

}  // namespace platform
