// The history handlers of the main window with 32,000 stored entries: loading them into the
// number list (the toggle), saving one more number, deleting one number and clearing all.
// Prints the median of several runs of each, in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/main_window.h"
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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir folder;
    testsupport::ScriptedPlatform world;
    testsupport::ScriptedMessageBoxes& boxes = world.boxes;
    platform::Environment env = platform::environmentOf(world, folder.path());

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
    return 0;
}
