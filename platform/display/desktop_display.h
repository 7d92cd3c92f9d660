// The display's state while it runs: the connection, one X window per shown
// top-level window, and what was last sent to the server, so that each wait
// of the event loop sends only what changed.
#pragma once

// The window system first: its names (None...) are macros once Xlib is in.
#include "platform/window/window_system.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "platform/base/event_loop.h"
#include "platform/display/screen_settings.h"
#include "platform/display/x_connection.h"
#include "platform/display/x_tray.h"
#include "platform/display/x_window.h"
#include "platform/drawing/bitmap.h"

namespace zem::platform::display {

struct ShownWindow {
    std::unique_ptr<XTopLevel> window;
    std::string title;
    std::shared_ptr<const Region> region;
    std::optional<BYTE> alpha;
    bool shapeApplied = false;
    bool emptyShape = false;
    bool titleApplied = false;
    bool lookApplied = false;
    WindowLook look;
    bool iconic = false;        // minimized through the window manager
    int pendingConfigures = 0;  // our own moves the server has yet to report
    int cursorId = -1;
    HICON icon = nullptr;
    // The window and its children as last composed: after a drawing only
    // what was drawn is composed again.
    Bitmap composed;
    bool composedWhole = false;
    ::Window transientFor = 0;  // the owner's X window, as last told to the server
    unsigned maps = 0;          // how often the X window was mapped
    unsigned ownerMapsSeen = 0;  // the owner's `maps` when this window was last raised above it
};

class DesktopDisplay {
public:
    explicit DesktopDisplay(std::unique_ptr<XConnection> connection);
    ~DesktopDisplay();
    DesktopDisplay(const DesktopDisplay&) = delete;
    DesktopDisplay& operator=(const DesktopDisplay&) = delete;

    XConnection& connection() { return *connection_; }
    ::Window XWindowOf(HWND window) const;
    XTray& tray() { return *tray_; }
    // Brings the server up to date: windows, places, shapes, pixels, grabs.
    void Synchronize();

private:
    void ReadScreen();
    void SynchronizeWindow(HWND window, ShownWindow& shown);
    void KeepAboveOwner(HWND window, ShownWindow& shown);
    void SynchronizeStacking();
    void SynchronizePointer();
    void SynchronizeFocus();
    bool HasWindowManager();

    // x_events.cpp
    void HandleEvent(XEvent& event);
    HWND WindowOfX(::Window window) const;
    void HandleConfigure(HWND window, ShownWindow& shown, const XConfigureEvent& event);
    void HandleKey(const XKeyEvent& event);
    void HandleClientMessage(HWND window, const XClientMessageEvent& event);

    std::unique_ptr<XConnection> connection_;
    std::unique_ptr<XTray> tray_;
    std::map<HWND, ShownWindow> shown_;
    WindowObserverRegistration observer_;
    WaitHookId hook_ = 0;
    bool dirty_ = true;
    // A window appeared, went, moved, changed size, shape, order or state:
    // the next pass composes every window whole.
    bool layoutChanged_ = true;
    std::uint64_t drawCount_ = ~0ULL;
    std::vector<::Window> stacking_;
    HWND grabbedBy_ = nullptr;
    HWND foreground_ = nullptr;
    std::uint64_t foregroundRequests_ = 0;  // ForegroundRequests() last answered at the server
    std::optional<bool> windowManager_;
    std::map<std::intptr_t, Cursor> cursors_;  // by pointer id, or by custom icon handle
};

// The top-level window that holds `window`.
HWND TopOf(HWND window);

// The running display, or null.
DesktopDisplay* CurrentDisplay();

// keyboard.cpp: the virtual key of an X key symbol (0 for none), and the
// character a key symbol types (0 for none).
int VirtualKeyOfKeysym(unsigned long keysym);
char32_t CharacterOfKeysym(unsigned long keysym);

}  // namespace zem::platform::display
