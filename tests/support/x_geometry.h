// What a test reads back of a window's place from the X server.
#pragma once

// The platform's names first: Xlib's macros (None...) would clash with them.
#include "platform/base/win32_types.h"

#include <X11/Xlib.h>

namespace zem::testing {

// The window's rectangle on the screen (root coordinates), as the server has it.
inline RECT RootRect(Display* display, ::Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return RECT{x, y, x + attributes.width, y + attributes.height};
}

}  // namespace zem::testing
