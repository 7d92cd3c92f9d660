// A window manager of the test's own on its virtual X server (openbox, which
// honours WM_TRANSIENT_FOR and _NET_ACTIVE_WINDOW), for tests of how the
// program's windows stack, activate and iconify under one: a process the test
// starts, and ends with the object (or, as Xvfb, with the test program). And
// what a test reads back of the stacking and the active window.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/event_wait.h"

extern char** environ;

namespace zem::testing {

class TestWindowManager {
public:
    // Starts the manager on `display` and waits until it has taken the
    // screen; Running() tells whether it did.
    explicit TestWindowManager(const std::string& display) {
        // The environment is made before the fork: the child only execs.
        std::vector<std::string> variables{"DISPLAY=" + display};
        for (char** each = environ; *each != nullptr; ++each)
            if (std::strncmp(*each, "DISPLAY=", 8) != 0) variables.emplace_back(*each);
        std::vector<char*> environment;
        for (std::string& each : variables) environment.push_back(each.data());
        environment.push_back(nullptr);
        char program[] = "openbox";
        char noSession[] = "--sm-disable";
        char* arguments[] = {program, noSession, nullptr};
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 1);
            ::dup2(quiet, 2);
            ::execvpe(program, arguments, environment.data());
            ::_exit(127);
        }
        Display* connection = XOpenDisplay(display.c_str());
        if (connection == nullptr) return;
        // The manager has taken the screen once the root names its check
        // window: a property change the root announces.
        const ::Window root = DefaultRootWindow(connection);
        XSelectInput(connection, root, PropertyChangeMask);
        const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
        const auto deadline = std::chrono::steady_clock::now() + kEventWait;
        while (pid_ > 0 && !running_ && std::chrono::steady_clock::now() < deadline) {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            running_ = XGetWindowProperty(connection, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                          &after, &data) == Success &&
                       count == 1;
            if (data != nullptr) XFree(data);
            if (running_) break;
            // A manager that ended will never take it.
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            pollfd readable{ConnectionNumber(connection), POLLIN, 0};
            ::poll(&readable, 1, std::min(MillisecondsUntil(deadline), 100));
            while (XPending(connection) > 0) {
                XEvent event;
                XNextEvent(connection, &event);
            }
        }
        XCloseDisplay(connection);
    }
    ~TestWindowManager() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    TestWindowManager(const TestWindowManager&) = delete;
    TestWindowManager& operator=(const TestWindowManager&) = delete;

    bool Running() const { return running_; }

private:
    pid_t pid_ = -1;
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
