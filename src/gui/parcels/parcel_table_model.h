#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include "parcels/parcel_state.h"

namespace watch {
class ParcelWatch;
}

namespace parcels {

// The parcels of the history as the list shows them: one row per history entry, in the
// history's order, with what the last query of each said. Follows the watch: a number added
// or removed, an answer that came.
class ParcelTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Number,       // 快件单号
        Company,      // 物流公司
        Remark,       // 备注
        State,        // 状态
        Newest,       // 最新进度
        NewestTime,   // 进度时间
        QueriedTime,  // 查询时间
        ColumnCount
    };

    explicit ParcelTableModel(const watch::ParcelWatch* watch, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The history entry of a row.
    QString entry(int row) const { return entries_.value(row); }
    // The status cell's text of a parcel never queried.
    static QString notQueriedText() { return QStringLiteral("未查询"); }
    // What the status cell adds for a parcel that moved with its last answer.
    static QString movedText() { return QStringLiteral("（有更新）"); }

private:
    void reload();
    void recordChanged(const QString& number, const QString& company);

    const watch::ParcelWatch* watch_;
    QStringList entries_;
    // Each entry read against the catalogue once, when the rows are (re)made, not per cell.
    QVector<ParcelEntry> parsed_;
};

}  // namespace parcels
