#include "platform/display/x_connection.h"

#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>

#include <cstdio>
#include <cstdlib>

namespace zem::platform::display {
namespace {

// One failed request (a window gone at the server, a property refused) is
// not the program's end: it is written down and the program goes on.
int LogError(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "zemplayer: X error %d (%s), request %d.%d, resource 0x%lx\n", error->error_code, text,
                 error->request_code, error->minor_code, error->resourceid);
    return 0;
}

// The server went away: nothing can be shown or asked any more. The program
// ends here, without running exit handlers, so no file is written half-way.
int EndOnLostConnection(Display*) {
    std::fputs("zemplayer: the connection to the X server was lost\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

std::unique_ptr<XConnection> XConnection::Open(const char* name) {
    XSetErrorHandler(LogError);
    XSetIOErrorHandler(EndOnLostConnection);
    Display* display = XOpenDisplay(name);
    if (display == nullptr) return nullptr;
    return std::unique_ptr<XConnection>(new XConnection(display));
}

XConnection::XConnection(Display* display)
    : display_(display),
      screen_(DefaultScreen(display)),
      root_(RootWindow(display, screen_)),
      visual_(DefaultVisual(display, screen_)),
      depth_(DefaultDepth(display, screen_)) {
    int eventBase = 0;
    int errorBase = 0;
    hasShape_ = XShapeQueryExtension(display_, &eventBase, &errorBase) != 0;
    // Shared memory only where the server runs on this machine and the
    // pixels are the 32-bit layout our surfaces hold.
    hasShm_ = XShmQueryExtension(display_) != 0 && depth_ >= 24;
}

XConnection::~XConnection() {
    notifier_.Release();
    if (hook_ != 0) EventLoop::Get().UnregisterWaitHook(hook_);
    XCloseDisplay(display_);
}

Atom XConnection::atom(const char* name) {
    auto found = atoms_.find(name);
    if (found != atoms_.end()) return found->second;
    const Atom made = XInternAtom(display_, name, False);
    atoms_.emplace(name, made);
    return made;
}

void XConnection::Attach(std::function<void(XEvent&)> handler) {
    handler_ = std::move(handler);
    notifier_ = ScopedNotifier(ConnectionNumber(display_), POLLIN, [this](short revents) {
        if (revents & (POLLHUP | POLLERR)) {
            // Reading reports the loss through the I/O error handler.
            XSync(display_, False);
        }
        DrainEvents();
    });
    hook_ = EventLoop::Get().RegisterWaitHook(
        {[this]() -> std::optional<Milliseconds> {
             XFlush(display_);
             if (XEventsQueued(display_, QueuedAlready) > 0) return 0;
             return std::nullopt;
         },
         // Events Xlib read during the program's own requests are in its
         // queue; a readable socket is the notifier's. Asking the socket after
         // every wait would cost a read each time the loop turns.
         [this] {
             if (XEventsQueued(display_, QueuedAlready) > 0) DrainEvents();
         }});
}

void XConnection::DrainEvents() {
    // XPending reads what the socket holds; a closed socket ends the program
    // through the I/O error handler.
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (handler_) handler_(event);
    }
}

}  // namespace zem::platform::display
