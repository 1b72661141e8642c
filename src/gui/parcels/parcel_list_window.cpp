#include "parcels/parcel_list_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

#include "parcels/parcel_table_model.h"
#include "parcels/parcels_file.h"
#include "parcels/table_csv.h"
#include "platform/controls/controls.h"
#include "platform/system/message_boxes.h"
#include "platform/system/save_dialog.h"
#include "watch/parcel_watch.h"

namespace parcels {

ParcelListWindow::ParcelListWindow(watch::ParcelWatch* watch, platform::MessageBoxes* boxes,
                                   platform::SaveDialog* saveDialog, QWidget* parent)
    : QWidget(parent, Qt::Window), watch_(watch), boxes_(boxes), saveDialog_(saveDialog) {
    setObjectName(QStringLiteral("ParcelListWindow"));
    setWindowTitle(QStringLiteral("全部快件"));
    buildControls();
    const ParcelListControls& c = controls_;

    connect(c.refreshAll, &QPushButton::clicked, this, [this] {
        watch_->refreshAll();
        refreshStarted();
    });
    connect(c.stopRefresh, &QPushButton::clicked, watch_, &watch::ParcelWatch::stop);
    connect(c.exportTable, &QPushButton::clicked, this, &ParcelListWindow::exportRows);
    connect(c.watchArmed, &QCheckBox::toggled, this,
            [this](bool armed) { watch_->setWatch(armed, controls_.watchMinutes->value()); });
    connect(c.watchMinutes, &QSpinBox::valueChanged, this,
            [this](int minutes) { watch_->setWatch(controls_.watchArmed->isChecked(), minutes); });
    connect(c.parcelTable, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        const QString entry = model_->entry(sorted_->mapToSource(index).row());
        if (!entry.isEmpty()) {
            emit parcelChosen(entry);
        }
    });
    connect(watch_, &watch::ParcelWatch::progress, this, [this](int done, int total) {
        controls_.refreshProgress->setText(progressText(done, total));
        controls_.stopRefresh->setEnabled(watch_->isRefreshing());
    });
    connect(watch_, &watch::ParcelWatch::stopped, this, [this](int done, int total) {
        controls_.refreshProgress->setText(QStringLiteral("已停止，") + progressText(done, total));
        controls_.stopRefresh->setEnabled(false);
    });
    connect(watch_, &watch::ParcelWatch::settingsChanged, this, &ParcelListWindow::showSettings);
    showSettings();
    if (watch_->isRefreshing()) {
        refreshStarted();
    }
}

QString ParcelListWindow::progressText(int done, int total) {
    const QString count = QStringLiteral("已查询 %1/%2").arg(done).arg(total);
    return done < total ? count : count + QStringLiteral("，刷新完毕");
}

void ParcelListWindow::buildControls() {
    ParcelListControls& c = controls_;
    c.refreshAll = platform::makeNamed<QPushButton>(QStringLiteral("refreshAll"),
                                                    QStringLiteral("全部刷新"), this);
    c.stopRefresh = platform::makeNamed<QPushButton>(QStringLiteral("stopRefresh"),
                                                     QStringLiteral("停止"), this);
    c.stopRefresh->setEnabled(false);
    c.exportTable = platform::makeNamed<QPushButton>(QStringLiteral("exportTable"),
                                                     QStringLiteral("导出"), this);
    c.watchArmed = platform::makeNamed<QCheckBox>(QStringLiteral("watchArmed"),
                                                  QStringLiteral("自动跟踪"), this);
    auto* every = platform::makeLabel(QStringLiteral("watchEvery"), QStringLiteral("每隔"), this);
    c.watchMinutes = platform::makeNamed<QSpinBox>(QStringLiteral("watchMinutes"), this);
    c.watchMinutes->setRange(kMinWatchMinutes, kMaxWatchMinutes);
    c.watchMinutes->setSingleStep(10);
    c.watchMinutes->setSuffix(QStringLiteral(" 分钟"));
    c.refreshProgress = platform::makeLabel(QStringLiteral("refreshProgress"), QString(), this);
    c.parcelTable = platform::makeNamed<QTableView>(QStringLiteral("parcelTable"), this);

    model_ = new ParcelTableModel(watch_, this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    QTableView* table = c.parcelTable;
    table->setModel(sorted_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    // In the history's order until the user sorts by a column.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(ParcelTableModel::Newest, QHeaderView::Stretch);

    // What a screen reader reads: each control by its name and what it does; the table's
    // cells through Qt's table accessibility, with the column headers.
    table->setAccessibleName(QStringLiteral("全部快件"));
    table->setAccessibleDescription(
        QStringLiteral("历史记录中的每个快件及其最近一次查询的状态，回车查询选中的快件"));
    c.refreshAll->setAccessibleDescription(QStringLiteral("同时查询全部快件"));
    c.stopRefresh->setAccessibleDescription(QStringLiteral("停止正在进行的刷新"));
    c.exportTable->setAccessibleDescription(QStringLiteral("将表格导出为CSV文件"));
    c.watchArmed->setAccessibleDescription(
        QStringLiteral("程序运行时，按设定的间隔在后台查询尚未签收的快件"));
    every->setBuddy(c.watchMinutes);
    c.watchMinutes->setAccessibleName(QStringLiteral("自动跟踪间隔"));
    c.refreshProgress->setAccessibleDescription(QStringLiteral("刷新进度"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(c.refreshAll);
    bar->addWidget(c.stopRefresh);
    bar->addWidget(c.exportTable);
    bar->addSpacing(16);
    bar->addWidget(c.watchArmed);
    bar->addWidget(every);
    bar->addWidget(c.watchMinutes);
    bar->addSpacing(16);
    bar->addWidget(c.refreshProgress, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table, 1);
    setTabOrder(table, c.refreshAll);
    resize(900, 420);
}

void ParcelListWindow::showSettings() {
    const WatchSettings settings = watch_->settings();
    const QSignalBlocker armedQuiet(controls_.watchArmed);
    const QSignalBlocker minutesQuiet(controls_.watchMinutes);
    controls_.watchArmed->setChecked(settings.armed);
    controls_.watchMinutes->setValue(settings.intervalMinutes);
}

void ParcelListWindow::refreshStarted() {
    controls_.stopRefresh->setEnabled(watch_->isRefreshing());
}

QVector<QStringList> ParcelListWindow::shownRows() const {
    QVector<QStringList> rows;
    QStringList header;
    for (int column = 0; column < sorted_->columnCount(); ++column) {
        header.append(sorted_->headerData(column, Qt::Horizontal).toString());
    }
    rows.append(header);
    for (int row = 0; row < sorted_->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < sorted_->columnCount(); ++column) {
            cells.append(sorted_->index(row, column).data().toString());
        }
        rows.append(cells);
    }
    return rows;
}

void ParcelListWindow::exportRows() {
    if (model_->rowCount() == 0) {
        boxes_->inform(this, QStringLiteral("没有可导出的数据!"));
        return;
    }
    const std::optional<QString> path = saveDialog_->askSavePath(this, exportFilter());
    if (!path) {
        return;
    }
    if (writeCsvFile(*path, shownRows())) {
        boxes_->inform(this, QStringLiteral("成功导出全部数据!"));
    } else {
        boxes_->inform(this, QStringLiteral("导出失败,请检查保存位置!"));
    }
}

}  // namespace parcels
