#pragma once

#include <QString>
#include <QUrl>
#include <chrono>

#include "base/addresses.h"
#include "platform/net/http_fetch.h"

namespace platform {

class BrowserLauncher;
class Clock;
class MediaPlayer;
class MessageBoxes;
class Notifier;
class SaveDialog;
class UiGate;

struct Limits {
    std::chrono::milliseconds trackingTotal{60000};
    std::chrono::milliseconds updateTotal{15000};
    std::chrono::milliseconds branchTotal{30000};
    qint64 maxBodyBytes = kMaxBodyBytes;
};

// Everything the windows need from the outside world, passed in (no globals): the real
// things in the program, fakes and local services in tests.
struct Environment {
    HttpTransport* network = nullptr;
    UiGate* gate = nullptr;
    MessageBoxes* boxes = nullptr;
    SaveDialog* saveDialog = nullptr;
    BrowserLauncher* browser = nullptr;
    MediaPlayer* player = nullptr;  // the main window's media player
    Clock* clock = nullptr;
    Notifier* notifier = nullptr;  // the desktop's notifications
    QString programFolder;         // holds wlnum.ini, skinh.she, zeluna.mp3, ts.mp3
    base::Addresses addresses = base::Addresses::defaults();
    Limits limits;

    // A file in the program folder, joined with exactly one separator.
    QString programFile(const QString& name) const;
};

}  // namespace platform
