#include "platform/controls/width_reserve.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace platform {

WidthReserve::WidthReserve(QLabel* label, QStringList texts)
    : QObject(label), label_(label), texts_(std::move(texts)), floor_(label->minimumWidth()) {
    label->installEventFilter(this);
    if (label->testAttribute(Qt::WA_WState_Polished)) {
        apply();
    }
}

bool WidthReserve::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ &&
        (event->type() == QEvent::Polish || event->type() == QEvent::FontChange ||
         event->type() == QEvent::StyleChange)) {
        apply();
    }
    return QObject::eventFilter(watched, event);
}

namespace {

// The widest of `texts` in `metrics`, or null for none. Measuring a text shapes it and
// loads each of its glyphs, which for the few hundred Chinese characters of a status line
// takes milliseconds at start-up. So each text is first given an estimate: its characters'
// advances measured one by one, every Han character taken as wide as one of them (a Chinese
// font draws them all in the same square). Only the texts whose estimate comes within a
// line height of the widest measured so far are measured whole. A text with a character
// beyond 16 bits is always measured.
const QString* widestText(const QFontMetrics& metrics, const QStringList& texts) {
    constexpr int kAlwaysMeasure = std::numeric_limits<int>::max();
    const int han = metrics.horizontalAdvance(QStringLiteral("中"));
    QHash<QChar, int> advances;
    std::vector<std::pair<int, const QString*>> ranked;
    ranked.reserve(static_cast<size_t>(texts.size()));
    for (const QString& text : texts) {
        int estimate = 0;
        for (const QChar ch : text) {
            if (ch.isSurrogate()) {
                estimate = kAlwaysMeasure;
                break;
            }
            if (ch.script() == QChar::Script_Han) {
                estimate += han;
                continue;
            }
            auto known = advances.constFind(ch);
            if (known == advances.constEnd()) {
                known = advances.insert(ch, metrics.horizontalAdvance(QString(ch)));
            }
            estimate += *known;
        }
        ranked.emplace_back(estimate, &text);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });

    const QString* widest = nullptr;
    int widestAdvance = -1;
    for (const auto& [estimate, text] : ranked) {
        if (estimate != kAlwaysMeasure && estimate + metrics.height() < widestAdvance) {
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

}  // namespace

void WidthReserve::apply() {
    const QString* widest = widestText(QFontMetrics(label_->font()), texts_);
    if (widest == nullptr) {
        return;
    }
    // The label's size for that text: a label set up as this one is, with that text.
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

void reserveWidthFor(QLabel* label, const QStringList& texts) {
    if (label != nullptr) {
        new WidthReserve(label, texts);
    }
}

}  // namespace platform
