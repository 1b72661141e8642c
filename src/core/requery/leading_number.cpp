#include "requery/leading_number.h"

#include <algorithm>

namespace requery {

int leadingNumber(const QString& text) {
    int i = 0;
    while (i < text.size() && text.at(i).isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            break;
        }
        // Far beyond any hour, minute or interval: saturate rather than overflow.
        value = std::min<qint64>(value * 10 + (c.unicode() - '0'), 1000000000);
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace requery
