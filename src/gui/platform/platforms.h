#pragma once

#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/gate.h"
#include "platform/http_transport.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "platform/save_dialog.h"

namespace platform {

// An environment that uses the services of `world` (a DesktopPlatform, or a stand-in world
// of the tests), with the given program folder and the default addresses and limits.
template <typename World>
Environment environmentOf(World& world, const QString& programFolder) {
    Environment env;
    env.network = &world.network;
    env.gate = &world.gate;
    env.boxes = &world.boxes;
    env.saveDialog = &world.saveDialog;
    env.browser = &world.browser;
    env.player = &world.player;
    env.clock = &world.clock;
    env.programFolder = programFolder;
    return env;
}

// The real outside world of the windows: the network through Qt Network and sound through
// Qt Multimedia, both in modules loaded from `moduleFolder` on first use (the program's
// folder); Qt's message boxes and save dialog, the desktop's browser, the system clock.
struct DesktopPlatform {
    explicit DesktopPlatform(const QString& moduleFolder)
        : network(moduleFolder), player(moduleFolder) {}

    ModuleHttpTransport network;
    UiGate gate;
    QtMessageBoxes boxes;
    QtSaveDialog saveDialog;
    DesktopBrowserLauncher browser;
    QtMediaPlayer player;
    SystemClock clock;
};

}  // namespace platform
