// Times the combo boxes the main window builds at start-up: five drop-down lists and one
// drop-down combo made in a parent and destroyed again, beside plain QComboBoxes (with no
// size policy, and with the contents-length policy ComboBox's sizes follow). Then the first
// opening of a box's list, which is where a box that has not made its popup yet makes it.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/controls.h"

namespace {

using platform::ComboBox;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

constexpr int kBoxes = 6;
constexpr int kRounds = 200;  // sets of six made and destroyed per sample
constexpr int kSamples = 15;

// Median time in ms of making one set of six boxes, and of destroying it.
void timeSets(const char* what, const std::function<QWidget*(QWidget*, int)>& make) {
    std::vector<double> makeTimes;
    std::vector<double> destroyTimes;
    QWidget parent;
    std::vector<QWidget*> boxes(kBoxes);
    for (int sample = 0; sample < kSamples; ++sample) {
        qint64 made = 0;
        qint64 destroyed = 0;
        QElapsedTimer clock;
        for (int round = 0; round < kRounds; ++round) {
            clock.start();
            for (int i = 0; i < kBoxes; ++i) {
                boxes[i] = make(&parent, i);
            }
            made += clock.nsecsElapsed();
            clock.start();
            for (QWidget* box : boxes) {
                delete box;
            }
            destroyed += clock.nsecsElapsed();
        }
        makeTimes.push_back(made / 1e6 / kRounds);
        destroyTimes.push_back(destroyed / 1e6 / kRounds);
    }
    QWidget probe;
    QWidget* box = make(&probe, kBoxes - 1);
    printf("%-44s make %.4f ms  destroy %.4f ms  (per box %.4f + %.4f)  item views %lld\n", what,
           median(makeTimes), median(destroyTimes), median(makeTimes) / kBoxes,
           median(destroyTimes) / kBoxes,
           static_cast<long long>(box->findChildren<QAbstractItemView*>().size()));
}

// The first opening of the list of a box just made, and a later one.
void timeFirstOpen() {
    std::vector<double> first;
    std::vector<double> later;
    for (int sample = 0; sample < kSamples; ++sample) {
        ComboBox box(QStringLiteral("Combo2"), ComboBox::Style::DropDownList);
        box.appendItems({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
        box.show();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        box.showPopup();
        first.push_back(clock.nsecsElapsed() / 1e6);
        box.hidePopup();
        clock.start();
        box.showPopup();
        later.push_back(clock.nsecsElapsed() / 1e6);
        box.hidePopup();
    }
    printf("%-44s first %.3f ms  later %.3f ms\n", "ComboBox: opening the list", median(first),
           median(later));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    timeSets("QComboBox, no size policy",
             [](QWidget* parent, int) { return new QComboBox(parent); });
    timeSets("QComboBox, contents-length policy, 4", [](QWidget* parent, int i) {
        auto* box = new QComboBox(parent);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(4);
        box->setEditable(i == kBoxes - 1);
        return box;
    });
    timeSets("ComboBox, 5 lists and 1 combo", [](QWidget* parent, int i) {
        return new ComboBox(
            QStringLiteral("Combo"),
            i == kBoxes - 1 ? ComboBox::Style::DropDownCombo : ComboBox::Style::DropDownList,
            parent);
    });
    timeFirstOpen();
    return 0;
}
