#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

class QStringListModel;

namespace platform {

// A drop-down list (the user picks, cannot type) or a drop-down combo (editable text with
// a list). The click handler (`clicked`) runs on every selection change, whoever makes it:
// the user's pick in the list (also of the entry already selected), setting the list index,
// or setting the text to an item's text. A text that equals no item leaves the selection
// alone. Appending items never changes the selection or the edit text.
//
// In a drop-down combo, typing is never a pick: leaving the edit text (Tab, a click
// elsewhere, Enter) with text that equals an entry selects nothing and runs no handler.
//
// Items stay whole in the program (`items`, `item`, `text` of a drop-down list), but what the
// box shows of one, in its list and in the edit text a pick puts there, is at most its first
// kShownChars characters: a damaged history file can hold an entry of megabytes, and
// laying it out would freeze the window for seconds.
//
// The box is as wide as minimumContentsLength() characters (4 unless set) and an icon, not
// as its widest item: a list of 127 Chinese names (or 360 numbers) would otherwise be laid
// out item by item to size the box.
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

signals:
    // The list's click handler.
    void clicked();

private:
    void onActivated(int index);
    // Runs `change` on the items, then selects `index` and gives an editable box its text
    // back: Qt would select the first item added to an empty box and put it into the text
    // (Qt 6.4.2), replacing the number the user typed.
    void changeItems(int index, const std::function<void()>& change);
    // The edit text's end (Tab, a click elsewhere, Enter): before and after QComboBox's own
    // handling, which takes text equal to an entry for a pick of it.
    void editingEnds();
    void editingEnded();

    Style style_;
    QStringListModel* model_;
    // While the edit text's end is handled: the selection and the text before it.
    bool editingEnding_ = false;
    int indexBeforeEditingEnded_ = -1;
    QString textBeforeEditingEnded_;
};

}  // namespace platform
