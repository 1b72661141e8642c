#pragma once

// The tracking answer's parse carried out literally, the slow way: the page is split again
// for every row and every step is done as written, a failing step keeping the values it
// would have set. The tests and the fuzzer compare the program's one-pass parse with it.

#include <QString>
#include <QStringList>
#include <QVector>

#include "tracking/result_parser.h"

namespace testsupport {

inline QVector<tracking::ProgressLine> parseLiterally(const QString& page, int rowCount) {
    QVector<tracking::ProgressLine> lines;
    int count = rowCount;
    int cellIndex = 0;
    QString rowText;
    QString progress;
    for (int i = 1; i <= rowCount; ++i) {
        --count;
        const QStringList rows = page.split(QStringLiteral("<tr><td>"));
        if (i < rows.size()) {
            rowText = rows.at(i);
        }
        rowText = rowText.left(rowText.indexOf(QStringLiteral("</td><td>")) + 1).remove(u'<');
        rowText.remove(QStringLiteral("</td></tr><tr>"))
            .remove(QStringLiteral("</td></tr></table>"));
        tracking::ProgressLine line{QString::number(count + 1), rowText, {}};
        cellIndex += 2;
        const QStringList cells = page.split(QStringLiteral("<td>"));
        if (cellIndex < cells.size()) {
            progress = cells.at(cellIndex);
        }
        progress.remove(QStringLiteral("</td></tr><tr>"))
            .remove(QStringLiteral("</td></tr></table>"));
        line.progress = progress;
        lines.prepend(line);
    }
    return lines;
}

}  // namespace testsupport
