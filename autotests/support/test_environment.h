#pragma once

#include <QTemporaryDir>

#include "platform/platforms.h"
#include "support/stand_ins.h"

namespace testsupport {

// The outside world of the windows, as tests see it: scripted boxes and dialogs, a browser
// and a media player that record what they were asked, a settable clock, a program folder
// in a fresh temporary directory and short network limits.
class TestEnvironment : public ScriptedPlatform {
public:
    TestEnvironment();

    QTemporaryDir folder;
    platform::Environment env;

    QString programFile(const QString& name) const { return env.programFile(name); }
};

}  // namespace testsupport
