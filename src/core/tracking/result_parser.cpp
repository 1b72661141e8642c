#include "tracking/result_parser.h"

#include <QStringMatcher>

#include "tracking/answer.h"

namespace tracking {

namespace {

constexpr QStringView kCellMarker = u"<td>";
constexpr QStringView kFirstCellEnd = u"</td><td>";
constexpr QLatin1String kRowEnd("</td></tr><tr>");
constexpr QLatin1String kTableEnd("</td></tr></table>");

// Characters the repeated removal may produce in all, for all rows together. A hostile
// page can nest the row-end markers so that every pass glues a new one together, and with
// thousands of rows repeating the text that would be gigabytes of distinct texts. Past
// this budget a pass counts as a step that could not be carried out: the text stays as it
// was, as for any other failed step of the parse.
constexpr qsizetype kRepeatBudget = qsizetype(1) << 25;

// The pieces of a page cut at a marker, numbered from 0 (the text before the first
// marker). Only the markers up to the highest piece asked for are looked up, once.
class Pieces {
public:
    Pieces(QStringView page, QStringView marker, int highestPiece)
        : page_(page), markerSize_(marker.size()) {
        const QStringMatcher matcher(marker);
        // Piece k ends at marker k (0-based), so markers 0..highestPiece are needed.
        ends_.reserve(qMin<qsizetype>(highestPiece + 1, page.size() / markerSize_ + 1));
        qsizetype from = 0;
        while (ends_.size() <= highestPiece) {
            const qsizetype at = matcher.indexIn(page, from);
            if (at < 0) {
                break;
            }
            ends_.append(at);
            from = at + markerSize_;
        }
    }

    // Piece k exists when at least k markers precede the end of the page.
    bool exists(int k) const { return k >= 0 && k <= ends_.size(); }

    QStringView piece(int k) const {
        const qsizetype begin = k == 0 ? 0 : ends_.at(k - 1) + markerSize_;
        const qsizetype end = k < ends_.size() ? ends_.at(k) : page_.size();
        return page_.mid(begin, end - begin);
    }

private:
    QStringView page_;
    qsizetype markerSize_;
    QVector<qsizetype> ends_;
};

// The time text of a row: everything before its first "</td><td>", with every "<"
// dropped. The result holds no "<", so the row-end markers cannot occur in it.
QString timeText(QStringView row) {
    const qsizetype end = row.indexOf(kFirstCellEnd);
    if (end <= 0) {
        return {};
    }
    QString text;
    text.reserve(end);
    for (const QChar c : row.left(end)) {
        if (c != u'<') {
            text.append(c);
        }
    }
    return text;
}

QString withoutRowEnds(QString text) {
    text.remove(kRowEnd);
    text.remove(kTableEnd);
    return text;
}

}  // namespace

QVector<ProgressLine> parseResultPage(QStringView page, int rowCount) {
    if (rowCount <= 0) {
        return {};
    }
    const int n = qMin(rowCount, kMaxRowCount);
    const Pieces rows(page, kRowMarker, n);
    const Pieces cells(page, kCellMarker, 2 * n);

    QVector<ProgressLine> lines(n);
    // Row i's progress text is cell 2i; with at most 32767 rows the index stays below
    // 65535.
    int cellIndex = 0;
    bool settled = false;    // removing the row ends again would change nothing
    qsizetype repeated = 0;  // characters produced by repeated removals so far
    QString progress;
    for (int i = 1; i <= n; ++i) {
        ProgressLine& line = lines[n - i];
        line.number = QString::number(n - i + 1);
        if (rows.exists(i)) {
            line.time = timeText(rows.piece(i));
        }

        cellIndex += 2;
        if (cells.exists(cellIndex)) {
            progress = withoutRowEnds(cells.piece(cellIndex).toString());
            settled = false;
        } else if (!settled) {
            // No such cell: the previous text stays, and the removal runs over it again.
            // Only a text whose removal glued a new marker together changes; once a pass
            // changes nothing, later rows share the text as it is.
            QString again = withoutRowEnds(progress);
            settled = again.size() == progress.size();
            if (!settled) {
                repeated += again.size();
                if (repeated > kRepeatBudget) {
                    settled = true;  // over the budget: this and later passes are skipped
                    again = progress;
                }
            }
            progress = std::move(again);
        }
        line.progress = progress;
    }
    return lines;
}

QString parcelStatus(const QString& newestProgress) {
    if (newestProgress.contains(u'签') || newestProgress.contains(u'妥')) {
        return QStringLiteral("快件状态：已签收");
    }
    if (newestProgress.contains(u'派')) {
        return QStringLiteral("快件状态：派件中");
    }
    return QStringLiteral("快件状态：运送中");
}

}  // namespace tracking
