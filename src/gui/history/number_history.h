#pragma once

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "base/result.h"
#include "platform/controls/controls.h"

namespace history {

// The controls of the main window that the history works on.
struct HistoryControls {
    platform::ComboBox* Text1 = nullptr;   // the number box; its list is the number list
    platform::ComboBox* Combo1 = nullptr;  // courier selector
    QLineEdit* Text2 = nullptr;            // remark
    platform::StatusBar* S1 = nullptr;     // not used by NumberHistory, which only reports
};

// The number list (Text1's drop-down list) and the history file beside the program.
//
// The file is the truth: a save reads it first, so entries stored in an earlier run are
// kept (and seen by the duplicate test) even while the list does not show them, and the
// file is rewritten atomically, so a crash or a full disk leaves the previous file whole.
class NumberHistory {
public:
    NumberHistory(const HistoryControls& controls, const QString& programFolder);

    QString filePath() const { return filePath_; }

    // Saves the number in the number box with the selected courier and the remark, unless
    // that number is stored already (in the file or in the list). The new entry is appended
    // to the list and the file holds everything it held before plus the new entry.
    // Fails when the history file could not be read or written.
    base::Result xr();
    // Appends the file's entries to the number list (nothing when it cannot be read).
    void dq();
    // Writes `entries` as the whole history and empties the number box. Fails when the
    // file could not be written.
    base::Result xr2(const QStringList& entries);
    // Removes every entry: empties the number list and removes the history file.
    base::Result clear();

    // The entries in the file: none when there is no file, nullopt when a file is there but
    // cannot be read (rewriting it then would lose what it holds).
    std::optional<QStringList> storedEntries() const;
    // Writes the file.
    base::Result write(const QStringList& entries);

    // What the windows show when the history could not be saved.
    static QString saveFailedText();

    // Called after every write or removal of the file (whether it succeeded or not), so a
    // view of the stored entries can read them again.
    void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed() const;

    HistoryControls c_;
    QString filePath_;
    std::function<void()> changed_;
};

}  // namespace history
