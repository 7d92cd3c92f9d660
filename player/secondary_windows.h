// What the main window shows of the player's secondary windows: the guest-book
// window and the page menu. They live above the player's library (the start-up
// and menu windows show the main window), so the program registers them once
// at its start and the main window reaches them through this record. Before
// registration (a test of the main window alone) each does nothing.
#pragma once

#include <functional>

namespace zem::forms {
class Form;
}

namespace zem::player {

struct SecondaryWindows {
    // Shows the guest-book window modeless, owned by `owner`.
    std::function<void(zem::forms::Form& owner)> showGuestBook;
    // Pops up the page menu over the main window at the pointer.
    std::function<void()> popupPageMenu;
};

void RegisterSecondaryWindows(SecondaryWindows windows);
const SecondaryWindows& RegisteredSecondaryWindows();

}  // namespace zem::player
