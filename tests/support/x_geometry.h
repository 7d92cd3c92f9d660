// What a test reads back of a window from the X server: its place, its mapping.
#pragma once

// The platform's names first: Xlib's macros (None...) would clash with them.
#include "platform/base/win32_types.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
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

// The first top-level X window of this size to be mapped, waiting at most `milliseconds`.
inline std::optional<::Window> WaitForMappedWindow(Display* display, int width, int height, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xmap.window, &attributes) && attributes.width == width &&
                attributes.height == height)
                return event.xmap.window;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(std::max<long>(left.count(), 0)));
    }
    return std::nullopt;
}

}  // namespace zem::testing
