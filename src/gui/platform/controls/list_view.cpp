#include "platform/controls/list_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScreen>
#include <QStringListModel>

#include <algorithm>

#include "base/text.h"
#include "platform/controls/controls.h"
#include "platform/controls/width_reserve.h"

namespace platform {

ListViewModel::ListViewModel(QVector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lines_.size()) {
        return {};
    }
    const Line& line = lines_.at(index.row());
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return column < line.cells.size() ? base::shownText(line.cells.at(column), kShownChars)
                                              : QString();
        case Qt::ForegroundRole:
            if (column < line.colors.size() && line.colors.at(column).isValid()) {
                return line.colors.at(column);
            }
            return {};
        default:
            return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns_.size()) {
        return columns_.at(section).header;
    }
    return {};
}

void ListViewModel::clear() {
    if (lines_.isEmpty()) {
        return;
    }
    beginResetModel();
    lines_.clear();
    endResetModel();
}

void ListViewModel::insertAtTop(const QString& text) {
    beginInsertRows({}, 0, 0);
    Line line;
    line.cells.resize(columns_.size());
    line.colors.resize(columns_.size());
    line.cells[0] = text;
    lines_.prepend(std::move(line));
    endInsertRows();
}

void ListViewModel::setLines(QVector<Line> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    for (Line& line : lines_) {
        line.cells.resize(columns_.size());
        line.colors.resize(columns_.size());
    }
    endResetModel();
}

void ListViewModel::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= lines_.size() || column < 0 || column >= columns_.size()) {
        return;
    }
    lines_[row].cells[column] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

ListView::ListView(const QString& name, QVector<ListViewModel::Column> columns, QWidget* parent)
    : QTreeView(parent), model_(new ListViewModel(std::move(columns), this)) {
    setObjectName(name);
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The user cannot edit the lines in place.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->installEventFilter(this);
    watchScreen();
    fitColumns();
}

int ListView::leastWidth(int column) const {
    const auto& cols = model_->columns();
    if (column < 0 || column >= cols.size()) {
        return 0;
    }
    int width = std::max(twipsToPixels(cols.at(column).widthTwips, this),
                         header()->sectionSizeHint(column));
    const QString& widest = cols.at(column).widestText;
    if (!widest.isEmpty()) {
        // Measured as cells of the list: through its delegate, with the options it paints
        // with, so the style's cell margins count too; each of the texts the widest can be.
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QStringListModel samples(widestDigitVariants(widest, option.fontMetrics));
        QAbstractItemDelegate* delegate = itemDelegateForColumn(column);
        if (delegate == nullptr) {
            delegate = itemDelegate();
        }
        for (int row = 0; row < samples.rowCount(); ++row) {
            width = std::max(width, delegate->sizeHint(option, samples.index(row)).width());
        }
    }
    return width;
}

int ListView::leastColumnsWidth() const {
    int total = 0;
    for (int i = 0; i < model_->columnCount(); ++i) {
        total += leastWidth(i);
    }
    return total;
}

void ListView::fitColumns() {
    const int count = model_->columnCount();
    for (int i = 0; i + 1 < count; ++i) {
        header()->resizeSection(i, leastWidth(i));
    }
    fitLastColumn();
}

void ListView::fitLastColumn() {
    const int last = model_->columnCount() - 1;
    if (last < 0) {
        return;
    }
    int others = 0;
    for (int i = 0; i < last; ++i) {
        others += header()->sectionSize(i);
    }
    const int width = std::max(leastWidth(last), viewport()->width() - others);
    if (header()->sectionSize(last) != width) {
        header()->resizeSection(last, width);
    }
}

void ListView::watchScreen() {
    disconnect(screenWatch_);
    if (QScreen* current = screen()) {
        screenWatch_ =
            connect(current, &QScreen::logicalDotsPerInchChanged, this, &ListView::fitColumns);
    }
}

void ListView::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        fitColumns();
    }
}

bool ListView::event(QEvent* event) {
    const bool handled = QTreeView::event(event);
    if (event->type() == QEvent::ScreenChangeInternal) {
        watchScreen();
        fitColumns();
    } else if (event->type() == QEvent::Polish) {
        fitColumns();
    }
    return handled;
}

void ListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    fitLastColumn();
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
    // The header has a font and a style of its own.
    if (watched == header() &&
        (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
        fitColumns();
    }
    return QTreeView::eventFilter(watched, event);
}

int ListView::subItemIndex(const QString& key) const {
    const auto& cols = model_->columns();
    for (int i = 0; i < cols.size(); ++i) {
        if (cols.at(i).key == key) {
            return i;
        }
    }
    return -1;
}

QString ListView::text(int row, int subItem) const {
    const auto& lines = model_->lines();
    if (row < 0 || row >= lines.size() || subItem < 0 || subItem >= lines.at(row).cells.size()) {
        return {};
    }
    return lines.at(row).cells.at(subItem);
}

QColor ListView::foreColor(int row, int subItem) const {
    const auto& lines = model_->lines();
    if (row < 0 || row >= lines.size() || subItem < 0 || subItem >= lines.at(row).colors.size()) {
        return {};
    }
    return lines.at(row).colors.at(subItem);
}

int ListView::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit listClicked();
    }
}

}  // namespace platform
