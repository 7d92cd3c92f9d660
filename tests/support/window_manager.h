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
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace zem::testing {

class TestWindowManager {
public:
    // Starts the manager on `display` and waits (up to 5 s) until it has taken
    // the screen; Running() tells whether it did.
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
        // The manager has taken the screen once the root names its check window.
        const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
        for (int tries = 0; tries < 500 && pid_ > 0 && !running_; ++tries) {
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

// The windows the manager manages (_NET_CLIENT_LIST), oldest first.
inline std::vector<::Window> ClientList(Display* display) {
    std::vector<::Window> clients;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_CLIENT_LIST", False), 0,
                           4096, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
        const auto* windows = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long index = 0; index < count; ++index) clients.push_back(static_cast<::Window>(windows[index]));
    }
    if (data != nullptr) XFree(data);
    return clients;
}

// The managed window of the process `pid` (by its _NET_WM_PID); 0 for none.
inline ::Window ClientOfProcess(Display* display, pid_t pid) {
    for (const ::Window client : ClientList(display)) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long owner = 0;
        if (XGetWindowProperty(display, client, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                               &type, &format, &count, &after, &data) == Success &&
            data != nullptr && count == 1)
            owner = *reinterpret_cast<const long*>(data);
        if (data != nullptr) XFree(data);
        if (owner == pid) return client;
    }
    return 0;
}

// A request to the manager about a client window, as a pager sends it.
inline void SendManagerRequest(Display* display, ::Window client, const char* request, long first, long second) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = client;
    event.xclient.message_type = XInternAtom(display, request, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = second;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display, False);
}

// Asks the manager, as a pager would (wmctrl -c), to close the window: it
// sends the window WM_DELETE_WINDOW.
inline void RequestClose(Display* display, ::Window client) {
    SendManagerRequest(display, client, "_NET_CLOSE_WINDOW", CurrentTime, 2 /* from a pager */);
}

// Asks the manager, as a pager would, to make the window the active one.
inline void RequestActivation(Display* display, ::Window client) {
    SendManagerRequest(display, client, "_NET_ACTIVE_WINDOW", 2 /* from a pager */, CurrentTime);
}

}  // namespace zem::testing
