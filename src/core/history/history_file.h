#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

#include "base/result.h"

namespace history {

// The history file, directly in the program's folder.
inline constexpr const char* kHistoryFileName = "wlnum.ini";

// The history file's path: the folder and the file name joined by exactly one separator,
// also when the folder is a root that already ends with one.
QString historyFilePath(const QString& programFolder);

// The file's bytes: every entry in GBK (GB18030, which keeps what GBK lacks) followed by
// CR LF, the last one included. No entries give zero bytes. nullopt when this system cannot
// write GBK.
std::optional<QByteArray> encodeHistory(const QStringList& entries);

// The entries of a history file: the whole file decoded at once, then cut into lines. A
// line ends at CR LF or at a lone CR; a lone LF belongs to the line. A last line without a
// line end is an entry too, a file that ends with a line end gives no empty entry after
// it, and empty lines in between are entries. Lines are taken unchanged. nullopt when this
// system cannot read GBK.
std::optional<QStringList> decodeHistory(QByteArrayView bytes);

// Reads the history file. nullopt when it cannot be opened (missing, unreadable) or this
// system cannot read GBK; a read error ends the read and keeps the complete lines read
// before it.
std::optional<QStringList> readHistoryFile(const QString& path);

// Replaces the history file with the entries. The file is written to a temporary file
// and renamed over the old one, so a crash, a full disk or a failed write leaves the
// previous file whole. A failure carries the reason; a system that cannot write GBK fails
// and leaves the file as it was.
base::Result writeHistoryFile(const QString& path, const QStringList& entries);

// Leaves no entries at `path`: the file is removed, or emptied when it cannot be removed.
// Nothing to do when there is no file. A failure carries the reason.
base::Result clearHistoryFile(const QString& path);

}  // namespace history
