#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/clock.h"
#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/shell/icons.h"
#include "platform/window/user32.h"
#include "platform/display/x_tray.h"
#include "platform/display/x_connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace zem::platform::display {
namespace {

constexpr int kIconSize = 22;
constexpr long kRequestDock = 0;
constexpr const char* kBalloonClass = "ZemBalloon";
constexpr int kBalloonWidth = 300;
constexpr int kBalloonHeight = 86;

struct BalloonText {
    std::string title;
    std::string text;
    HWND owner = nullptr;
    UINT id = 0;
};

LRESULT BalloonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* balloon = reinterpret_cast<BalloonText*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (balloon == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT whole{0, 0, kBalloonWidth, kBalloonHeight};
        HBRUSH border = CreateSolidBrush(RGB(118, 118, 118));
        FillRect(dc, &whole, border);
        DeleteObject(border);
        RECT inside{1, 1, kBalloonWidth - 1, kBalloonHeight - 1};
        HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
        FillRect(dc, &inside, face);
        DeleteObject(face);
        // The information sign: a blue badge with an "i".
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if ((2 * x - 19) * (2 * x - 19) + (2 * y - 19) * (2 * y - 19) <= 400)
                    SetPixel(dc, 12 + x, 12 + y, RGB(30, 110, 220));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT sign{12, 12, 32, 32};
        DrawTextUtf8(dc, "i", sign, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        RECT title{42, 12, kBalloonWidth - 10, 32};
        DrawTextUtf8(dc, balloon->title, title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        RECT text{42, 36, kBalloonWidth - 10, kBalloonHeight - 8};
        DrawTextUtf8(dc, balloon->text, text, DT_WORDBREAK | DT_NOPREFIX);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_LBUTTONUP) {
        ClickTrayBalloon(balloon->owner, balloon->id);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

XTray::XTray(XConnection& connection) : connection_(connection) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BalloonProcedure;
    windowClass.lpszClassName = kBalloonClass;
    RegisterClassA(&windowClass);
    // The server tells when a tray manager takes or leaves the tray's
    // selection: no round trip to ask at every wait of the loop while none runs.
    int eventBase = 0, errorBase = 0;
    if (XFixesQueryExtension(connection_.display(), &eventBase, &errorBase)) {
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(connection_.screen());
        XFixesSelectSelectionInput(connection_.display(), connection_.root(), connection_.atom(name.c_str()),
                                   XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
        selectionEventBase_ = eventBase;
    }
}

XTray::~XTray() {
    if (balloonTimer_ != 0) EventLoop::Get().UnregisterTimer(balloonTimer_);
    if (balloon_ != nullptr && IsWindow(balloon_)) {
        delete reinterpret_cast<BalloonText*>(GetWindowLongPtrA(balloon_, GWLP_USERDATA));
        SetWindowLongPtrA(balloon_, GWLP_USERDATA, 0);
        DestroyWindow(balloon_);
    }
    for (auto& [key, docked] : docked_) XDestroyWindow(connection_.display(), docked.window);
}

::Window XTray::Manager() {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(connection_.screen());
    return XGetSelectionOwner(connection_.display(), connection_.atom(name.c_str()));
}

bool XTray::ManagerRuns() {
    if (selectionEventBase_ < 0) return Manager() != 0;
    if (managerChanged_) {
        managerChanged_ = false;
        managerRuns_ = Manager() != 0;
    }
    return managerRuns_;
}

::Window XTray::IconWindow(HWND window, UINT id) const {
    auto found = docked_.find(Key{window, id});
    return found != docked_.end() ? found->second.window : 0;
}

void XTray::Synchronize() {
    const std::vector<TrayIcon> icons = TrayIcons();
    // Icons gone from the model leave the tray.
    for (auto each = docked_.begin(); each != docked_.end();) {
        const bool kept = std::any_of(icons.begin(), icons.end(), [&](const TrayIcon& icon) {
            return icon.window == each->first.first && icon.id == each->first.second && !icon.hidden;
        });
        if (kept) {
            ++each;
            continue;
        }
        XDestroyWindow(connection_.display(), each->second.window);
        each = docked_.erase(each);
    }
    for (const TrayIcon& icon : icons) {
        if (icon.hidden) continue;
        auto found = docked_.find(Key{icon.window, icon.id});
        if (found == docked_.end()) {
            if (!ManagerRuns()) continue;  // no tray on this desktop: nothing shows
            found = docked_.emplace(Key{icon.window, icon.id}, Docked{}).first;
            Dock(icon, found->second);
        }
        Docked& docked = found->second;
        if (docked.icon != icon.icon) {
            docked.icon = icon.icon;
            Paint(docked);
        }
        if (docked.tip != icon.tip) {
            // Tray managers show an icon's name as its tooltip.
            docked.tip = icon.tip;
            XChangeProperty(connection_.display(), docked.window, connection_.atom("_NET_WM_NAME"),
                            connection_.atom("UTF8_STRING"), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(icon.tip.data()), static_cast<int>(icon.tip.size()));
            XStoreName(connection_.display(), docked.window, Utf8ToGbk(icon.tip).c_str());
        }
        // A balloon with text shows; an empty one shows nothing.
        const bool wantsBalloon = icon.balloon && !icon.balloon->text.empty();
        if (wantsBalloon && !docked.balloonShown) ShowBalloon(icon);
        docked.balloonShown = wantsBalloon;
    }
    const bool balloonWanted = std::any_of(icons.begin(), icons.end(), [&](const TrayIcon& icon) {
        return icon.window == balloonOwner_.first && icon.id == balloonOwner_.second && icon.balloon &&
               !icon.balloon->text.empty();
    });
    if (balloon_ != nullptr && !balloonWanted && IsWindow(balloon_)) ShowWindow(balloon_, SW_HIDE);
}

void XTray::Dock(const TrayIcon& icon, Docked& docked) {
    (void)icon;
    Display* display = connection_.display();
    XSetWindowAttributes attributes{};
    attributes.event_mask = ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask;
    attributes.background_pixel = 0x303030;
    docked.window = XCreateWindow(display, connection_.root(), 0, 0, kIconSize, kIconSize, 0, connection_.depth(),
                                  InputOutput, connection_.visual(), CWEventMask | CWBackPixel, &attributes);
    // XEmbed: version 0, mapped once embedded.
    const long info[2] = {0, 1};
    const Atom embedInfo = connection_.atom("_XEMBED_INFO");
    XChangeProperty(display, docked.window, embedInfo, embedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = Manager();
    request.xclient.message_type = connection_.atom("_NET_SYSTEM_TRAY_OPCODE");
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = kRequestDock;
    request.xclient.data.l[2] = static_cast<long>(docked.window);
    XSendEvent(display, request.xclient.window, False, NoEventMask, &request);
}

// The icon's pixels, scaled to the icon window and blended over its background.
void XTray::Paint(const Docked& docked) {
    const IconImage* image = IconFromHandle(docked.icon);
    if (image == nullptr || image->width <= 0 || image->height <= 0) return;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(connection_.display(), docked.window, &attributes) == 0) return;
    const int width = std::max(attributes.width, 1);
    const int height = std::max(attributes.height, 1);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t source = image->pixels[static_cast<std::size_t>(y * image->height / height) *
                                                           static_cast<std::size_t>(image->width) +
                                                       static_cast<std::size_t>(x * image->width / width)];
            const std::uint32_t alpha = source >> 24;
            auto blend = [&](int shift) {
                return (((source >> shift) & 0xFF) * alpha + 0x30 * (255 - alpha)) / 255 << shift;
            };
            pixels[static_cast<std::size_t>(y * width + x)] = blend(16) | blend(8) | blend(0);
        }
    XImage* ximage = XCreateImage(connection_.display(), connection_.visual(),
                                  static_cast<unsigned>(connection_.depth()), ZPixmap, 0,
                                  reinterpret_cast<char*>(pixels.data()), static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 32, width * 4);
    if (ximage == nullptr) return;
    GC gc = XCreateGC(connection_.display(), docked.window, 0, nullptr);
    XPutImage(connection_.display(), docked.window, gc, ximage, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XFreeGC(connection_.display(), gc);
    ximage->data = nullptr;  // the vector owns the pixels
    XDestroyImage(ximage);
}

bool XTray::HandleEvent(const XEvent& event) {
    if (selectionEventBase_ >= 0 && event.type == selectionEventBase_ + XFixesSelectionNotify) {
        managerChanged_ = true;
        return true;
    }
    for (auto& [key, docked] : docked_) {
        if (docked.window != event.xany.window) continue;
        if (event.type == Expose || event.type == ConfigureNotify) Paint(docked);
        if (event.type != ButtonPress && event.type != ButtonRelease) return true;
        const XButtonEvent& button = event.xbutton;
        const UINT downs[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
        const UINT ups[] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
        const UINT twice[] = {WM_LBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_RBUTTONDBLCLK};
        if (button.button < Button1 || button.button > Button3) return true;
        const int index = static_cast<int>(button.button - Button1);
        if (event.type == ButtonPress) {
            // A second press soon after the first on the same button is a double click.
            docked.doublePress = docked.lastButton == button.button && button.time - docked.lastPress <= GetDoubleClickTime();
            docked.lastButton = docked.doublePress ? 0 : button.button;
            docked.lastPress = button.time;
            NotifyTrayIcon(key.first, key.second, docked.doublePress ? twice[index] : downs[index]);
        } else {
            NotifyTrayIcon(key.first, key.second, ups[index]);
        }
        return true;
    }
    return false;
}

// The balloon: a top-most window above the tray's corner of the screen, for
// its timeout (kept between 10 and 30 s, as the desktop platform does).
void XTray::ShowBalloon(const TrayIcon& icon) {
    if (balloon_ == nullptr || !IsWindow(balloon_)) {
        const DesktopSettings desktop = CurrentDesktop();
        const int bottom = desktop.height - (desktop.taskbarEdge == TaskbarEdge::Bottom ? desktop.taskbarThickness : 0);
        balloon_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kBalloonClass, "", WS_POPUP,
                                   desktop.width - kBalloonWidth - 12, bottom - kBalloonHeight - 12, kBalloonWidth,
                                   kBalloonHeight, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(balloon_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new BalloonText));
    }
    auto* text = reinterpret_cast<BalloonText*>(GetWindowLongPtrA(balloon_, GWLP_USERDATA));
    text->title = icon.balloon->title;
    text->text = icon.balloon->text;
    text->owner = icon.window;
    text->id = icon.id;
    balloonOwner_ = Key{icon.window, icon.id};
    InvalidateRect(balloon_, nullptr, FALSE);
    ShowWindow(balloon_, SW_SHOWNOACTIVATE);
    if (balloonTimer_ != 0) EventLoop::Get().UnregisterTimer(balloonTimer_);
    const Milliseconds timeout = std::clamp<Milliseconds>(icon.balloon->timeout, 10'000, 30'000);
    balloonTimer_ = EventLoop::Get().RegisterTimer(CurrentClock().Now() + timeout, [this] {
        balloonTimer_ = 0;
        if (balloon_ != nullptr && IsWindow(balloon_)) ShowWindow(balloon_, SW_HIDE);
    });
}

}  // namespace zem::platform::display
