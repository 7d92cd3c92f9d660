#include "platform/display/desktop_display.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/base/text.h"
#include "platform/display/display.h"
#include "platform/drawing/window_painting.h"
#include "platform/shell/icons.h"
#include "platform/window/user32.h"

#include <X11/Xatom.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>

namespace zem::platform::display {
namespace {

DesktopDisplay* g_display = nullptr;

// Tips, menus and balloons are the program's own short-lived pop-ups: the
// window manager neither frames, places nor focuses them.
bool IsPopupClass(const std::string& name) {
    return name == "ZemToolTip" || name == "ZemPopupMenu" || name == "ZemBalloon";
}

WindowLook LookOf(HWND window) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    WindowLook look;
    look.framed = (style & WS_CAPTION) == WS_CAPTION;
    look.systemMenu = (style & WS_SYSMENU) != 0;
    look.minimizeBox = (style & WS_MINIMIZEBOX) != 0;
    // A tool window, or an owned window that is not asked into the taskbar
    // (the start-up window), stays out of it.
    look.inTaskbar = (exStyle & WS_EX_APPWINDOW) != 0 ||
                     ((exStyle & WS_EX_TOOLWINDOW) == 0 && OwnerWindow(window) == nullptr);
    look.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    // A person sizes a window only by its sizing border or its maximize box.
    // With neither (a borderless form as the desktop platform makes it, a
    // message box) the window has the size its program gives it, and the
    // window manager offers neither maximize nor resize. A window that sizes
    // itself from its own surface (the player's main window) has the box.
    look.fixedSize = (style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0;
    look.dialog = (exStyle & WS_EX_DLGMODALFRAME) != 0;
    return look;
}

bool SameLook(const WindowLook& a, const WindowLook& b) {
    return a.framed == b.framed && a.systemMenu == b.systemMenu && a.minimizeBox == b.minimizeBox &&
           a.inTaskbar == b.inTaskbar && a.topmost == b.topmost && a.fixedSize == b.fixedSize && a.dialog == b.dialog;
}

// Pointer shapes by MousePointer value (0 = the default arrow).
unsigned PointerShapeOf(int id) {
    switch (id) {
        case 2: return XC_crosshair;
        case 3: return XC_xterm;
        case 5: case 15: return XC_fleur;
        case 6: return XC_bottom_left_corner;   // size NE-SW
        case 7: return XC_sb_v_double_arrow;    // size N-S
        case 8: return XC_bottom_right_corner;  // size NW-SE
        case 9: return XC_sb_h_double_arrow;    // size W-E
        case 10: return XC_sb_up_arrow;
        case 11: case 13: return XC_watch;
        case 12: return XC_X_cursor;
        case 14: return XC_question_arrow;
        case 16: return XC_hand2;
        default: return XC_left_ptr;
    }
}

// Xcursor takes premultiplied ARGB; the icon's pixels are straight.
Cursor CursorFromIcon(Display* display, HICON icon) {
    const IconImage* image = IconFromHandle(icon);
    if (image == nullptr || image->width <= 0 || image->height <= 0) return None;
    XcursorImage* cursor = XcursorImageCreate(image->width, image->height);
    if (cursor == nullptr) return None;
    for (std::size_t index = 0; index < image->pixels.size(); ++index) {
        const std::uint32_t pixel = image->pixels[index];
        const std::uint32_t alpha = pixel >> 24;
        auto channel = [&](int shift) { return ((pixel >> shift) & 0xFF) * alpha / 255 << shift; };
        cursor->pixels[index] = (alpha << 24) | channel(16) | channel(8) | channel(0);
    }
    // An icon's hot spot is its centre, as when the desktop platform shows an icon as the pointer.
    cursor->xhot = static_cast<XcursorDim>(image->width / 2);
    cursor->yhot = static_cast<XcursorDim>(image->height / 2);
    const Cursor made = XcursorImageLoadCursor(display, cursor);
    XcursorImageDestroy(cursor);
    return made;
}

}  // namespace

HWND TopOf(HWND window) {
    while (HWND parent = ParentWindow(window)) window = parent;
    return window;
}

DesktopDisplay* CurrentDisplay() { return g_display; }

DesktopDisplay::DesktopDisplay(std::unique_ptr<XConnection> connection) : connection_(std::move(connection)) {
    g_display = this;
    // The program hears of the pointer only over its own windows; the server
    // knows it everywhere (over the tray too), so GetCursorPos asks it.
    SetPointerLocator([this]() -> std::optional<POINT> {
        ::Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        if (XQueryPointer(connection_->display(), connection_->root(), &root, &child, &rootX, &rootY, &x, &y,
                          &mask) == 0)
            return std::nullopt;
        return POINT{rootX, rootY};
    });
    tray_ = std::make_unique<XTray>(*connection_);
    ReadScreen();
    observer_ = WindowObserverRegistration([this](const WindowEvent& event) {
        dirty_ = true;
        // An invalidated window is drawn next; the drawing tells what changed.
        if (event.kind != WindowEventKind::Invalidated) layoutChanged_ = true;
    });
    // Before the connection's own hook, which flushes what this one sends.
    hook_ = EventLoop::Get().RegisterWaitHook({[this]() -> std::optional<Milliseconds> {
                                                   Synchronize();
                                                   // What the step made (a window shown by the tray, a
                                                   // paint it needs) is read before any wait.
                                                   MSG pending{};
                                                   if (dirty_ || PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE))
                                                       return 0;
                                                   return std::nullopt;
                                               },
                                               nullptr});
    connection_->Attach([this](XEvent& event) { HandleEvent(event); });
    Synchronize();
    XFlush(connection_->display());
}

DesktopDisplay::~DesktopDisplay() {
    SetPointerLocator(nullptr);
    EventLoop::Get().UnregisterWaitHook(hook_);
    if (grabbedBy_ != nullptr) XUngrabPointer(connection_->display(), CurrentTime);
    tray_.reset();
    shown_.clear();
    for (auto& [id, cursor] : cursors_) XFreeCursor(connection_->display(), cursor);
    XSync(connection_->display(), False);
    g_display = nullptr;
}

// The screen the program sees is the X screen; the work area the window
// manager announces tells where a taskbar takes room. Without one (no window
// manager, as on a bare virtual display) there is no taskbar.
void DesktopDisplay::ReadScreen() {
    Display* display = connection_->display();
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, connection_->root(), connection_->atom("_NET_WORKAREA"), 0, 4,
                                          False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
                       data != nullptr && format == 32 && count >= 4;
    const DesktopSettings settings =
        DesktopFromWorkArea(DisplayWidth(display, connection_->screen()), DisplayHeight(display, connection_->screen()),
                            found ? reinterpret_cast<const long*>(data) : nullptr);
    if (data != nullptr) XFree(data);
    ConfigureDesktop(settings);
}

bool DesktopDisplay::HasWindowManager() {
    if (windowManager_) return *windowManager_;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(connection_->display(), connection_->root(),
                                          connection_->atom("_NET_SUPPORTING_WM_CHECK"), 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data) == Success &&
                       data != nullptr && count == 1;
    if (data != nullptr) XFree(data);
    windowManager_ = found;
    return found;
}

::Window DesktopDisplay::XWindowOf(HWND window) const {
    auto found = shown_.find(window);
    return found != shown_.end() && found->second.window ? found->second.window->id() : 0;
}

void DesktopDisplay::Synchronize() {
    const std::uint64_t draws = SurfaceDrawCount();
    if (dirty_ || draws != drawCount_) {
        dirty_ = false;
        drawCount_ = draws;
        if (layoutChanged_) {
            layoutChanged_ = false;
            for (auto& [window, shown] : shown_) shown.composedWhole = false;
        }
        const HWND taskbar = TaskbarWindow();
        const std::vector<HWND> tops = TopLevelWindows();
        for (auto each = shown_.begin(); each != shown_.end();) {
            if (!IsLiveWindow(each->first))
                each = shown_.erase(each);
            else
                ++each;
        }
        // Bottom first: an owner's X window is there (and mapped) before the
        // windows it owns name it, and each map lands in the program's order.
        for (auto each = tops.rbegin(); each != tops.rend(); ++each) {
            const HWND top = *each;
            if (top == taskbar) continue;
            auto found = shown_.find(top);
            // A window is made at the server the first time it shows.
            if (found == shown_.end()) {
                if (!IsOwnVisible(top)) continue;
                found = shown_.emplace(top, ShownWindow{}).first;
            }
            SynchronizeWindow(top, found->second);
        }
        SynchronizeStacking();
        // A draw during this pass (a paint answering a move) is already sent.
        drawCount_ = SurfaceDrawCount();
    }
    tray_->Synchronize();
    SynchronizePointer();
    SynchronizeFocus();
}

void DesktopDisplay::SynchronizeWindow(HWND window, ShownWindow& shown) {
    const std::optional<RECT> drawn = TakeDrawnArea(window);
    const RECT rect = WindowScreenRect(window);
    const bool sized = rect.right > rect.left && rect.bottom > rect.top;
    if (!shown.window) {
        if (!sized) return;  // a window of no size is never shown
        shown.window = std::make_unique<XTopLevel>(*connection_, rect, IsPopupClass(WindowClassName(window)));
    }
    XTopLevel& x = *shown.window;
    const WindowLook look = LookOf(window);
    if (!shown.lookApplied || !SameLook(look, shown.look)) {
        x.SetLook(look);
        shown.look = look;
        shown.lookApplied = true;
    }
    if (const ::Window owner = XWindowOf(OwnerWindow(window)); owner != shown.transientFor) {
        x.SetTransientFor(owner);
        shown.transientFor = owner;
    }
    const std::string title = WindowText(window);
    if (!shown.titleApplied || title != shown.title) {
        x.SetTitle(GbkToUtf8(title));
        shown.title = title;
        shown.titleApplied = true;
    }
    if (const HICON icon = WindowIconHandle(window); icon != shown.icon) {
        shown.icon = icon;
        if (const IconImage* image = IconFromHandle(icon))
            x.SetIcon(image->width, image->height, image->pixels.data());
    }
    // Alpha 0 also takes the whole shape away, so the window is neither seen
    // nor clicked where no compositing manager honours the opacity.
    const std::optional<BYTE> alpha = LayeredAlpha(window);
    const auto region = WindowRegion(window);
    const bool empty = alpha && *alpha == 0;
    if (!shown.shapeApplied || region != shown.region || empty != shown.emptyShape) {
        x.SetShape(region.get(), empty);
        shown.region = region;
        shown.emptyShape = empty;
    }
    if (!shown.shapeApplied || alpha != shown.alpha) x.SetOpacity(alpha);
    shown.alpha = alpha;
    shown.shapeApplied = true;
    if (sized && !SameRect(rect, x.Rect())) shown.pendingConfigures += x.MoveResize(rect);
    const bool minimized = IsMinimizedWindow(window);
    const bool wanted = IsOwnVisible(window) && sized;
    if (!wanted) {
        x.Unmap();
        shown.iconic = false;
        return;
    }
    if (minimized) {
        // Iconified through the window manager; with none, simply not shown.
        if (!shown.iconic) {
            if (x.Mapped() && HasWindowManager())
                x.Iconify();
            else
                x.Unmap();
            shown.iconic = true;
        }
        return;
    }
    if (shown.iconic) {
        shown.iconic = false;
        x.Unmap();  // mapped afresh below: a restore by the program
    }
    if (x.Map()) ++shown.maps;
    KeepAboveOwner(window, shown);
    const RECT whole{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    if (!shown.composedWhole || shown.composed.Width() != whole.right || shown.composed.Height() != whole.bottom) {
        ComposeWindowArea(window, shown.composed, whole);
        shown.composedWhole = true;
        x.Present(shown.composed, whole);
    } else if (drawn) {
        ComposeWindowArea(window, shown.composed, *drawn);
        x.Present(shown.composed, *drawn);
    }
}

// A window manager forgets what a window is transient for once that owner
// is unmapped (hidden), and maps the owner again on top of it. So each time
// the owner maps, a window it owns names it again and is raised above it,
// which the window manager keeps from then on.
void DesktopDisplay::KeepAboveOwner(HWND window, ShownWindow& shown) {
    if (shown.transientFor == 0 || !HasWindowManager()) return;
    const auto owner = shown_.find(OwnerWindow(window));
    if (owner == shown_.end() || !owner->second.window || !owner->second.window->Mapped() ||
        owner->second.maps == shown.ownerMapsSeen)
        return;
    shown.ownerMapsSeen = owner->second.maps;
    shown.window->SetTransientFor(shown.transientFor);
    shown.window->Raise();
}

// The server's stacking follows the program's z-order (topmost first). Under
// a window manager the windows it manages sit in its frames, no longer
// siblings: it stacks them (owned above owner, the active one raised), and
// only the pop-ups that bypass it are ordered here.
void DesktopDisplay::SynchronizeStacking() {
    const bool managed = HasWindowManager();
    std::vector<::Window> order;
    for (HWND top : TopLevelWindows()) {
        auto found = shown_.find(top);
        if (found == shown_.end() || !found->second.window || !found->second.window->Mapped()) continue;
        if (managed && !IsPopupClass(WindowClassName(top))) continue;
        order.push_back(found->second.window->id());
    }
    if (order == stacking_) return;
    stacking_ = order;
    if (order.size() > 1) XRestackWindows(connection_->display(), order.data(), static_cast<int>(order.size()));
}

// Capture holds the pointer at the server too; the pointer shape is the one of
// the window under the pointer.
void DesktopDisplay::SynchronizePointer() {
    Display* display = connection_->display();
    const HWND capture = GetCapture();
    const HWND captureTop = capture != nullptr ? TopOf(capture) : nullptr;
    if (captureTop != grabbedBy_) {
        if (grabbedBy_ != nullptr) XUngrabPointer(display, CurrentTime);
        grabbedBy_ = nullptr;
        if (const ::Window target = XWindowOf(captureTop); target != 0) {
            const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
            if (XGrabPointer(display, target, True, mask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime) ==
                GrabSuccess)
                grabbedBy_ = captureTop;
        }
    }
    const POINT point = LastPointerPosition();
    HWND under = capture != nullptr ? capture : WindowAtPoint(point);
    int id = 0;
    for (HWND each = under; each != nullptr && id == 0; each = ParentWindow(each)) id = WindowCursorId(each);
    const HWND top = under != nullptr ? TopOf(under) : nullptr;
    auto found = shown_.find(top);
    if (found == shown_.end() || !found->second.window || found->second.cursorId == id) return;
    found->second.cursorId = id;
    // The custom pointer (99) is the control's MouseIcon, through Xcursor.
    HICON custom = nullptr;
    if (id == 99)
        for (HWND each = under; each != nullptr && custom == nullptr; each = ParentWindow(each))
            custom = WindowCursorIcon(each);
    const auto key = custom != nullptr ? static_cast<std::intptr_t>(reinterpret_cast<std::uintptr_t>(custom)) : id;
    auto cursor = cursors_.find(key);
    if (cursor == cursors_.end()) {
        Cursor made = custom != nullptr ? CursorFromIcon(display, custom) : None;
        if (made == None) made = XCreateFontCursor(display, PointerShapeOf(id));
        cursor = cursors_.emplace(key, made).first;
    }
    XDefineCursor(display, found->second.window->id(), cursor->second);
}

// The program's foreground window is the active one at the server: asked for
// whenever the program asks a window to the foreground, the same one too (a
// second show of a window brings it forward again).
void DesktopDisplay::SynchronizeFocus() {
    const HWND foreground = GetForegroundWindow();
    const std::uint64_t requests = ForegroundRequests();
    if (foreground == foreground_ && requests == foregroundRequests_) return;
    foreground_ = foreground;
    foregroundRequests_ = requests;
    auto found = shown_.find(foreground);
    if (found == shown_.end() || !found->second.window || !found->second.window->Mapped() || found->second.iconic)
        return;
    Display* display = connection_->display();
    const ::Window target = found->second.window->id();
    if (HasWindowManager()) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = target;
        event.xclient.message_type = connection_->atom("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // from an application
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, connection_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else if (!IsPopupClass(WindowClassName(foreground))) {
        XSetInputFocus(display, target, RevertToParent, CurrentTime);
    }
}

}  // namespace zem::platform::display

namespace zem::platform {

namespace {
std::unique_ptr<display::DesktopDisplay>& TheDisplay() {
    static std::unique_ptr<display::DesktopDisplay> running;
    return running;
}
}  // namespace

bool DisplayWanted() {
    const char* name = std::getenv("DISPLAY");
    const char* headless = std::getenv("ZEM_HEADLESS");
    if (headless != nullptr && std::string_view(headless) == "1") return false;
    return name != nullptr && name[0] != '\0';
}

void InstallDisplayPresenter();
void RemoveDisplayPresenter();

bool StartDesktopDisplay(const char* name) {
    if (TheDisplay()) return true;
    auto connection = display::XConnection::Open(name);
    if (!connection) return false;
    TheDisplay() = std::make_unique<display::DesktopDisplay>(std::move(connection));
    InstallDisplayPresenter();
    return true;
}

bool StartDesktopDisplayIfWanted() { return DisplayWanted() && StartDesktopDisplay(); }

void StopDesktopDisplay() {
    RemoveDisplayPresenter();
    TheDisplay().reset();
}

bool DesktopDisplayRunning() { return TheDisplay() != nullptr; }

unsigned long XWindowOf(HWND window) { return TheDisplay() ? TheDisplay()->XWindowOf(window) : 0; }

unsigned long XTrayIconWindow(HWND window, UINT id) {
    return TheDisplay() ? TheDisplay()->tray().IconWindow(window, id) : 0;
}

bool TrayManagerPresent() { return TheDisplay() && TheDisplay()->tray().Manager() != 0; }

}  // namespace zem::platform
