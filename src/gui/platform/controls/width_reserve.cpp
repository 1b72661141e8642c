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

WidthReserve::WidthReserve(QLabel* label, QStringList texts, Digits digits)
    : QObject(label),
      label_(label),
      texts_(std::move(texts)),
      digits_(digits),
      floor_(label->minimumWidth()) {
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
// line height of the widest measured so far are measured whole, as they are drawn (which
// can be a pixel more than their advance). A text with a character beyond 16 bits is always
// measured.
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
    int widestDrawn = -1;
    for (const auto& [estimate, text] : ranked) {
        if (estimate != kAlwaysMeasure && estimate + metrics.height() < widestDrawn) {
            break;
        }
        const int drawn = metrics.boundingRect(QRect(), 0, *text).width();
        if (drawn > widestDrawn) {
            widestDrawn = drawn;
            widest = text;
        }
    }
    return widest;
}

bool isDigit(QChar ch) {
    return ch >= u'0' && ch <= u'9';
}

}  // namespace

QStringList widestDigitVariants(const QString& pattern, const QFontMetrics& metrics) {
    qsizetype last = pattern.size() - 1;
    while (last >= 0 && !isDigit(pattern.at(last))) {
        --last;
    }
    if (last < 0) {
        return {pattern};
    }
    QString widest;
    int widestAdvance = -1;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
        QString filled = pattern;
        for (QChar& ch : filled) {
            if (isDigit(ch)) {
                ch = QChar(digit);
            }
        }
        const int advance = metrics.horizontalAdvance(filled);
        if (advance > widestAdvance) {
            widestAdvance = advance;
            widest = filled;
        }
    }
    QStringList variants;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
        widest[last] = QChar(digit);
        variants.append(widest);
    }
    return variants;
}

void WidthReserve::apply() {
    const QFontMetrics metrics(label_->font());
    QStringList texts;
    if (digits_ == Digits::AnyDigit) {
        for (const QString& pattern : texts_) {
            texts.append(widestDigitVariants(pattern, metrics));
        }
    } else {
        texts = texts_;
    }
    const QString* widest = widestText(metrics, texts);
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

void reserveWidthFor(QLabel* label, const QStringList& texts, Digits digits) {
    if (label != nullptr) {
        new WidthReserve(label, texts, digits);
    }
}

}  // namespace platform
