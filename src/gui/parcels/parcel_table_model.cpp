#include "parcels/parcel_table_model.h"

#include <QColor>

#include "parcels/parcel_state.h"
#include "watch/parcel_watch.h"

namespace parcels {

ParcelTableModel::ParcelTableModel(const watch::ParcelWatch* watch, QObject* parent)
    : QAbstractTableModel(parent), watch_(watch) {
    reload();
    connect(watch, &watch::ParcelWatch::entriesChanged, this, &ParcelTableModel::reload);
    connect(watch, &watch::ParcelWatch::recordChanged, this, &ParcelTableModel::recordChanged);
}

int ParcelTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int ParcelTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ParcelTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size()) {
        return {};
    }
    const ParcelEntry& parsed = parsed_.at(index.row());
    const std::optional<ParcelRecord> record = watch_->record({parsed.number, parsed.company});
    if (role == Qt::ForegroundRole) {
        // A parcel that moved with its last answer stands out, as the newest line does in
        // the main window.
        const bool marked = index.column() == State || index.column() == Newest;
        return record && record->moved && marked ? QVariant(QColor(255, 0, 0)) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    if (role == Qt::ToolTipRole && index.column() != Newest) {
        return {};
    }
    switch (index.column()) {
        case Number:
            return parsed.number;
        case Company:
            return parsed.company;
        case Remark:
            return parsed.remark;
        case State:
            if (!record) {
                return notQueriedText();
            }
            return statusText(record->status) + (record->moved ? movedText() : QString());
        case Newest:
            return record ? record->newest.progress : QString();
        case NewestTime:
            return record ? record->newest.time : QString();
        case QueriedTime:
            return record ? queryTimeText(record->queriedAt) : QString();
        default:
            return {};
    }
}

QVariant ParcelTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char16_t* const kTitles[ColumnCount] = {
        u"快件单号", u"物流公司", u"备注", u"状态", u"最新进度", u"进度时间", u"查询时间"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(kTitles[section])
                                                 : QVariant();
}

void ParcelTableModel::reload() {
    beginResetModel();
    entries_ = watch_->entries();
    parsed_.clear();
    parsed_.reserve(entries_.size());
    for (const QString& entry : entries_) {
        parsed_.append(parseEntry(entry));
    }
    endResetModel();
}

void ParcelTableModel::recordChanged(const QString& number, const QString& company) {
    for (int row = 0; row < parsed_.size(); ++row) {
        if (parsed_.at(row).number == number && parsed_.at(row).company == company) {
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        }
    }
}

}  // namespace parcels
