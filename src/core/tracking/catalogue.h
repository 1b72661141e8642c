#pragma once

#include <QString>
#include <QStringList>

namespace tracking {

// One courier of the catalogue: the code the tracking service knows it by and the name
// the user sees.
struct CourierEntry {
    const char* code;  // ASCII
    const char* name;  // UTF-8
};

inline constexpr int kCourierCount = 127;

// Position 0..126; positions are the selector's positions.
const CourierEntry& courierAt(int position);
// The API code at a position; empty for a position outside the catalogue.
QString courierCode(int position);
QString courierName(int position);
// The display names in selector order.
QStringList courierNames();

}  // namespace tracking
