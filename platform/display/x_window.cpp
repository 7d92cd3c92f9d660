#include "platform/display/x_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <vector>

#include "platform/display/x_connection.h"

namespace zem::platform::display {
namespace {

unsigned Extent(LONG value) { return static_cast<unsigned>(std::max<LONG>(value, 1)); }

// The Motif window-manager hints: which decorations and functions the window
// manager gives the window.
struct MotifHints {
    unsigned long flags;
    unsigned long functions;
    unsigned long decorations;
    long inputMode;
    unsigned long status;
};
constexpr unsigned long kHintsFunctions = 1;
constexpr unsigned long kHintsDecorations = 2;
constexpr unsigned long kFunctionResize = 2;
constexpr unsigned long kFunctionMove = 4;
constexpr unsigned long kFunctionMinimize = 8;
constexpr unsigned long kFunctionMaximize = 16;
constexpr unsigned long kFunctionClose = 32;
constexpr unsigned long kDecorationAll = 1;

}  // namespace

XTopLevel::XTopLevel(XConnection& connection, const RECT& rect, bool popup)
    : connection_(connection), rect_(rect), popup_(popup) {
    Display* display = connection_.display();
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.bit_gravity = NorthWestGravity;
    attributes.override_redirect = popup ? True : False;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask |
                            FocusChangeMask | PropertyChangeMask;
    window_ = XCreateWindow(display, connection_.root(), static_cast<int>(rect.left), static_cast<int>(rect.top),
                            Extent(rect.right - rect.left), Extent(rect.bottom - rect.top), 0, connection_.depth(),
                            InputOutput, connection_.visual(),
                            CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask, &attributes);
    gc_ = XCreateGC(display, window_, 0, nullptr);
    Atom protocols[] = {connection_.atom("WM_DELETE_WINDOW")};
    XSetWMProtocols(display, window_, protocols, 1);
    WriteSizeHints();
    XWMHints wmHints{};
    wmHints.flags = InputHint | StateHint;
    wmHints.input = True;
    wmHints.initial_state = NormalState;
    XSetWMHints(display, window_, &wmHints);
    XClassHint classHint{const_cast<char*>("zemplayer"), const_cast<char*>("Zemplayer")};
    XSetClassHint(display, window_, &classHint);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, window_, connection_.atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
}

XTopLevel::~XTopLevel() {
    image_.reset();
    XFreeGC(connection_.display(), gc_);
    XDestroyWindow(connection_.display(), window_);
}

// The program places its windows itself: the window manager is told so. A
// window of fixed size says so with a minimum and maximum of its size.
void XTopLevel::WriteSizeHints() {
    XSizeHints hints{};
    hints.flags = USPosition | USSize | PPosition | PSize;
    hints.x = static_cast<int>(rect_.left);
    hints.y = static_cast<int>(rect_.top);
    hints.width = static_cast<int>(Extent(rect_.right - rect_.left));
    hints.height = static_cast<int>(Extent(rect_.bottom - rect_.top));
    if (look_.fixedSize) {
        hints.flags |= PMinSize | PMaxSize;
        hints.min_width = hints.max_width = hints.width;
        hints.min_height = hints.max_height = hints.height;
    }
    XSetWMNormalHints(connection_.display(), window_, &hints);
}

void XTopLevel::SetLook(const WindowLook& look) {
    const bool sizeHintsChange = look.fixedSize != look_.fixedSize;
    look_ = look;
    Display* display = connection_.display();
    if (sizeHintsChange) WriteSizeHints();
    MotifHints hints{};
    hints.flags = kHintsFunctions | kHintsDecorations;
    hints.decorations = look.framed ? kDecorationAll : 0;
    hints.functions = kFunctionMove;
    if (!look.fixedSize) hints.functions |= kFunctionResize | kFunctionMaximize;
    if (look.minimizeBox) hints.functions |= kFunctionMinimize;
    if (look.systemMenu || !look.framed) hints.functions |= kFunctionClose;
    const Atom motif = connection_.atom("_MOTIF_WM_HINTS");
    XChangeProperty(display, window_, motif, motif, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&hints), 5);
    if (!popup_) {
        Atom type = connection_.atom(look.dialog ? "_NET_WM_WINDOW_TYPE_DIALOG" : "_NET_WM_WINDOW_TYPE_NORMAL");
        XChangeProperty(display, window_, connection_.atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&type), 1);
    }
    if (!mapped_) {
        // Before mapping the state is a property the window manager reads.
        std::vector<Atom> states;
        if (!look.inTaskbar) states.push_back(connection_.atom("_NET_WM_STATE_SKIP_TASKBAR"));
        if (look.topmost) states.push_back(connection_.atom("_NET_WM_STATE_ABOVE"));
        XChangeProperty(display, window_, connection_.atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(states.data()), static_cast<int>(states.size()));
    } else {
        SetState("_NET_WM_STATE_SKIP_TASKBAR", !look.inTaskbar);
        SetState("_NET_WM_STATE_ABOVE", look.topmost);
    }
}

// A mapped window's state changes through the window manager.
void XTopLevel::SetState(const char* state, bool on) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = connection_.atom("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = on ? 1 : 0;
    event.xclient.data.l[1] = static_cast<long>(connection_.atom(state));
    event.xclient.data.l[3] = 1;
    XSendEvent(connection_.display(), connection_.root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

void XTopLevel::SetTitle(const std::string& utf8) {
    Display* display = connection_.display();
    XChangeProperty(display, window_, connection_.atom("_NET_WM_NAME"), connection_.atom("UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    // WM_NAME for older window managers, in the locale-free compound text.
    XTextProperty property{};
    char* list[] = {const_cast<char*>(utf8.c_str())};
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &property) >= 0) {
        XSetWMName(display, window_, &property);
        XFree(property.value);
    }
}

// An owned window is transient for its owner's: the window manager keeps it
// above the owner, iconifies it with the owner and gives it no taskbar entry.
void XTopLevel::SetTransientFor(::Window owner) {
    if (owner != 0)
        XSetTransientForHint(connection_.display(), window_, owner);
    else
        XDeleteProperty(connection_.display(), window_, XA_WM_TRANSIENT_FOR);
}

void XTopLevel::SetIcon(int width, int height, const std::uint32_t* pixels) {
    if (width <= 0 || height <= 0 || pixels == nullptr) return;
    // _NET_WM_ICON: width, height, then the pixels, each a CARDINAL (a long).
    std::vector<unsigned long> data;
    data.reserve(2 + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    data.push_back(static_cast<unsigned long>(width));
    data.push_back(static_cast<unsigned long>(height));
    for (int index = 0; index < width * height; ++index) data.push_back(pixels[index]);
    XChangeProperty(connection_.display(), window_, connection_.atom("_NET_WM_ICON"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void XTopLevel::SetShape(const Region* region, bool empty) {
    if (!connection_.HasShape()) return;
    Display* display = connection_.display();
    if (region == nullptr && !empty) {
        if (!shapeSet_) return;
        XShapeCombineMask(display, window_, ShapeBounding, 0, 0, None, ShapeSet);
        XShapeCombineMask(display, window_, ShapeInput, 0, 0, None, ShapeSet);
        shapeSet_ = false;
        return;
    }
    std::vector<XRectangle> rectangles;
    if (!empty) {
        for (const RegionSpan& span : region->Spans()) {
            if (span.right <= span.left) continue;
            rectangles.push_back(XRectangle{static_cast<short>(span.left), static_cast<short>(span.y),
                                            static_cast<unsigned short>(span.right - span.left), 1});
        }
    }
    for (const int kind : {ShapeBounding, ShapeInput})
        XShapeCombineRectangles(display, window_, kind, 0, 0, rectangles.data(), static_cast<int>(rectangles.size()),
                                ShapeSet, Unsorted);
    shapeSet_ = true;
}

void XTopLevel::SetOpacity(std::optional<BYTE> alpha) {
    Display* display = connection_.display();
    const Atom opacity = connection_.atom("_NET_WM_WINDOW_OPACITY");
    if (!alpha || *alpha == 255) {
        XDeleteProperty(display, window_, opacity);
        return;
    }
    const unsigned long value = static_cast<unsigned long>(*alpha) * 0x01010101UL;
    XChangeProperty(display, window_, opacity, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
}

// A window manager may keep on the screen a window that grows at one edge
// while the opposite edge stays where it was (openbox does so with what a
// program asks: a top edge pulled up at the screen's top grows the window at
// the bottom instead). The program's own edge drags go where they are asked,
// so such a change goes in two steps, neither of them that kind: first to the
// new place one pixel larger beyond the still edge, then back to it.
int XTopLevel::MoveResize(const RECT& rect) {
    if (SameRect(rect, rect_)) return 0;
    const RECT old = rect_;
    rect_ = rect;
    // A fixed size is the size asked for: the window manager holds a window to its hints.
    if (look_.fixedSize && (rect.right - rect.left != old.right - old.left || rect.bottom - rect.top != old.bottom - old.top))
        WriteSizeHints();
    RECT step = rect;
    if (!popup_ && !look_.fixedSize) {
        if (rect.left < old.left && rect.right == old.right) step.right += 1;
        if (rect.right > old.right && rect.left == old.left) step.left -= 1;
        if (rect.top < old.top && rect.bottom == old.bottom) step.bottom += 1;
        if (rect.bottom > old.bottom && rect.top == old.top) step.top -= 1;
    }
    const bool twoSteps = step.left != rect.left || step.top != rect.top || step.right != rect.right ||
                          step.bottom != rect.bottom;
    if (twoSteps) Request(step);
    Request(rect);
    return twoSteps ? 2 : 1;
}

void XTopLevel::Request(const RECT& rect) {
    // What the window manager has not answered of many requests is old news.
    constexpr std::size_t kRemembered = 64;
    if (requested_.size() == kRemembered) requested_.pop_front();
    requested_.push_back(rect);
    XMoveResizeWindow(connection_.display(), window_, static_cast<int>(rect.left), static_cast<int>(rect.top),
                      Extent(rect.right - rect.left), Extent(rect.bottom - rect.top));
}

bool XTopLevel::TakeRequested(const RECT& rect) {
    const auto found =
        std::find_if(requested_.begin(), requested_.end(), [&](const RECT& each) { return SameRect(each, rect); });
    if (found == requested_.end()) return false;
    requested_.erase(requested_.begin(), found + 1);
    return true;
}

bool XTopLevel::Map() {
    if (mapped_) return false;
    mapped_ = true;
    XMapRaised(connection_.display(), window_);
    // A window manager may have placed it elsewhere; it goes where the program
    // put it, asked as any place is: the manager's answer to it may come after
    // the program has moved the window on, and is then no move of its own.
    if (!popup_) Request(rect_);
    return true;
}

void XTopLevel::Unmap() {
    if (!mapped_) return;
    mapped_ = false;
    XUnmapWindow(connection_.display(), window_);
}

void XTopLevel::Iconify() {
    XIconifyWindow(connection_.display(), window_, connection_.screen());
}

void XTopLevel::Raise() { XRaiseWindow(connection_.display(), window_); }

void XTopLevel::Present(const Bitmap& frame, const RECT& area) {
    const int width = frame.Width();
    const int height = frame.Height();
    if (width <= 0 || height <= 0) return;
    if (!image_ || !image_->Holds(width, height))
        image_ = std::make_unique<XImageBuffer>(connection_, width, height);
    image_->SetSize(width, height);
    if (const auto changed = image_->Update(frame, area)) image_->Put(window_, gc_, *changed);
}

void XTopLevel::Repaint(const RECT& area) {
    if (image_) image_->Put(window_, gc_, area);
}

}  // namespace zem::platform::display
