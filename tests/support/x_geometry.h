// What a test reads back of a window from the X server: its place, its name, its mapping.
#pragma once

// The platform's names first: Xlib's macros (None...) would clash with them.
#include "platform/base/win32_types.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>

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

// The window's _NET_WM_NAME (UTF-8); empty when it has none.
inline std::string WindowName(Display* display, ::Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 64, False,
                       XInternAtom(display, "UTF8_STRING", False), &type, &format, &count, &after, &data);
    std::string name = data != nullptr ? std::string(reinterpret_cast<char*>(data), count) : std::string();
    if (data != nullptr) XFree(data);
    return name;
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
