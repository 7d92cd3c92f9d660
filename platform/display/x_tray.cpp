#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/clock.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "platform/display/x_tray.h"
#include "platform/display/x_connection.h"

#include <X11/extensions/Xfixes.h>

namespace zem::platform::display {
namespace {

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
}

::Window XTray::Manager() {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(connection_.screen());
    return XGetSelectionOwner(connection_.display(), connection_.atom(name.c_str()));
}

::Window XTray::CurrentManager() {
    if (selectionEventBase_ < 0) return Manager();
    if (managerChanged_) {
        managerChanged_ = false;
        manager_ = Manager();
    }
    return manager_;
}

::Window XTray::IconWindow(HWND window, UINT id) const {
    auto found = docked_.find(Key{window, id});
    return found != docked_.end() && found->second.window ? found->second.window->id() : 0;
}

void XTray::Synchronize() {
    const std::vector<TrayIcon> icons = TrayIcons();
    // Icons gone from the model leave the tray.
    for (auto each = docked_.begin(); each != docked_.end();) {
        const bool kept = std::any_of(icons.begin(), icons.end(), [&](const TrayIcon& icon) {
            return icon.window == each->first.first && icon.id == each->first.second && !icon.hidden;
        });
        each = kept ? std::next(each) : docked_.erase(each);
    }
    // A manager that ends leaves the icons unmapped at the root (or maps
    // them there, through its save-set), and a new one knows nothing of
    // them: the old windows go and fresh ones ask the manager there now.
    ::Window manager = CurrentManager();
    // Before docking the server is asked who owns the tray right now: the
    // owner heard of may have gone a moment ago, its going not yet read.
    const bool docking = manager != 0 && std::any_of(icons.begin(), icons.end(), [&](const TrayIcon& icon) {
        const auto found = docked_.find(Key{icon.window, icon.id});
        return !icon.hidden && (found == docked_.end() || !found->second.window || manager != dockedTo_);
    });
    if (docking) manager = manager_ = Manager();
    if (manager != dockedTo_) {
        for (auto& [key, docked] : docked_) docked.window.reset();
        dockedTo_ = manager;
    }
    for (const TrayIcon& icon : icons) {
        if (icon.hidden) continue;
        auto found = docked_.find(Key{icon.window, icon.id});
        if (found == docked_.end()) {
            if (manager == 0) continue;  // no tray on this desktop: nothing shows
            found = docked_.emplace(Key{icon.window, icon.id}, Docked{}).first;
        }
        Docked& docked = found->second;
        if (!docked.window) {
            if (manager == 0) continue;
            docked.window = std::make_unique<TrayIconWindow>(connection_, manager);
        }
        docked.window->SetIcon(icon.icon);
        docked.window->SetTip(icon.tip);
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

bool XTray::HandleEvent(const XEvent& event) {
    if (selectionEventBase_ >= 0 && event.type == selectionEventBase_ + XFixesSelectionNotify) {
        managerChanged_ = true;
        return true;
    }
    for (auto& [key, docked] : docked_) {
        if (!docked.window || docked.window->id() != event.xany.window) continue;
        if (const UINT mouseMessage = docked.window->HandleEvent(event))
            NotifyTrayIcon(key.first, key.second, mouseMessage);
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
