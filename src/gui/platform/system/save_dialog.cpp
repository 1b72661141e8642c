#include "platform/system/save_dialog.h"

#include <QFileDialog>

namespace platform {

std::optional<QString> QtSaveDialog::askSavePath(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("datasave"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    // No initial name and no default suffix: the path is used exactly as the user typed it.
    // The dialog asks before an existing file is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace platform
