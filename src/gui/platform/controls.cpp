#include "platform/controls.h"

#include <QFontDatabase>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRawFont>
#include <QResizeEvent>
#include <QScreen>
#include <QStringListModel>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "platform/clock.h"

namespace platform {

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    return label;
}

namespace {

// Characters' design advances, read from the horizontal metrics ('hhea' and 'hmtx' tables)
// of the font that holds them: the label's own font, else its Chinese fallback, with the
// font's stretch. No glyph is loaded. A character neither holds, a font without the tables
// or one with letter or word spacing gives no advance.
class DesignAdvances {
public:
    explicit DesignAdvances(const QFont& font)
        : faces_{Face(QRawFont::fromFont(font), font),
                 Face(QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese), font)} {}

    std::optional<qreal> of(QChar ch) const {
        for (const Face& face : faces_) {
            if (face.holds(ch)) {
                return face.advance(ch);
            }
        }
        return std::nullopt;
    }

private:
    class Face {
    public:
        // `font`: the font drawn with, for its stretch and spacing (the tables do not give
        // the advances of a spaced font).
        Face(QRawFont raw, const QFont& font) : raw_(std::move(raw)) {
            if (!raw_.isValid() || raw_.unitsPerEm() <= 0 || font.letterSpacing() != 0 ||
                font.wordSpacing() != 0) {
                return;
            }
            const QByteArray header = raw_.fontTable("hhea");
            metrics_ = raw_.fontTable("hmtx");
            constexpr int kMetricsCountAt = 34;  // numberOfHMetrics, in 'hhea'
            if (header.size() >= kMetricsCountAt + 2) {
                count_ = qFromBigEndian<quint16>(header.constData() + kMetricsCountAt);
            }
            count_ = std::min<qsizetype>(count_, metrics_.size() / 4);
            scale_ = raw_.pixelSize() / raw_.unitsPerEm();
            // A stretched font is drawn wider or narrower than its design.
            const int stretch = font.stretch();
            if (stretch != QFont::AnyStretch && stretch != QFont::Unstretched) {
                scale_ *= stretch / 100.0;
            }
        }

        bool holds(QChar ch) const { return count_ > 0 && raw_.supportsCharacter(ch); }

        // Glyphs past the last metric share its advance.
        std::optional<qreal> advance(QChar ch) const {
            quint32 glyph = 0;
            int glyphCount = 1;
            if (!raw_.glyphIndexesForChars(&ch, 1, &glyph, &glyphCount) || glyphCount != 1 ||
                glyph == 0) {
                return std::nullopt;
            }
            const qsizetype entry = std::min<qsizetype>(glyph, count_ - 1);
            return qFromBigEndian<quint16>(metrics_.constData() + 4 * entry) * scale_;
        }

    private:
        QRawFont raw_;
        QByteArray metrics_;
        qsizetype count_ = 0;
        qreal scale_ = 0;
    };

    Face faces_[2];
};

// The widest of `texts` by its advance in `font`, or null for none. Measuring a text loads
// and hints each of its glyphs, which for a few hundred Chinese characters takes
// milliseconds. So the texts are ranked by an estimate first, the sum of their characters'
// design advances (each character looked up once), and only the texts whose estimate comes
// within a line height of the widest measured so far are measured in `font`. A text with a
// character that has no design advance (outside the Basic Multilingual Plane, or in neither
// font) is always measured.
const QString* widestText(const QFont& font, const QStringList& texts) {
    const DesignAdvances design(font);
    constexpr qreal kUnknown = std::numeric_limits<qreal>::infinity();
    QHash<QChar, qreal> advances;
    std::vector<std::pair<qreal, const QString*>> ranked;
    ranked.reserve(static_cast<size_t>(texts.size()));
    for (const QString& text : texts) {
        qreal estimate = 0;
        for (const QChar ch : text) {
            auto known = advances.constFind(ch);
            if (known == advances.constEnd()) {
                known = advances.insert(
                    ch, ch.isSurrogate() ? kUnknown : design.of(ch).value_or(kUnknown));
            }
            estimate += *known;
            if (estimate == kUnknown) {
                break;
            }
        }
        ranked.emplace_back(estimate, &text);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });

    const QFontMetrics metrics(font);
    const qreal margin = metrics.height();
    const QString* widest = nullptr;
    int widestAdvance = -1;
    for (const auto& [estimate, text] : ranked) {
        if (estimate + margin < widestAdvance) {
            break;
        }
        const int advance = metrics.horizontalAdvance(*text);
        if (advance > widestAdvance) {
            widestAdvance = advance;
            widest = text;
        }
    }
    return widest;
}

// The least width of a label for the widest of its texts; recomputed when the label's
// font, style or screen changes.
class WidthReserve : public QObject {
public:
    WidthReserve(QLabel* label, QStringList texts)
        : QObject(label), label_(label), texts_(std::move(texts)), floor_(label->minimumWidth()) {
        label->installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == label_ &&
            (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
             event->type() == QEvent::ScreenChangeInternal)) {
            apply();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void apply() {
        const QString* widest = widestText(label_->font(), texts_);
        if (widest == nullptr) {
            return;
        }
        QLabel probe;
        probe.setStyle(label_->style());
        probe.setFont(label_->font());
        probe.setFrameStyle(label_->frameStyle());
        probe.setLineWidth(label_->lineWidth());
        probe.setMidLineWidth(label_->midLineWidth());
        probe.setContentsMargins(label_->contentsMargins());
        probe.setMargin(label_->margin());
        probe.setIndent(label_->indent());
        probe.setAlignment(label_->alignment());
        probe.setTextFormat(Qt::PlainText);
        probe.setText(*widest);
        label_->setMinimumWidth(std::max(floor_, probe.sizeHint().width()));
    }

    QLabel* label_;
    QStringList texts_;
    int floor_;
};

}  // namespace

void reserveWidthFor(QLabel* label, const QStringList& texts) {
    if (label != nullptr) {
        new WidthReserve(label, texts);
    }
}

void setForeColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

QColor foreColor(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}

int twipsToPixels(int twips, const QWidget* widget) {
    return twipsToPixelsAt(twips, widget ? widget->logicalDpiX() : 96);
}

// ---------------------------------------------------------------------------------------
// ComboBox

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
            return shownText(whole.toString(), ComboBox::kShownChars);
        }
        return QStringListModel::data(index, role);
    }
};

}  // namespace

// The popup: Qt makes it (a frame with the list view, its delegate and scrollers) the first
// time something calls for it. Showing the list and view() do, rightly; but so do, with
// nothing to show, setSizeAdjustPolicy() and setMinimumContentsLength() under the
// contents-length policy (to start a resize timer only AdjustToContents uses),
// setEditable() (to refresh the popup's delegate and margins) and a font change (to hand the
// popup the font). Each box of the main window would make its popup at start-up, and most
// are never opened. So the box keeps Qt's default size policy and
//  - computes its sizes itself, as Qt does for AdjustToMinimumContentsLengthWithIcon
//    (sizeHint), so the default policy's measuring of the items never runs;
//  - becomes editable the way setEditable(true) does, without the popup's refresh: the
//    popup made later is made for an editable box (constructor);
//  - takes a font change without a popup itself: the popup made later inherits the font
//    (changeEvent).
// A style change and setIconSize() still make the popup: QComboBox's handling of them needs
// it, and the program makes neither.

ComboBox::ComboBox(const QString& name, Style style, QWidget* parent)
    : QComboBox(parent), style_(style), model_(new ItemModel(this)) {
    setObjectName(name);
    setModel(model_);
    setMinimumContentsLength(4);
    if (style_ == Style::DropDownCombo) {
        // setEditable(true) but for the popup's refresh.
        auto* edit = new QLineEdit(this);
        edit->setPalette(palette());
        setLineEdit(edit);
        if (!testAttribute(Qt::WA_Resized)) {
            adjustSize();
        }
        setInsertPolicy(QComboBox::NoInsert);
        // No inline completion: typing 12 must not turn into a stored entry.
        setCompleter(nullptr);
        // Qt takes typed text that equals an item for a pick of that item when the editing
        // ends (Enter, or the focus leaving the box). Entries are picked in the list only.
        const bool unhooked =
            disconnect(lineEdit(), SIGNAL(editingFinished()), this, SLOT(_q_editingFinished()));
        Q_ASSERT(unhooked);
        Q_UNUSED(unhooked);
    }
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, &ComboBox::onActivated);
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

void ComboBox::onActivated(int) {
    emit clicked();
}

QSize ComboBox::sizeHint() const {
    const int length = minimumContentsLength();
    const QSize icons = iconSize();
    if (sized_.length == length && sized_.icons == icons) {
        return sized_.size;
    }
    // Room for the characters and an icon (none at all for 0 characters: the width stays
    // the -1 of an unset size, as in Qt), the text's or the icon's height, and around them
    // what the style draws.
    const QFontMetrics metrics = fontMetrics();
    QSize size;
    if (length > 0) {
        size.setWidth(length * metrics.horizontalAdvance(QLatin1Char('X')) + icons.width() + 4);
    }
    if (!placeholderText().isEmpty()) {
        size.setWidth(std::max(size.width(), metrics.boundingRect(placeholderText()).width()));
    }
    size.setHeight(std::max({qCeil(QFontMetricsF(metrics).height()), 14, icons.height()}) + 2);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    sized_ = {length, icons,
              QWidget::style()->sizeFromContents(QStyle::CT_ComboBox, &option, size, this)};
    return sized_.size;
}

QSize ComboBox::minimumSizeHint() const {
    return ComboBox::sizeHint();
}

void ComboBox::setMinimumContentsLength(int characters) {
    const int before = minimumContentsLength();
    QComboBox::setMinimumContentsLength(characters);
    if (minimumContentsLength() != before) {
        updateGeometry();
    }
}

void ComboBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        sized_ = {};
    }
    if (event->type() == QEvent::FontChange && !hasPopup()) {
        // All QComboBox does for a font but hand it to the popup: place the edit field
        // again (its resizeEvent does only that) and QWidget's part.
        if (lineEdit()) {
            QResizeEvent resize(size(), size());
            QComboBox::resizeEvent(&resize);
        }
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}

bool ComboBox::hasPopup() const {
    // The popup is the only child of a combo box that is a window of its own.
    const QObjectList& children = this->children();
    return std::any_of(children.begin(), children.end(), [](const QObject* child) {
        return child->isWidgetType() && static_cast<const QWidget*>(child)->isWindow();
    });
}

// ---------------------------------------------------------------------------------------
// StatusBar

StatusBar::StatusBar(const QString& name, int panelCount, QWidget* parent, int stretchingPanel)
    : QStatusBar(parent) {
    setObjectName(name);
    setSizeGripEnabled(false);
    for (int i = 1; i <= panelCount; ++i) {
        QLabel* panel = makeLabel(QStringLiteral("%1_Panel%2").arg(name).arg(i), QString(), this);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        addWidget(panel, i == stretchingPanel ? 1 : 0);
        panels_.append(panel);
    }
}

QLabel* StatusBar::panel(int position) const {
    if (position < 1 || position > panels_.size()) {
        return nullptr;
    }
    return panels_.at(position - 1);
}

QString StatusBar::panelText(int position) const {
    QLabel* p = panel(position);
    return p ? p->text() : QString();
}

void StatusBar::setPanelText(int position, const QString& text) {
    if (QLabel* p = panel(position)) {
        p->setText(text);
    }
}

void StatusBar::makeClockPanel(int position, const Clock* clock) {
    clockPanel_ = position;
    clock_ = clock;
    auto* ticker = new QTimer(this);
    ticker->setInterval(1000);
    connect(ticker, &QTimer::timeout, this, &StatusBar::updateClock);
    ticker->start();
    updateClock();
}

void StatusBar::updateClock() {
    if (clock_ != nullptr) {
        setPanelText(clockPanel_, clock_->now().time().toString(QStringLiteral("HH:mm:ss")));
    }
}

// ---------------------------------------------------------------------------------------
// ListViewModel / ListView

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
            return column < line.cells.size() ? shownText(line.cells.at(column), kShownChars)
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

namespace {

// The list's header. Qt measures a header's captions in bold, the font a caption is drawn in
// when its column holds the selection and the header highlights it. For the header alone
// that loaded a bold face and a synthetic bold of the Chinese fallback at start-up, shown
// nowhere. This header never highlights, so it measures each caption in the font it is
// drawn in. The list's model gives captions only: no font, icon or size of their own.
class ListHeader : public QHeaderView {
public:
    explicit ListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setHighlightSections(false);
        // As a tree view sets up its own header.
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override {
        if (highlightSections() || model() == nullptr) {
            return QHeaderView::sectionSizeFromContents(logicalIndex);
        }
        ensurePolished();
        QStyleOptionHeaderV2 option;
        initStyleOption(&option);
        option.section = logicalIndex;
        option.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        QSize size = style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
        if (isSortIndicatorShown()) {
            const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &option, this);
            size.rwidth() += size.height() + margin;
        }
        return size;
    }
};

}  // namespace

ListView::ListView(const QString& name, QVector<ListViewModel::Column> columns, QWidget* parent)
    : QTreeView(parent), model_(new ListViewModel(std::move(columns), this)) {
    setObjectName(name);
    setHeader(new ListHeader(this));
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

namespace {

// `text` with every digit replaced by the digit that is widest in `metrics`.
QString withWidestDigits(const QString& text, const QFontMetrics& metrics) {
    QChar widest = u'0';
    int widestAdvance = -1;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
        const int advance = metrics.horizontalAdvance(QChar(digit));
        if (advance > widestAdvance) {
            widestAdvance = advance;
            widest = QChar(digit);
        }
    }
    QString result = text;
    for (QChar& ch : result) {
        if (ch >= u'0' && ch <= u'9') {
            ch = widest;
        }
    }
    return result;
}

}  // namespace

int ListView::leastWidth(int column) const {
    const auto& cols = model_->columns();
    if (column < 0 || column >= cols.size()) {
        return 0;
    }
    int width = std::max(twipsToPixels(cols.at(column).widthTwips, this),
                         header()->sectionSizeHint(column));
    const QString& widest = cols.at(column).widestText;
    if (!widest.isEmpty()) {
        // Measured as a cell of the list: through its delegate, with the options it paints
        // with, so the style's cell margins count too.
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QStringListModel sample(QStringList{withWidestDigits(widest, option.fontMetrics)});
        QAbstractItemDelegate* delegate = itemDelegateForColumn(column);
        if (delegate == nullptr) {
            delegate = itemDelegate();
        }
        width = std::max(width, delegate->sizeHint(option, sample.index(0)).width());
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

namespace {

class LinkActivation : public QObject {
public:
    LinkActivation(QWidget* widget, std::function<void()> activate)
        : QObject(widget), activate_(std::move(activate)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
                break;
            case QEvent::MouseButtonRelease: {
                // A click: pressed and released over the widget; dragging off it is none.
                auto* mouse = static_cast<QMouseEvent*>(event);
                const bool click = pressed_ && mouse->button() == Qt::LeftButton &&
                                   widget->rect().contains(mouse->position().toPoint());
                pressed_ = false;
                if (click) {
                    activate_();
                    return true;
                }
                break;
            }
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                    activate_();
                    return true;
                }
                break;
            }
            case QEvent::FocusIn:
            case QEvent::FocusOut: {
                QFont font = widget->font();
                font.setUnderline(event->type() == QEvent::FocusIn);
                widget->setFont(font);
                break;
            }
            default:
                break;
        }
        return false;
    }

private:
    std::function<void()> activate_;
    bool pressed_ = false;
};

}  // namespace

void makeLink(QWidget* widget, std::function<void()> activate) {
    widget->setCursor(Qt::PointingHandCursor);
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(new LinkActivation(widget, std::move(activate)));
}

}  // namespace platform
