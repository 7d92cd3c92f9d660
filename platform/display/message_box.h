// The message box a person answers: a framed window with the icon, the text
// and the buttons its flags ask for, shown while a nested loop runs (other
// windows keep painting) until a button is chosen.
#pragma once

#include <string>
#include <vector>

#include "platform/base/win32_types.h"

namespace zem::platform {

struct MessageBoxLayout {
    SIZE size{};                 // the window's
    RECT icon{};                 // empty without an icon
    RECT text{};
    std::vector<RECT> buttons;   // in window coordinates, left to right
    std::vector<int> results;    // vbOK... of each button
    std::vector<std::string> captions;
    int defaultIndex = 0;        // chosen by Enter
    int cancelResult = 0;        // what Escape and the window's close answer; 0 = they do nothing
};

// The layout of a box of `flags` (buttons, icon, default button) whose text,
// broken into lines, takes `textSize`.
MessageBoxLayout LayOutMessageBox(int flags, SIZE textSize);

// The buttons of a box being shown (`box` of the class "ZemMessageBox"), in
// its window coordinates; empty for any other window.
std::vector<RECT> MessageBoxButtons(HWND box);

// Shows the box (`text` and `title` in UTF-8) and returns the button chosen.
int ShowMessageBoxWindow(const std::string& text, const std::string& title, int flags);

}  // namespace zem::platform
