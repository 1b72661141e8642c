#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTreeView>
#include <QVector>
#include <functional>

class QStringListModel;

#include "platform/text.h"

namespace platform {

class Clock;

// Gives a control its name: every control carries the name the program knows it by.
template <typename T, typename... Args>
T* makeNamed(const QString& name, Args&&... args) {
    T* widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

// A label that never interprets its text as rich text: texts from servers and files are
// shown exactly as they are.
QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent);
// Keeps `label` at least as wide as the widest of `texts` needs in the label's own font,
// frame and style, now and after every change of them, so that each of them shows whole
// wherever the label gets its least width. A least width set before stays the floor.
void reserveWidthFor(QLabel* label, const QStringList& texts);
void setForeColor(QWidget* widget, const QColor& color);
QColor foreColor(const QWidget* widget);

// Twips (1/1440 inch) to pixels at the screen's logical resolution.
int twipsToPixels(int twips, const QWidget* widget);

// A drop-down list (the user picks, cannot type) or a drop-down combo (editable text with
// a list). The click handler (`clicked`) runs on every selection change, whoever makes it:
// the user's pick (also of the entry already selected), setting the list index, or setting
// the text to an item's text. A text that equals no item leaves the selection alone.
// Appending items never changes the selection or the edit text.
//
// Items stay whole in the program (`items`, `item`, `text` of a drop-down list), but what the
// box shows of one, in its list and in the edit text a pick puts there, is at most its first
// kShownChars characters: a damaged history file can hold an entry of megabytes, and
// laying it out would freeze the window for seconds.
//
// The box is as wide as minimumContentsLength() characters (4 unless set) and an icon, not
// as its widest item: a list of 127 Chinese names (or 360 numbers) would be shaped item by
// item at start-up. Its popup list is made when it is first needed (the list opens, or
// view() is asked for), not with the box; see controls.cpp.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr qsizetype kShownChars = 1000;

    enum class Style { DropDownList, DropDownCombo };
    ComboBox(const QString& name, Style style, QWidget* parent = nullptr);

    Style style() const { return style_; }

    void appendItem(const QString& text);
    void appendItems(const QStringList& texts);
    // Replaces every item at once; the edit text stays as it was.
    void replaceItems(const QStringList& texts);
    // Empties the list; the text becomes empty too.
    void clearList();
    QStringList items() const;
    // The whole text of item `index`; empty when there is none.
    QString item(int index) const;

    int listIndex() const { return currentIndex(); }
    // Selects `index` (-1 clears the selection) and runs the click handler.
    void setListIndex(int index);

    // Drop-down list: the whole text of the selected item (empty when none). Drop-down
    // combo: the edit text.
    QString text() const;
    // Drop-down list: selects the item whose text equals `text` exactly and runs the click
    // handler; no such item leaves everything as it was. Drop-down combo: sets the edit text.
    void setText(const QString& text);

    // Both are the size Qt gives a box of the policy AdjustToMinimumContentsLengthWithIcon,
    // and both follow a change of the font, the style, the length or the icon size (Qt's
    // own minimumSizeHint() keeps its first value until the style changes).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Hides QComboBox's, which under Qt's default policy does not tell the layouts.
    void setMinimumContentsLength(int characters);

signals:
    // The list's click handler.
    void clicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    // Whether Qt has made the popup (the frame that holds the list view).
    bool hasPopup() const;
    void onActivated(int index);
    // Runs `change` on the items, keeping the selected position `index` and an editable
    // box's text: Qt would select the first item added to an empty box and put it into the
    // text.
    void changeItems(int index, const std::function<void()>& change);

    Style style_;
    QStringListModel* model_;
    // The size computed last, with the contents length and icon size it was computed for;
    // a font or style change forgets it.
    struct Sized {
        int length = -1;
        QSize icons;
        QSize size;
    };
    mutable Sized sized_;
};

// The status bar: panels addressed by position, counted from 1. One panel can be made a
// clock that shows the time of day by itself.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    // `stretchingPanel` (from 1; 0 for none) takes the width the others leave.
    StatusBar(const QString& name, int panelCount, QWidget* parent = nullptr,
              int stretchingPanel = 0);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    QString panelText(int position) const;
    void setPanelText(int position, const QString& text);
    QLabel* panel(int position) const;
    void makeClockPanel(int position, const Clock* clock);

private:
    void updateClock();

    QVector<QLabel*> panels_;
    int clockPanel_ = 0;
    const Clock* clock_ = nullptr;
};

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

namespace platform {

// Makes a widget that takes no input by itself (a label) a link: it shows a pointing hand,
// and a click on it (press and release of the left button over it) runs `activate`. It also
// joins the tab order, shows its focus by an underline, and Enter, Return or Space run
// `activate` as a click does.
void makeLink(QWidget* widget, std::function<void()> activate);

}  // namespace platform
