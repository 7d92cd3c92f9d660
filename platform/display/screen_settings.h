// The desktop the program sees on an X screen, from what the screen's window
// manager announces. Free of Xlib, whose macros clash with the window system's names.
#pragma once

#include "platform/window/window_system.h"

namespace zem::platform::display {

// The desktop of a screen of `width` x `height` whose window manager announces
// `workArea` (x, y, width, height), or none (null).
DesktopSettings DesktopFromWorkArea(LONG width, LONG height, const long* workArea);

}  // namespace zem::platform::display
