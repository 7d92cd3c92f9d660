// The connection to the X server: opened once, its descriptor registered with
// the event loop, its atoms cached. An X error of one request is logged and
// the program goes on; a lost connection ends the program at once, touching
// no file (whatever was saved stays as it was).
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/base/event_loop.h"

namespace zem::platform::display {

class XConnection {
public:
    // Connects to `name` (null: $DISPLAY); null when no server answers.
    static std::unique_ptr<XConnection> Open(const char* name = nullptr);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* display() const { return display_; }
    int screen() const { return screen_; }
    ::Window root() const { return root_; }
    Visual* visual() const { return visual_; }
    int depth() const { return depth_; }
    bool HasShape() const { return hasShape_; }
    bool HasShm() const { return hasShm_; }

    Atom atom(const char* name);

    // From now on every event read from the server goes to `handler`, inside
    // the event loop's wait. Before each wait the output is flushed, and events
    // Xlib already holds end the wait at once.
    void Attach(std::function<void(XEvent&)> handler);
    // Reads and handles every event the server sent.
    void DrainEvents();

private:
    explicit XConnection(Display* display);
    Display* display_;
    int screen_;
    ::Window root_;
    Visual* visual_;
    int depth_;
    bool hasShape_ = false;
    bool hasShm_ = false;
    std::unordered_map<std::string, Atom> atoms_;
    std::function<void(XEvent&)> handler_;
    ScopedNotifier notifier_;
    WaitHookId hook_ = 0;
};

}  // namespace zem::platform::display
