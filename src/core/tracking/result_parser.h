#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

namespace tracking {

// One line of the progress list: its sequence number, time text and progress text.
struct ProgressLine {
    QString number;
    QString time;
    QString progress;
};

// Turns an answer into the progress lines, in display order: index 0 is the top line
// (number "1"), which holds the page's last row; the bottom line (number rowCount) holds
// the page's first row.
//
// The page is cut at fixed markers, with no HTML parsing:
// - time: the text of the row (between its "<tr><td>" and the next one) up to its first
//   "</td><td>", with every "<" dropped ("2013-01-05 10:20<br>" gives
//   "2013-01-05 10:20br>"); empty when the row has no "</td><td>" or the page has fewer
//   rows than rowCount.
// - progress: the 2i-th piece of the page cut at "<td>" for the page's i-th row, with
//   every "</td></tr><tr>" and then every "</td></tr></table>" removed; anything else,
//   including text after the table, stays. The piece index is a signed 16-bit counter:
//   past 32766 it stops moving, so later rows repeat that piece. A row whose piece does
//   not exist keeps the previous row's progress text (the removal is applied to it again),
//   and the empty text for the first row.
// rowCount is the number of markers countRowMarkers found (at most 32767); rowCount <= 0
// gives no lines. Runs in one pass over the page.
QVector<ProgressLine> parseResultPage(QStringView page, int rowCount);

// The parcel status derived from the newest progress text:
// "快件状态：已签收" when it holds "签" or "妥", else "快件状态：派件中" when it holds "派",
// else "快件状态：运送中".
QString parcelStatus(const QString& newestProgress);

}  // namespace tracking
