#pragma once

#include <QList>
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

// For tests: answers from a script (nothing scripted: cancelled) and records the filters.
class ScriptedSaveDialog : public SaveDialog {
public:
    std::optional<QString> askSavePath(QWidget* parent, const QString& filter) override;
    void answer(const QString& path) { script_.append(path); }
    void cancelNext() { script_.append(std::nullopt); }
    const QStringList& filters() const { return filters_; }
    int timesShown() const { return static_cast<int>(filters_.size()); }

private:
    QList<std::optional<QString>> script_;
    QStringList filters_;
};

}  // namespace platform
