// What a test reads back of a window's place from the X server.
#pragma once

// The platform's names first: Xlib's macros (None...) would clash with them.
#include "platform/base/win32_types.h"

#include <X11/Xlib.h>

#include <optional>

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

// The largest window shown on the server (a program's main window), or nothing.
inline std::optional<XWindowAttributes> LargestShownWindow(Display* display) {
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    std::optional<XWindowAttributes> largest;
    for (unsigned index = 0; index < count; ++index) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[index], &attributes) == 0 || attributes.map_state != IsViewable)
            continue;
        if (!largest || attributes.width * attributes.height > largest->width * largest->height) largest = attributes;
    }
    if (children != nullptr) XFree(children);
    return largest;
}

}  // namespace zem::testing
