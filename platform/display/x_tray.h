// The program's tray icons in the desktop's system tray (the freedesktop
// system-tray protocol: the manager owns _NET_SYSTEM_TRAY_S<screen>, each icon
// is a small window it embeds through XEmbed). Without a tray manager the icons
// stay in the model only and nothing shows.
#pragma once

// The window system first: its names (None...) are macros once Xlib is in.
#include "platform/shell/tray.h"

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <utility>

#include "platform/base/event_loop.h"
#include "platform/display/x_tray_icon.h"

namespace zem::platform::display {

class XConnection;

class XTray {
public:
    explicit XTray(XConnection& connection);
    ~XTray();
    XTray(const XTray&) = delete;
    XTray& operator=(const XTray&) = delete;

    // Docks new icons, repaints changed ones, removes gone ones, shows
    // balloons; when another tray manager took the tray (or the last one
    // went), every icon docks anew into the one there now.
    void Synchronize();
    // True when the event was for a tray icon window, or told of a change
    // of the tray manager.
    bool HandleEvent(const XEvent& event);
    // The tray manager's window, or 0 when there is none.
    ::Window Manager();
    ::Window IconWindow(HWND window, UINT id) const;

private:
    struct Docked {
        std::unique_ptr<TrayIconWindow> window;  // none while no tray manager runs
        bool balloonShown = false;
    };
    using Key = std::pair<HWND, UINT>;
    void ShowBalloon(const TrayIcon& icon);
    // The tray manager's window, asked of the server only after it told of a
    // change of the manager's selection (or each time, where it cannot tell).
    ::Window CurrentManager();

    XConnection& connection_;
    std::map<Key, Docked> docked_;
    ::Window dockedTo_ = 0;  // the manager the icon windows were docked into
    HWND balloon_ = nullptr;
    Key balloonOwner_{};
    LoopTimerId balloonTimer_ = 0;
    int selectionEventBase_ = -1;  // the XFixes events', or -1 without XFixes
    bool managerChanged_ = true;
    ::Window manager_ = 0;
};

}  // namespace zem::platform::display
