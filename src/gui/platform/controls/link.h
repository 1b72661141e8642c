#pragma once

#include <functional>

class QWidget;

namespace platform {

// Makes a widget that takes no input by itself (a label) a link: it shows a pointing hand,
// and a click on it (press and release of the left button over it) runs `activate`. It also
// joins the tab order, shows its focus by an underline, and Enter, Return or Space run
// `activate` as a click does.
void makeLink(QWidget* widget, std::function<void()> activate);

}  // namespace platform
