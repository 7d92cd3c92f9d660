// A window manager of the test's own on its virtual X server (openbox, which
// honours WM_TRANSIENT_FOR and _NET_ACTIVE_WINDOW), for tests of how the
// program's windows stack, activate and iconify under one: a process the test
// starts, and ends with the object (or, as Xvfb, with the test program). And
// what a test reads back of the stacking and the active window.
#pragma once

// The platform's names first: Xlib's macros (None...) would clash with them.
#include "platform/base/event_loop.h"
#include "platform/window/window_system.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "tests/support/event_wait.h"
#include "tests/support/test_child_process.h"

namespace zem::testing {

class TestWindowManager {
public:
    // Starts the manager on `display` and waits until it has taken the
    // screen and frames the windows that map; Running() tells whether it did.
    explicit TestWindowManager(const std::string& display) : process_(display, {"openbox", "--sm-disable"}) {
        Display* connection = XOpenDisplay(display.c_str());
        if (connection == nullptr) return;
        // The manager has taken the screen once the root names its check
        // window: a property change the root announces.
        const ::Window root = DefaultRootWindow(connection);
        XSelectInput(connection, root, PropertyChangeMask);
        const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
        const auto deadline = std::chrono::steady_clock::now() + kEventWait;
        // A manager that ended will never take it.
        while (process_.Alive() && !running_ && std::chrono::steady_clock::now() < deadline) {
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            running_ = XGetWindowProperty(connection, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                          &after, &data) == Success &&
                       count == 1;
            if (data != nullptr) XFree(data);
            if (running_) break;
            pollfd readable{ConnectionNumber(connection), POLLIN, 0};
            ::poll(&readable, 1, std::min(MillisecondsUntil(deadline), 100));
            while (XPending(connection) > 0) {
                XEvent event;
                XNextEvent(connection, &event);
            }
        }
        // It names its check window early in its start: it runs once it has
        // framed a window of the test's own.
        if (running_) running_ = FramesAWindow(connection);
        XCloseDisplay(connection);
    }
    TestWindowManager(const TestWindowManager&) = delete;
    TestWindowManager& operator=(const TestWindowManager&) = delete;

    bool Running() const { return running_; }

    // While it lives the manager is stopped: what the program asks of it
    // meanwhile it answers afterwards, in order, as a manager that cannot
    // keep up would, after the program has moved on.
    class Held {
    public:
        explicit Held(TestChildProcess& process) : process_(process) { process_.Suspend(); }
        ~Held() { process_.Resume(); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        TestChildProcess& process_;
    };
    [[nodiscard]] Held Hold() { return Held(process_); }

private:
    static void Pause() {
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
    // A window that maps in the first moments after the check window is
    // named is never taken in (its map request is lost): a window of the
    // test's own is mapped again and again, each a fresh one, until one is
    // framed.
    static bool FramesAWindow(Display* connection) {
        for (int attempt = 0; attempt < 600; ++attempt) {
            const ::Window probe =
                XCreateSimpleWindow(connection, DefaultRootWindow(connection), 0, 0, 10, 10, 0, 0, 0);
            XMapWindow(connection, probe);
            bool framed = false;
            for (int tries = 0; tries < 10 && !framed; ++tries) {
                ::Window root = 0, parent = 0, *children = nullptr;
                unsigned count = 0;
                framed = XQueryTree(connection, probe, &root, &parent, &children, &count) != 0 && parent != root;
                if (children != nullptr) XFree(children);
                if (!framed) Pause();
            }
            XDestroyWindow(connection, probe);
            XSync(connection, False);
            if (framed) return true;
        }
        return false;
    }

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

// A window's property holding a list of 32-bit items (atoms, windows, cardinals); empty for none.
inline std::vector<unsigned long> ListProperty(Display* display, ::Window window, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32)
        items.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
    if (data != nullptr) XFree(data);
    return items;
}

// Whether a list of atoms (_NET_WM_ALLOWED_ACTIONS, _NET_WM_WINDOW_TYPE...) holds the atom of this name.
inline bool HoldsAtom(Display* display, const std::vector<unsigned long>& atoms, const char* name) {
    const Atom atom = XInternAtom(display, name, False);
    for (unsigned long each : atoms)
        if (each == atom) return true;
    return false;
}

// What the manager makes of a window: the size limits the window gives it
// (a minimum and maximum of its own size), its type, and the actions the
// manager then allows.
struct ManagedLook {
    bool fixedSize = false;
    bool dialog = false;
    bool mayMaximize = false;
    bool mayResize = false;
};

inline ManagedLook LookAtServer(Display* display, ::Window window) {
    ManagedLook look;
    XSizeHints hints{};
    long supplied = 0;
    XWindowAttributes attributes{};
    if (XGetWMNormalHints(display, window, &hints, &supplied) != 0 &&
        XGetWindowAttributes(display, window, &attributes) != 0)
        look.fixedSize = (hints.flags & PMinSize) != 0 && (hints.flags & PMaxSize) != 0 &&
                         hints.min_width == attributes.width && hints.max_width == attributes.width &&
                         hints.min_height == attributes.height && hints.max_height == attributes.height;
    look.dialog =
        HoldsAtom(display, ListProperty(display, window, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_DIALOG");
    const std::vector<unsigned long> actions = ListProperty(display, window, "_NET_WM_ALLOWED_ACTIONS");
    look.mayMaximize = HoldsAtom(display, actions, "_NET_WM_ACTION_MAXIMIZE_HORZ") ||
                       HoldsAtom(display, actions, "_NET_WM_ACTION_MAXIMIZE_VERT");
    look.mayResize = HoldsAtom(display, actions, "_NET_WM_ACTION_RESIZE");
    return look;
}

// Whether the manager has taken the window in: mapped, with the actions it allows announced.
inline bool Managed(Display* display, ::Window window) {
    XWindowAttributes attributes{};
    return window != 0 && XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable && !ListProperty(display, window, "_NET_WM_ALLOWED_ACTIONS").empty();
}

// Whether the manager stacks `upper` above `lower`, as its _NET_CLIENT_LIST_STACKING (bottom first) says.
inline bool ListedAbove(Display* display, ::Window upper, ::Window lower) {
    const std::vector<unsigned long> stacking =
        ListProperty(display, DefaultRootWindow(display), "_NET_CLIENT_LIST_STACKING");
    int upperAt = -1, lowerAt = -1;
    for (std::size_t index = 0; index < stacking.size(); ++index) {
        if (stacking[index] == upper) upperAt = static_cast<int>(index);
        if (stacking[index] == lower) lowerAt = static_cast<int>(index);
    }
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

// Runs the program's loop, looking every 20 ms, until `done` holds (up to
// 60 s): what a window manager changes at the server reaches the test's
// connection, not the program's, so nothing else would end the program's wait.
inline bool PumpUntilAtServer(const std::function<bool()>& done) {
    const auto hook = zem::platform::EventLoop::Get().RegisterWaitHook(
        {[]() -> std::optional<zem::platform::Milliseconds> { return 20; }, nullptr});
    const bool held = zem::platform::PumpMessagesUntil(done, kEventWaitMilliseconds);
    zem::platform::EventLoop::Get().UnregisterWaitHook(hook);
    return held;
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
