#pragma once

#include <QByteArray>
#include <QString>

#include "base/result.h"

namespace base {

// Replaces the file at `path` with `bytes`, or leaves the old file whole: the bytes go to a
// temporary file beside it, which is renamed over the old one only when every byte was
// written. A crash, a full disk or a failed write never leaves a half file. A failure
// carries the reason.
Result writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace base
