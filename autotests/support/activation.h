#pragma once

#include <QTest>
#include <QWidget>

namespace testsupport {

// Makes `window` the active window, as the window manager does with a window that opens
// and a click on a window does, and waits until it is. Off-screen every shown window is
// active at once; on an X server without a window manager (Xvfb) only one that asks.
inline bool activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

}  // namespace testsupport
