#include "platform/save_dialog.h"

#include <QFileDialog>

namespace platform {

std::optional<QString> QtSaveDialog::askSavePath(QWidget* parent, const QString& filter) {
    // No initial name and no default suffix: the path is used exactly as the user typed it.
    // The dialog asks before an existing file is replaced.
    const QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ScriptedSaveDialog::askSavePath(QWidget*, const QString& filter) {
    filters_.append(filter);
    if (script_.isEmpty()) {
        return std::nullopt;
    }
    return script_.takeFirst();
}

}  // namespace platform
