#include "platform/controls/combo_box.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringListModel>

#include "base/text.h"

namespace platform {

namespace {

// The items of a combo box: the list and the edit text (both roles a combo box reads) get
// the start of a long item; the whole item is kept.
class ItemModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole || role == Qt::EditRole) {
            const QVariant whole = QStringListModel::data(index, Qt::DisplayRole);
            if (!whole.isValid()) {
                return whole;
            }
            return base::shownText(whole.toString(), ComboBox::kShownChars);
        }
        return QStringListModel::data(index, role);
    }
};

}  // namespace

ComboBox::ComboBox(const QString& name, Style style, QWidget* parent)
    : QComboBox(parent), style_(style), model_(new ItemModel(this)) {
    setObjectName(name);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(4);
    setModel(model_);
    if (style_ == Style::DropDownCombo) {
        setEditable(true);
        // QComboBox takes edit text that equals an entry for a pick of that entry when the
        // editing ends (editingFinished: Enter, or the focus leaving the box), and the pick
        // would start a query. Entries are picked in the list only, so the box brackets that
        // handling: its own line edit is connected before QComboBox connects it, and once
        // more after; in between, a pick is undone and not reported. Checked on Qt 6.4.2
        // (Debian's, and the Windows build); tst_platform's leaving and Enter rows fail if
        // a Qt reports such a pick another way.
        auto* edit = new QLineEdit(this);
        connect(edit, &QLineEdit::editingFinished, this, &ComboBox::editingEnds);
        setLineEdit(edit);
        connect(edit, &QLineEdit::editingFinished, this, &ComboBox::editingEnded);
        setInsertPolicy(QComboBox::NoInsert);
        // No inline completion: typing 12 must not turn into a stored entry.
        setCompleter(nullptr);
    }
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, &ComboBox::onActivated);
}

void ComboBox::editingEnds() {
    editingEnding_ = true;
    indexBeforeEditingEnded_ = currentIndex();
    textBeforeEditingEnded_ = lineEdit()->text();
}

void ComboBox::editingEnded() {
    if (!editingEnding_) {
        return;
    }
    editingEnding_ = false;
    if (currentIndex() != indexBeforeEditingEnded_) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(indexBeforeEditingEnded_);
        setEditText(textBeforeEditingEnded_);
    }
}

void ComboBox::onActivated(int) {
    if (!editingEnding_) {
        emit clicked();
    }
}

void ComboBox::appendItem(const QString& text) {
    appendItems(QStringList{text});
}

void ComboBox::appendItems(const QStringList& texts) {
    if (texts.isEmpty()) {
        return;
    }
    changeItems(currentIndex(), [this, &texts] {
        const int first = model_->rowCount();
        model_->insertRows(first, static_cast<int>(texts.size()));
        for (int i = 0; i < texts.size(); ++i) {
            model_->setData(model_->index(first + i), texts.at(i), Qt::DisplayRole);
        }
    });
}

void ComboBox::replaceItems(const QStringList& texts) {
    changeItems(-1, [this, &texts] { model_->setStringList(texts); });
}

void ComboBox::clearList() {
    replaceItems({});
    if (style_ == Style::DropDownCombo) {
        const QSignalBlocker blocker(this);
        setEditText(QString());
    }
}

void ComboBox::changeItems(int index, const std::function<void()>& change) {
    const QString editText = style_ == Style::DropDownCombo ? currentText() : QString();
    const QSignalBlocker blocker(this);
    change();
    setCurrentIndex(index);
    if (style_ == Style::DropDownCombo) {
        setEditText(editText);
    }
}

QStringList ComboBox::items() const {
    return model_->stringList();
}

QString ComboBox::item(int index) const {
    const QStringList& all = model_->stringList();
    return index >= 0 && index < all.size() ? all.at(index) : QString();
}

QString ComboBox::text() const {
    return style_ == Style::DropDownCombo ? currentText() : item(currentIndex());
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= count()) {
        return;
    }
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
    emit clicked();
}

void ComboBox::setText(const QString& text) {
    if (style_ == Style::DropDownCombo) {
        setEditText(text);
        return;
    }
    const int index = static_cast<int>(model_->stringList().indexOf(text));
    if (index >= 0) {
        setListIndex(index);
    }
}

}  // namespace platform
