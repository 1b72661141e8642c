#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QWidget>

class QSortFilterProxyModel;

namespace platform {
class MessageBoxes;
class SaveDialog;
}  // namespace platform
namespace watch {
class ParcelWatch;
}

namespace parcels {

class ParcelTableModel;

// The controls of the list of every parcel, each widget's objectName being its name here.
struct ParcelListControls {
    QPushButton* refreshAll = nullptr;   // 全部刷新
    QPushButton* stopRefresh = nullptr;  // 停止
    QPushButton* exportTable = nullptr;  // 导出
    QCheckBox* watchArmed = nullptr;     // 自动跟踪
    QSpinBox* watchMinutes = nullptr;    // the interval, in minutes
    QLabel* refreshProgress = nullptr;   // 已查询 12/60
    QTableView* parcelTable = nullptr;
};

// 全部快件: every parcel of the history with what its last query said, refreshed together
// and watched in the background by the ParcelWatch it shows. Not modal: the main window
// stays usable. A double-click or Enter on a row hands the parcel's entry to the main
// window (parcelChosen), which queries it as a pick from the number list does.
class ParcelListWindow : public QWidget {
    Q_OBJECT
public:
    ParcelListWindow(watch::ParcelWatch* watch, platform::MessageBoxes* boxes,
                     platform::SaveDialog* saveDialog, QWidget* parent = nullptr);

    const ParcelListControls& controls() const { return controls_; }
    ParcelTableModel* tableModel() const { return model_; }

    // The table's rows as shown (in the shown order), the header first.
    QVector<QStringList> shownRows() const;

    static QString exportFilter() { return QStringLiteral("(CSV表格) (*.csv)"); }
    static QString progressText(int done, int total);

signals:
    void parcelChosen(const QString& entry);

private:
    void buildControls();
    void exportRows();
    void showSettings();
    void refreshStarted();

    watch::ParcelWatch* watch_;
    platform::MessageBoxes* boxes_;
    platform::SaveDialog* saveDialog_;
    ParcelListControls controls_;
    ParcelTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
};

}  // namespace parcels
