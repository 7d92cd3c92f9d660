// One tray icon of the program at the desktop's tray manager: a small window
// the manager embeds (XEmbed) and sizes from its WM_NORMAL_HINTS, showing the
// icon scaled to the size it is given, and the icon's tip (the runtime's
// tooltip) while the pointer rests on it.
#pragma once

// The window system first: its names (None...) are macros once Xlib is in.
#include "platform/base/win32_types.h"

#include <X11/Xlib.h>

#include <string>

namespace zem::platform::display {

class XConnection;

class TrayIconWindow {
public:
    // Makes the window and asks `manager` (the owner of the tray's selection) to dock it.
    TrayIconWindow(XConnection& connection, ::Window manager);
    ~TrayIconWindow();
    TrayIconWindow(const TrayIconWindow&) = delete;
    TrayIconWindow& operator=(const TrayIconWindow&) = delete;

    ::Window id() const { return window_; }
    void SetIcon(HICON icon);
    void SetTip(const std::string& tip);  // UTF-8
    // An event for this window: paints, pointer crossings for the tip, and
    // the mouse message a press or release makes (WM_LBUTTONDOWN, ...,
    // WM_LBUTTONDBLCLK for a second press soon after the first), or 0.
    UINT HandleEvent(const XEvent& event);

private:
    void Paint();
    void PointerOver();

    XConnection& connection_;
    ::Window window_ = 0;
    int width_;
    int height_;
    HICON icon_ = nullptr;
    std::string tip_;
    bool pointerInside_ = false;
    unsigned lastButton_ = 0;
    ::Time lastPress_ = 0;
};

}  // namespace zem::platform::display
