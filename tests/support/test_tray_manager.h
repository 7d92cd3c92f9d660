// A system-tray manager of the test's own on a virtual X server: it owns the
// tray selection, takes the dock requests and embeds the icons into its
// window at the tray's left end, as a desktop's tray would.
#pragma once

#include <X11/Xlib.h>

namespace zem::testing {

class TestTrayManager {
public:
    explicit TestTrayManager(Display* display) : display_(display) {
        const ::Window root = DefaultRootWindow(display);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = 0x202020;
        window_ = XCreateWindow(display, root, 800, 730, 200, 30, 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow(display, window_);
        XSetSelectionOwner(display, XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False), window_, CurrentTime);
        XSync(display, False);
    }
    ~TestTrayManager() { XDestroyWindow(display_, window_); }
    TestTrayManager(const TestTrayManager&) = delete;
    TestTrayManager& operator=(const TestTrayManager&) = delete;

    // The icon window asked to dock, embedded at the tray's left end; 0 while none asked.
    ::Window TakeDockRequest() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == ClientMessage &&
                event.xclient.message_type == XInternAtom(display_, "_NET_SYSTEM_TRAY_OPCODE", False) &&
                event.xclient.data.l[1] == 0) {
                const auto icon = static_cast<::Window>(event.xclient.data.l[2]);
                XReparentWindow(display_, icon, window_, 0, 0);
                XMapWindow(display_, icon);
                XSync(display_, False);
                return icon;
            }
        }
        return 0;
    }

private:
    Display* display_;
    ::Window window_;
};

}  // namespace zem::testing
