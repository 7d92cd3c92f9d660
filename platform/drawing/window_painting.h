// Window painting: each window keeps a surface of its size that its DCs draw
// onto and that lasts between paints (what was drawn stays until drawn over),
// and the screen is composed from the surfaces of the visible windows.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/drawing/bitmap.h"

#include <cstdint>
#include <optional>
#include <string>

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint{};
    BOOL fRestore = FALSE;
    BOOL fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};

// A DC on the window's client area (the whole window: windows are
// borderless), clipped to the window and its region. GetDC(nullptr) draws on
// the desktop behind every window. Each DC is released with ReleaseDC.
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A DC clipped to the update area, which is validated. No WM_ERASEBKGND is
// sent: surfaces keep their pixels, so there is nothing to erase, and a
// control that copies its back buffer before the paint goes on keeps it.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

namespace zem::platform {

// The colour a new surface starts with: the classic face colour of an
// empty form, until the window draws itself.
inline constexpr COLORREF kNewSurfaceColor = 0xC8D0D4;

// The surface of a window (made at its current size on first use), or null
// for a dead window. Pixels written there directly are shown once told with
// SurfaceDrawn.
Bitmap* WindowSurface(HWND window);
// `area` of the window's surface (its coordinates) was written directly.
void SurfaceDrawn(HWND window, const RECT& area);

// Goes up whenever a DC takes a window's surface as its target, i.e. before
// anything is drawn on a window: the display composes anew only after it moved.
std::uint64_t SurfaceDrawCount();

// The whole screen: the desktop, then every visible top-level window from
// the bottom of the z-order up, each with its children over it, cut to its
// region and its parent, layered windows blended by their alpha.
Bitmap ComposeScreen();
// One window and its children as they look, at the window's size; pixels
// outside its region are black.
Bitmap ComposeWindow(HWND window);
// The same for `area` of the window (its coordinates) only, into `layer`,
// which takes the window's size first (keeping its pixels elsewhere): what a
// display that keeps the window's last picture needs after a drawing.
void ComposeWindowArea(HWND window, Bitmap& layer, const RECT& area);
// Where a top-level window and its children were drawn on since the last
// call (the window's coordinates), or nothing; the call forgets it.
std::optional<RECT> TakeDrawnArea(HWND window);

bool WriteScreenSnapshot(const std::string& path);
bool WriteWindowSnapshot(HWND window, const std::string& path);

// A screen snapshot asked for by path, written at most once.
class SnapshotRequest {
public:
    explicit SnapshotRequest(std::string path) : path_(std::move(path)) {}
    // Writes the screen to the path the first time; the path written, if any.
    std::optional<std::string> WriteOnce();

private:
    std::string path_;
    bool done_ = false;
};

// The message loop calls this when it first runs out of messages: when the
// environment variable ZEM_SNAPSHOT names a file, the screen is written
// there, once per run. Returns the path written, if any.
std::optional<std::string> WriteRequestedSnapshot();

}  // namespace zem::platform
