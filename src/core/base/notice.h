#pragma once

#include <QString>

namespace base {

// A desktop notification, in plain text: whatever draws it shows these characters as they
// are. A later notice with the same key takes the place of one still shown.
struct Notice {
    QString key;
    QString summary;
    QString body;
};

}  // namespace base
