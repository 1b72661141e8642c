#pragma once

#include "platform/controls/clock.h"
#include "platform/controls/gate.h"
#include "platform/environment.h"
#include "platform/net/http_transport.h"
#include "platform/system/browser.h"
#include "platform/system/media_player.h"
#include "platform/system/message_boxes.h"
#include "platform/system/notifier.h"
#include "platform/system/save_dialog.h"

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
    env.notifier = world.notifier.get();
    env.programFolder = programFolder;
    return env;
}

// The real outside world of the windows: the network through Qt Network, the desktop's
// audio (its back end from `programFolder`), Qt's message boxes and save dialog, the
// desktop's browser, the system clock, the desktop's notifications.
struct DesktopPlatform {
    explicit DesktopPlatform(const QString& programFolder) : player(programFolder) {}

    QtHttpTransport network;
    UiGate gate;
    QtMessageBoxes boxes;
    QtSaveDialog saveDialog;
    DesktopBrowserLauncher browser;
    DesktopMediaPlayer player;
    SystemClock clock;
    std::unique_ptr<Notifier> notifier = makeDesktopNotifier();
};

}  // namespace platform
