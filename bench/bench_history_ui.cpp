// The history handlers of the main window with 32,000 stored entries: loading them into the
// number list (the toggle), saving one more number, deleting one number and clearing all.
// Then a history file with one huge entry (a damaged or hand-edited file): opening the
// number list and picking that entry with the mouse, as the user does.
// Prints the median of several runs of each, in milliseconds.
//
//   bench_history_ui           all of it
//   bench_history_ui --pick    only the huge entries
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/main_window.h"
#include "history/history_entry.h"
#include "history/history_file.h"
#include "history/history_handlers.h"
#include "history/number_history.h"
#include "platform/platforms.h"
#include "support/stand_ins.h"

namespace {

constexpr int kEntries = 32000;
constexpr int kRuns = 7;

QStringList entries() {
    QStringList list;
    list.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        list.append(QStringLiteral("SF%1|顺丰快递|爸爸衣服").arg(1000000000 + i));
    }
    return list;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// `length` characters of Chinese and digits, as a hand-edited file might hold.
QString textOf(qsizetype length) {
    const QString piece = QStringLiteral("爸爸衣服0123456789");
    QString text;
    text.reserve(length);
    while (text.size() < length) {
        text += piece;
    }
    text.truncate(length);
    return text;
}

struct PickTimes {
    double open = 0;  // the drop-down list shown and painted
    double pick = 0;  // the click on the entry until its query has ended and all is painted
};

// One run: the main window with the history file holding only `entry`, the list loaded by
// the toggle, then the list opened and the entry clicked.
PickTimes pickOnce(const platform::Environment& env, const QString& file, const QString& entry) {
    if (const base::Result written = history::writeHistoryFile(file, {entry}); !written) {
        qFatal("cannot write the history file: %s", qPrintable(written.error()));
    }
    app::Form1 form(env);
    form.controls().Timer3->setEnabled(false);
    form.show();
    settle();
    form.historyHandlers()->Command3_Click();
    settle();

    PickTimes times;
    QElapsedTimer timer;
    timer.start();
    form.controls().Text1->showPopup();
    QAbstractItemView* view = form.controls().Text1->view();
    settle();
    times.open = timer.nsecsElapsed() / 1e6;

    // Near the entry's left end: a wide entry's middle may lie outside the list.
    const QRect item = view->visualRect(view->model()->index(0, 0));
    timer.restart();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      QPoint(item.left() + 8, item.center().y()));
    settle();
    times.pick = timer.nsecsElapsed() / 1e6;
    // The number box holds what it can of the entry's number.
    const QString number =
        history::pickNumber(entry).left(form.controls().Text1->lineEdit()->maxLength());
    if (form.controls().Text1->text() != number || view->isVisible()) {
        fprintf(stderr, "the pick did not happen\n");
    }
    return times;
}

void benchPicks(const platform::Environment& base, const QString& folder) {
    platform::Environment env = base;
    // The query of the pick finds no service at once: a closed local port.
    env.addresses.tracking = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    const QString file = history::historyFilePath(folder);
    struct Shape {
        const char* name;
        std::function<QString(const QString&)> entry;
    };
    const Shape shapes[] = {
        {"remark",
         [](const QString& part) { return QStringLiteral("SF1234567890|顺丰快递|") + part; }},
        {"number", [](const QString& part) { return part + QStringLiteral("|顺丰快递|爸爸衣服"); }},
        {"no bar", [](const QString& part) { return part; }},
    };
    printf("One stored entry with a long part, picked from the number list (ms):\n");
    printf("  %-8s %9s %5s %10s %10s\n", "long", "chars", "runs", "open list", "pick");
    for (const Shape& shape : shapes) {
        for (const qsizetype length : {qsizetype(20), qsizetype(32000), qsizetype(2000000)}) {
            const int runs = length > 100000 ? 3 : 7;
            const QString entry = shape.entry(textOf(length));
            std::vector<double> open, pick;
            for (int run = 0; run < runs; ++run) {
                const PickTimes times = pickOnce(env, file, entry);
                open.push_back(times.open);
                pick.push_back(times.pick);
            }
            printf("  %-8s %9lld %5d %10.2f %10.2f\n", shape.name, static_cast<long long>(length),
                   runs, median(open), median(pick));
            fflush(stdout);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir folder;
    testsupport::ScriptedPlatform world;
    testsupport::ScriptedMessageBoxes& boxes = world.boxes;
    platform::Environment env = platform::environmentOf(world, folder.path());
    if (argc > 1 && std::strcmp(argv[1], "--pick") == 0) {
        benchPicks(env, folder.path());
        return 0;
    }

    const QStringList stored = entries();
    const QString file = history::historyFilePath(folder.path());
    std::vector<double> load, save, remove, clear;
    for (int run = 0; run < kRuns; ++run) {
        if (!history::writeHistoryFile(file, stored)) {
            fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        app::Form1 form(env);
        form.controls().Timer3->setEnabled(false);
        history::HistoryHandlers* handlers = form.historyHandlers();
        QElapsedTimer timer;

        timer.start();
        handlers->Command3_Click();  // load all 32,000 into the number list
        load.push_back(timer.nsecsElapsed() / 1e6);

        form.controls().Text1->setText(QStringLiteral("NEW%1").arg(run));
        form.controls().Combo1->setListIndex(91);
        form.controls().Text2->setText(QStringLiteral("r"));
        timer.restart();
        (void)form.numberHistory()->xr();  // one more number: duplicate test, append, rewrite
        save.push_back(timer.nsecsElapsed() / 1e6);

        form.controls().Text1->setText(QStringLiteral("SF1000016000"));
        boxes.script(platform::MessageBoxes::Answer::Yes);
        timer.restart();
        handlers->Command9_Click();
        remove.push_back(timer.nsecsElapsed() / 1e6);

        boxes.script(platform::MessageBoxes::Answer::Yes);
        timer.restart();
        handlers->Command7_Click();
        clear.push_back(timer.nsecsElapsed() / 1e6);
    }
    printf("32,000 stored entries, median of %d runs (ms):\n", kRuns);
    printf("  load into the number list  %8.2f\n", median(load));
    printf("  save one more number       %8.2f\n", median(save));
    printf("  delete one number          %8.2f\n", median(remove));
    printf("  clear all                  %8.2f\n", median(clear));
    fflush(stdout);
    benchPicks(env, folder.path());
    return 0;
}
