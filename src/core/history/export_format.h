#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "base/result.h"

namespace history {

// `strIn` without its leading and trailing spaces (U+0020 only), padded with spaces to
// `lngFixStrLen` bytes of its GBK form. An empty text stays empty, and a text of that
// width or wider (or a width of 0 or less) is returned whole, never cut.
QString SetStringFixedLength(const QString& strIn, int lngFixStrLen);

// One line of the export, without its line end: the cells joined by three spaces, the
// first one (the sequence number) made 8 bytes wide.
QString exportLine(const QStringList& cells);

// The export file's bytes: every line in GBK (GB18030) followed by CR LF, the last one
// included. Cells are written whole. nullopt when this system cannot write GBK.
std::optional<QByteArray> exportBytes(const QVector<QStringList>& rows);

// Writes the export file at exactly `path` (nothing is added to the name), replacing an
// existing file. Fails when there are no rows (the file is not touched) or when the file
// cannot be created or written or this system cannot write GBK; the file is written through a
// temporary file, so a failed export never leaves a half-written file behind.
base::Result writeExportFile(const QString& path, const QVector<QStringList>& rows);

}  // namespace history
