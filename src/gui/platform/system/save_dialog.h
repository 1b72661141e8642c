#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace platform {

// The save dialog. Returns the path the user confirmed, used exactly as entered, or
// nothing when the user cancelled. Choosing an existing file asks before replacing it.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    virtual std::optional<QString> askSavePath(QWidget* parent, const QString& filter) = 0;
};

class QtSaveDialog : public SaveDialog {
public:
    std::optional<QString> askSavePath(QWidget* parent, const QString& filter) override;
};

}  // namespace platform
