// Times turning a tracking answer into the progress list: counting the rows, parsing the
// page and filling the list's model in one reset, for answers of growing size.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "median.h"
#include "platform/controls/controls.h"
#include "tracking/answer.h"
#include "tracking/result_parser.h"

namespace {

QString makeAnswer(int rows) {
    QString page = QStringLiteral("<table>");
    for (int i = 0; i < rows; ++i) {
        page +=
            QStringLiteral("<tr><td>2013-01-%1 10:%2:00</td><td>【上海】快件已到达 浦东转运中心")
                .arg(1 + i % 28, 2, 10, QChar('0'))
                .arg(i % 60, 2, 10, QChar('0'));
        page += QString::number(i);
        page += QStringLiteral("</td></tr>");
    }
    page += QStringLiteral("</table>");
    return page;
}

QVector<platform::ListViewModel::Column> progressColumns() {
    return {{QStringLiteral("序号"), QStringLiteral("xh"), 600},
            {QStringLiteral("时间"), QStringLiteral("sj"), 2000},
            {QStringLiteral("物流进度"), QStringLiteral("wl"), 5200}};
}

// The parse and the list filling as the result timer does them.
int parseAndFill(const QString& page, platform::ListViewModel& model) {
    const int rowCount = tracking::countRowMarkers(page);
    const QVector<tracking::ProgressLine> parsed = tracking::parseResultPage(page, rowCount);
    QVector<platform::ListViewModel::Line> lines;
    lines.reserve(parsed.size());
    for (const tracking::ProgressLine& p : parsed) {
        lines.append({{p.number, p.time, p.progress}, {}});
    }
    if (!lines.isEmpty()) {
        lines.first().colors = {QColor(), QColor(Qt::red), QColor(Qt::red)};
    }
    model.setLines(std::move(lines));
    return model.rowCount();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = 9;
    std::printf("%8s %10s %12s %12s %12s\n", "rows", "page KB", "parse ms", "fill ms", "total ms");
    double at16000 = 0;
    double at32000 = 0;
    for (const int rows : {20, 1000, 16000, 32000}) {
        const QString page = makeAnswer(rows);
        std::vector<double> parseMs;
        std::vector<double> totalMs;
        for (int run = 0; run < runs; ++run) {
            platform::ListViewModel model(progressColumns());
            QElapsedTimer timer;
            timer.start();
            const int count = tracking::countRowMarkers(page);
            const QVector<tracking::ProgressLine> parsed = tracking::parseResultPage(page, count);
            parseMs.push_back(timer.nsecsElapsed() / 1e6);
            if (parsed.size() != rows) {
                std::fprintf(stderr, "parsed %lld lines, expected %d\n",
                             static_cast<long long>(parsed.size()), rows);
                return 1;
            }

            platform::ListViewModel filled(progressColumns());
            timer.restart();
            const int shown = parseAndFill(page, filled);
            totalMs.push_back(timer.nsecsElapsed() / 1e6);
            if (shown != rows) {
                std::fprintf(stderr, "list holds %d lines, expected %d\n", shown, rows);
                return 1;
            }
        }
        const double parse = bench::median(parseMs);
        const double total = bench::median(totalMs);
        std::printf("%8d %10.0f %12.3f %12.3f %12.3f\n", rows, page.size() * 2 / 1024.0, parse,
                    total - parse, total);
        if (rows == 16000) {
            at16000 = total;
        } else if (rows == 32000) {
            at32000 = total;
        }
    }
    std::printf("median of %d runs; 32000 rows / 16000 rows = %.2f\n", runs,
                at16000 > 0 ? at32000 / at16000 : 0.0);
    return 0;
}
