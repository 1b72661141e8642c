#pragma once

class QCoreApplication;

namespace platform {

// Qt's own texts (the buttons of message boxes, the context menus of text boxes, Qt's
// dialogs) in Simplified Chinese, whatever the system's language: Qt's own translation of
// them, built into the program, is installed on `application`. Call it before the first
// window is made. Returns false when the translation could not be loaded (Qt's texts then
// stay English; the program goes on).
bool installQtTranslation(QCoreApplication& application);

}  // namespace platform
