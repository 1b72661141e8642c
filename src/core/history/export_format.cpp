#include "history/export_format.h"

#include "base/atomic_file.h"
#include "base/text.h"
#include "base/text_codec.h"

namespace history {

namespace {

constexpr int kNumberWidth = 8;
constexpr QLatin1String kCellSeparator("   ");

}  // namespace

QString SetStringFixedLength(const QString& strIn, int lngFixStrLen) {
    QString text = base::trimSpaces(strIn);
    // Without a GBK converter nothing is padded; the export then fails anyway.
    const qsizetype bytes = base::toGbk(text).value_or(QByteArray()).size();
    if (bytes > 0 && lngFixStrLen > 0 && bytes < lngFixStrLen) {
        text.append(QString(lngFixStrLen - bytes, u' '));
    }
    return text;
}

QString exportLine(const QStringList& cells) {
    QString line;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (c > 0) {
            line += kCellSeparator;
        }
        line += c == 0 ? SetStringFixedLength(cells.at(c), kNumberWidth) : cells.at(c);
    }
    return line;
}

std::optional<QByteArray> exportBytes(const QVector<QStringList>& rows) {
    // The whole text is encoded in one run: setting up an encoder costs more than a line.
    QString text;
    for (const QStringList& row : rows) {
        text += exportLine(row);
        text += QLatin1String("\r\n");
    }
    return base::toGbk(text);
}

base::Result writeExportFile(const QString& path, const QVector<QStringList>& rows) {
    if (rows.isEmpty()) {
        return base::Result::failure(QStringLiteral("nothing to export"));
    }
    const std::optional<QByteArray> bytes = exportBytes(rows);
    if (!bytes) {
        return base::Result::failure(
            QStringLiteral("cannot write %1: no GBK converter on this system").arg(path));
    }
    return base::writeFileAtomically(path, *bytes);
}

}  // namespace history
