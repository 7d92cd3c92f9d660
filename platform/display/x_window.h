// One X window standing for one visible top-level window of the program: its
// place and size, its decorations and taskbar entry, caption, icon, shape,
// opacity, and the pixels last composed for it.
#pragma once

#include <X11/Xlib.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/base/win32_types.h"
#include "platform/display/x_image.h"
#include "platform/drawing/bitmap.h"
#include "platform/window/region.h"

namespace zem::platform::display {

class XConnection;

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct WindowLook {
    bool framed = false;       // a caption and border of the window manager
    bool systemMenu = false;
    bool minimizeBox = false;
    bool inTaskbar = true;
    bool topmost = false;
    bool fixedSize = false;    // the window manager offers neither maximize nor resize
    bool dialog = false;       // a dialog box (the window manager's dialog type)
};

class XTopLevel {
public:
    // `popup` windows (tips, menus, balloons) bypass the window manager.
    XTopLevel(XConnection& connection, const RECT& rect, bool popup);
    ~XTopLevel();
    XTopLevel(const XTopLevel&) = delete;
    XTopLevel& operator=(const XTopLevel&) = delete;

    ::Window id() const { return window_; }
    const RECT& Rect() const { return rect_; }
    bool Mapped() const { return mapped_; }

    void SetLook(const WindowLook& look);
    void SetTitle(const std::string& utf8);
    // WM_TRANSIENT_FOR: the X window of the window's owner, or 0 for none.
    void SetTransientFor(::Window owner);
    // 0xAARRGGBB pixels, rows top to bottom.
    void SetIcon(int width, int height, const std::uint32_t* pixels);
    // The bounding and input shape: `region` in window coordinates (null: the
    // whole window), or nothing at all when `empty`.
    void SetShape(const Region* region, bool empty);
    void SetOpacity(std::optional<BYTE> alpha);

    // Asks for the place; answers how many requests went to the server.
    int MoveResize(const RECT& rect);
    // Takes the place the server reports without asking for it again.
    void NoteGeometry(const RECT& rect) { rect_ = rect; }
    // Whether `rect` is a place this window asked for and has not yet heard
    // back: the window manager's answer to it (forgetting it and those asked
    // before it).
    bool TakeRequested(const RECT& rect);
    // Whether a place asked for is still unanswered.
    bool AwaitsAnswer() const { return !requested_.empty(); }
    // Maps the window; whether it was unmapped until now.
    bool Map();
    void Unmap();
    void Iconify();
    void Raise();

    // Sends what changed in `area` of `frame` (the window's size) since the
    // last frame.
    void Present(const Bitmap& frame, const RECT& area);
    // Sends `area` again (after Expose).
    void Repaint(const RECT& area);

private:
    void SetState(const char* state, bool on);
    void WriteSizeHints();
    void Request(const RECT& rect);

    XConnection& connection_;
    ::Window window_ = 0;
    GC gc_ = nullptr;
    RECT rect_{};
    bool popup_;
    bool mapped_ = false;
    bool shapeSet_ = false;
    WindowLook look_{};
    std::unique_ptr<XImageBuffer> image_;
    std::deque<RECT> requested_;  // places asked for, oldest first
};

}  // namespace zem::platform::display
