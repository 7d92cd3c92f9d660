// The runtime's tooltip: one small top-most window that shows the
// ToolTipText of the control the pointer rests on (or the tip of a tray
// icon). It appears after the pointer has rested on the control for a
// moment, follows changes of the text while it shows, and goes when the
// pointer leaves the control, a button is pressed, or after a few seconds.
#pragma once

#include <functional>
#include <string>

#include "platform/base/win32_types.h"

namespace zem::forms {

class Control;

inline constexpr UINT ToolTipInitialDelay = 500;   // ms of rest before the tip shows
inline constexpr UINT ToolTipShowTime = 5000;      // ms a tip stays without a move away
inline constexpr UINT ToolTipLeaveCheck = 100;     // ms between checks that the pointer is still there

// The pointer moved, without a button held, over a control (null: over
// nothing that has a tip of its own). `window` is the window that got the
// move: the control's own window, or its container's for a windowless one.
void ToolTipPointerOver(const Control* control, HWND window);
// A mouse button went down: the tip goes and stays away until the pointer
// reaches another control.
void ToolTipButtonPressed();
// The control is going away.
void ToolTipForget(const Control* control);

// The pointer moved, without a button held, over something of the program's
// that is no control (a tray icon docked in the desktop's tray): `owner`
// names it, `text` gives its tip, `pointerThere` tells whether the pointer
// still rests on it. The tip shows and goes as a control's does.
void ToolTipPointerOverArea(const void* owner, std::function<std::string()> text,
                            std::function<bool()> pointerThere);
// The pointer left it, or it is going away: its tip goes at once.
void ToolTipLeaveArea(const void* owner);

// The tip on the screen: its window, or null when none shows; its text.
HWND ShownToolTipWindow();
std::string ShownToolTipText();

}  // namespace zem::forms
