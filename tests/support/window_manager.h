// A window manager of the test's own on its virtual X server (openbox, which
// honours WM_TRANSIENT_FOR and _NET_ACTIVE_WINDOW), for tests of how the
// program's windows stack, activate and iconify under one: a process the test
// starts, and ends with the object (or, as Xvfb, with the test program). And
// what a test reads back of the stacking and the active window.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <time.h>

#include <string>

#include "tests/support/test_child_process.h"

namespace zem::testing {

class TestWindowManager {
public:
    // Starts the manager on `display` and waits (up to 5 s) until it has taken
    // the screen; Running() tells whether it did.
    explicit TestWindowManager(const std::string& display) : process_(display, {"openbox", "--sm-disable"}) {
        Display* connection = XOpenDisplay(display.c_str());
        if (connection == nullptr) return;
        // The manager has taken the screen once the root names its check window.
        const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
        for (int tries = 0; tries < 500 && process_.Alive() && !running_; ++tries) {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            running_ = XGetWindowProperty(connection, DefaultRootWindow(connection), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data) == Success &&
                       count == 1;
            if (data != nullptr) XFree(data);
            if (!running_) {
                const timespec pause{0, 10'000'000};
                ::nanosleep(&pause, nullptr);
            }
        }
        XCloseDisplay(connection);
    }
    // Waits (up to 60 s) until the manager has framed a window of the test's
    // own: its loop then runs. Until then openbox can leave a window that
    // asked to be mapped waiting for the next event of anyone's.
    bool WaitUntilManaging(const std::string& display) {
        Display* connection = XOpenDisplay(display.c_str());
        if (connection == nullptr) return false;
        const ::Window root = DefaultRootWindow(connection);
        const ::Window probe = XCreateSimpleWindow(connection, root, 0, 0, 10, 10, 0, 0, 0);
        const Atom state = XInternAtom(connection, "WM_STATE", False);
        bool managed = false;
        for (int tries = 0; tries < 6000 && !managed; ++tries) {
            // Each new map request wakes a manager that sleeps on one it has not read.
            if (tries % 100 == 0) {
                XUnmapWindow(connection, probe);
                XMapWindow(connection, probe);
            }
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            managed = XGetWindowProperty(connection, probe, state, 0, 1, False, state, &type, &format, &count,
                                         &after, &data) == Success &&
                      count == 1;
            if (data != nullptr) XFree(data);
            if (!managed) {
                const timespec pause{0, 10'000'000};
                ::nanosleep(&pause, nullptr);
            }
        }
        XDestroyWindow(connection, probe);
        XCloseDisplay(connection);
        return managed;
    }
    TestWindowManager(const TestWindowManager&) = delete;
    TestWindowManager& operator=(const TestWindowManager&) = delete;

    bool Running() const { return running_; }

private:
    TestChildProcess process_;
    bool running_ = false;
};

// The window the manager put `client` in (its frame), a child of the root; the
// client itself when it is not reparented.
inline ::Window FrameOf(Display* display, ::Window client) {
    ::Window at = client;
    for (;;) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, at, &root, &parent, &children, &count) == 0) return 0;
        if (children != nullptr) XFree(children);
        if (parent == root || parent == 0) return at;
        at = parent;
    }
}

// Whether `upper` is stacked above `lower` as the server reports the root's
// children (bottom first), each through its frame.
inline bool StackedAbove(Display* display, ::Window upper, ::Window lower) {
    const ::Window upperFrame = FrameOf(display, upper), lowerFrame = FrameOf(display, lower);
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) return false;
    int upperAt = -1, lowerAt = -1;
    for (unsigned index = 0; index < count; ++index) {
        if (children[index] == upperFrame) upperAt = static_cast<int>(index);
        if (children[index] == lowerFrame) lowerAt = static_cast<int>(index);
    }
    if (children != nullptr) XFree(children);
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

// A window property holding one window (WM_TRANSIENT_FOR, _NET_ACTIVE_WINDOW); 0 for none.
inline ::Window WindowProperty(Display* display, ::Window window, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ::Window value = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && count == 1)
        value = static_cast<::Window>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr) XFree(data);
    return value;
}

// The active window as the manager announces it.
inline ::Window ActiveWindow(Display* display) {
    return WindowProperty(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW");
}

}  // namespace zem::testing
