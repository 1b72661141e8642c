// The result parse: the first tick of Timer1 after a query with rows turns the answer into
// the progress list, the parcel status and the change alert.
#include <QColor>

#include "app/main_window.h"
#include "history/number_history.h"
#include "platform/media_player.h"
#include "tracking/answer.h"
#include "tracking/result_parser.h"

namespace app {

void Form1::Timer1_Timer() {
    const QVector<tracking::ProgressLine> parsed =
        tracking::parseResultPage(resultPage_, rowCount_);

    // The finished list is what inserting each row at the top would give; it is filled in
    // one pass.
    const int time = ListView1->subItemIndex(QStringLiteral("sj"));
    const int progress = ListView1->subItemIndex(QStringLiteral("wl"));
    QVector<platform::ListViewModel::Line> lines;
    lines.reserve(parsed.size());
    const int columns = ListView1->lines()->columnCount();
    for (const tracking::ProgressLine& row : parsed) {
        platform::ListViewModel::Line line;
        line.cells.resize(columns);
        line.colors.resize(columns);
        line.cells[0] = row.number;
        line.cells[time] = row.time;
        line.cells[progress] = row.progress;
        lines.append(std::move(line));
    }
    if (!lines.isEmpty()) {
        // The newest line's time and progress in red; its number keeps the default colour.
        lines[0].colors[time] = QColor(255, 0, 0);
        lines[0].colors[progress] = QColor(255, 0, 0);
    }
    ListView1->lines()->setLines(std::move(lines));

    csh();
    previousLineCount_ = currentLineCount_;
    currentLineCount_ = std::min(ListView1->count(), tracking::kMaxRowCount);
    Timer1->setEnabled(false);
    // A history file that could not be written is worth more than "done".
    status(!numberSaved_ ? history::NumberHistory::saveFailedText() : QStringLiteral("查询完毕..."));
    Command1->setEnabled(true);
    if (ListView1->count() > 0) {
        Label3->setText(tracking::parcelStatus(ListView1->text(0, progress)));
    }
    gxtj();
}

void Form1::gxtj() {
    if (previousLineCount_ < currentLineCount_) {
        Label7->setText(QStringLiteral("是否更新：有更新"));
        platform::setForeColor(Label7, QColor(255, 0, 0));
        W1->setUrl(env_.programFile(QStringLiteral("ts.mp3")));
    } else {
        Label7->setText(QStringLiteral("是否更新：无更新"));
        platform::setForeColor(Label7, QColor(0, 0, 0));
    }
}

}  // namespace app
