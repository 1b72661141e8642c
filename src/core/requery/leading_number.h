#pragma once

#include <QString>

namespace requery {

// The leading decimal number of a text ("15" → 15, "7分" → 7); a text that does not start
// with a digit, the empty text included, gives 0.
int leadingNumber(const QString& text);

}  // namespace requery
