// The program's tray icons in the desktop's system tray (the freedesktop
// system-tray protocol: the manager owns _NET_SYSTEM_TRAY_S<screen>, each icon
// is a small window it embeds through XEmbed). Without a tray manager the icons
// stay in the model only and nothing shows.
#pragma once

// The window system first: its names (None...) are macros once Xlib is in.
#include "platform/shell/tray.h"

#include <X11/Xlib.h>

#include <map>
#include <utility>

#include "platform/base/event_loop.h"

namespace zem::platform::display {

class XConnection;

class XTray {
public:
    explicit XTray(XConnection& connection);
    ~XTray();
    XTray(const XTray&) = delete;
    XTray& operator=(const XTray&) = delete;

    // Docks new icons, repaints changed ones, removes gone ones, shows balloons.
    void Synchronize();
    // True when the event was for a tray icon window, or told of a change
    // of the tray manager.
    bool HandleEvent(const XEvent& event);
    // The tray manager's window, or 0 when there is none.
    ::Window Manager();
    ::Window IconWindow(HWND window, UINT id) const;

private:
    struct Docked {
        ::Window window = 0;
        HICON icon = nullptr;
        std::string tip;
        bool balloonShown = false;
        unsigned lastButton = 0;
        ::Time lastPress = 0;
        bool doublePress = false;
    };
    using Key = std::pair<HWND, UINT>;
    void Dock(const TrayIcon& icon, Docked& docked);
    void Paint(const Docked& docked);
    void ShowBalloon(const TrayIcon& icon);
    // Whether a tray manager runs, asked of the server only after it told of
    // a change of the manager's selection (or each time, where it cannot tell).
    bool ManagerRuns();

    XConnection& connection_;
    std::map<Key, Docked> docked_;
    HWND balloon_ = nullptr;
    Key balloonOwner_{};
    LoopTimerId balloonTimer_ = 0;
    int selectionEventBase_ = -1;  // the XFixes events', or -1 without XFixes
    bool managerChanged_ = true;
    bool managerRuns_ = false;
};

}  // namespace zem::platform::display
