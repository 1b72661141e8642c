#pragma once

#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <memory>

#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/gate.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "platform/save_dialog.h"

namespace testsupport {

// The outside world of the windows, as tests see it: scripted boxes and dialogs, a browser
// and a media player that record what they were asked, a settable clock, a program folder
// in a fresh temporary directory and short network limits.
class TestEnvironment {
public:
    TestEnvironment();

    platform::Environment env;

    QNetworkAccessManager network;
    platform::UiGate gate;
    platform::ScriptedMessageBoxes boxes;
    platform::ScriptedSaveDialog saveDialog;
    platform::RecordingBrowserLauncher browser;
    platform::RecordingMediaPlayer player;
    platform::SettableClock clock;
    QTemporaryDir folder;

    QString programFile(const QString& name) const { return env.programFile(name); }
};

}  // namespace testsupport
