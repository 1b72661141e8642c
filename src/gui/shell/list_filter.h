#pragma once

namespace platform {
class ListView;
}

namespace shell {

// Keeps the list's column widths as the program set them: the user can neither drag a
// column divider nor double-click it to fit the column. Selection, scrolling, clicks and
// header clicks work as before. Installed once, for the life of the list.
void installListFilter(platform::ListView* list);

}  // namespace shell
