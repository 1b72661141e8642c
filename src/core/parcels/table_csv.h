#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include "base/result.h"

namespace parcels {

// One field as the CSV file holds it. A field that a spreadsheet would run as a formula
// (starting with "=", "+", "-", "@", a tab or a CR) gets a leading apostrophe, unless it is
// a plain number such as "-12" or "+3.5". Digits alone that a spreadsheet would change (12
// or more of them, or a leading zero) are written as ="…", so they show whole. A field is
// then quoted when it holds a comma, a quote,
// a CR or an LF, its quotes doubled.
QString csvField(const QString& text);

// The CSV bytes of a table, its header row first: UTF-8 with a byte-order mark (without
// one Excel and WPS on a Chinese Windows read the file as GBK), fields separated by commas,
// CR LF after every row, the last one included.
QByteArray csvBytes(const QVector<QStringList>& rows);

// Writes the CSV file at exactly `path`, replacing an existing file. Fails when there are
// no rows (the file is not touched) or the file cannot be created or written; the file is
// written through a temporary file, so a failed export never leaves a half file behind.
base::Result writeCsvFile(const QString& path, const QVector<QStringList>& rows);

}  // namespace parcels
