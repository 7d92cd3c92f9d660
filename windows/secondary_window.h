// What the player's skinned secondary windows share: the drag from their own
// surface, their 1-pixel frame lines and their two buttons' design.
#pragma once

#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace zem::windows {

// A press of any button on a drag surface moves the window: the custom
// pointer (with no picture, so nothing visible changes), the capture
// released, then the system's move loop (WM_SYSCOMMAND 0xF012).
void DragWindow(forms::Form& form);

// Lines of a frame along the window's edges, in pixels from `top` down: the
// top line from (0, top) to (W, top), the left from (0, top) to (0, H), the
// right from (W - 1, top) to (W - 1, H), the bottom from (0, H - 1) to (W - 1, H - 1).
void PlaceFrameLines(forms::Form& form, int top, forms::Line& topLine, forms::Line& left, forms::Line& right,
                     forms::Line& bottom);

// The two buttons at the foot and in the title of the settings and about
// windows, each with its two looks (rest, under the pointer) kept hidden: the
// design pictures "<window>.Image2"... placed as both windows have them.
struct ButtonLooks {
    forms::Image& footButton;   // Image2, with Image3 and Image4
    forms::Image& footRest;
    forms::Image& footHover;
    forms::Image& titleButton;  // Image5, with Image6 and Image7
    forms::Image& titleRest;
    forms::Image& titleHover;
};
void DesignButtonLooks(const std::string& window, const ButtonLooks& looks);

}  // namespace zem::windows
