// The pop-up menu a person answers: a window at the asked place with its
// items, separators ("-"), check marks and disabled items; hover, a click,
// the arrow keys and Enter choose, Escape or a press outside closes it.
#pragma once

#include <string>
#include <vector>

#include "platform/base/win32_types.h"

namespace zem::platform {

struct MenuWindowItem {
    std::string caption;  // UTF-8; "-" is a separator
    bool enabled = true;
    bool checked = false;
};

// Shows the menu with its top-left corner at `at` (screen) and waits in a
// nested loop; the index of the item chosen, or -1 when it closed without one.
int ShowMenuWindow(const std::vector<MenuWindowItem>& items, POINT at);

// The rows of a menu being shown (of the class "ZemPopupMenu"), in its window
// coordinates; empty for any other window.
std::vector<RECT> MenuWindowRows(HWND menu);

}  // namespace zem::platform
