#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QTreeView>
#include <QVector>

namespace platform {

// The progress list: a report view whose lines have an item text (column 0) and subitems
// (columns 1..), each cell with its own fore colour. Columns are found by key.
class ListViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // What a cell shows at most; far more than its width holds.
    static constexpr qsizetype kShownChars = 1000;

    struct Column {
        QString header;
        QString key;
        int widthTwips;  // the least width; a column is wider when its texts need it
        // The widest text the column must show whole, e.g. "2026-12-03 15:21:33"; each
        // digit in it stands for any digit. Empty: only the header must fit.
        QString widestText = {};
    };
    struct Line {
        QVector<QString> cells;
        QVector<QColor> colors;  // invalid colour: the default
    };

    explicit ListViewModel(QVector<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QVector<Column>& columns() const { return columns_; }
    const QVector<Line>& lines() const { return lines_; }
    void clear();
    void insertAtTop(const QString& text);
    // Replaces all lines at once (one reset instead of one insert per line).
    void setLines(QVector<Line> lines);
    void setCell(int row, int column, const QString& text);

private:
    QVector<Column> columns_;
    QVector<Line> lines_;
};

// The columns keep the widths the program gives them (the user cannot change them), but
// each is at least as wide as its header and its widest text need in the list's own font,
// style and screen, and never narrower than its twips; the last column takes the room the
// others leave. The widths follow changes of the font, the style and the screen.
class ListView : public QTreeView {
    Q_OBJECT
public:
    ListView(const QString& name, QVector<ListViewModel::Column> columns,
             QWidget* parent = nullptr);

    // The least width of a column, in pixels.
    int leastWidth(int column) const;
    // The least widths of all columns together: what the list must show without scrolling.
    int leastColumnsWidth() const;

    ListViewModel* listModel() const { return model_; }
    int count() const { return model_->rowCount(); }
    void clear() { model_->clear(); }
    // Subitem index of the column with this key (the item text is 0); -1 when none.
    int subItemIndex(const QString& key) const;
    // Text of the line's item (subitem 0) or of one of its subitems.
    QString text(int row, int subItem) const;
    QColor foreColor(int row, int subItem) const;
    // The selected line, -1 when none.
    int selectedRow() const;

signals:
    // A click anywhere on the list, on a line or not (the list's click handler).
    void listClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sets every column to its least width and gives the last one what remains.
    void fitColumns();
    void fitLastColumn();
    // Follows the logical resolution of the screen the list is on.
    void watchScreen();

    ListViewModel* model_;
    QMetaObject::Connection screenWatch_;
};

}  // namespace platform
