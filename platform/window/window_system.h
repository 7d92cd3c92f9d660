// The window system's internal interface for the other platform areas (drawing,
// display, forms, shell) and for tests: geometry, visibility, z-order, regions,
// layered alpha, update regions, observers, the desktop and scripted input.
// Programs use the desktop-style functions of "platform/window/user32.h".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/clock.h"
#include "platform/base/win32_types.h"
#include "platform/window/region.h"

namespace zem::platform {

// ---- Geometry and tree ------------------------------------------------------
// Every window is borderless: its client area is its whole rectangle, and
// client coordinates are relative to its top-left corner.

bool IsLiveWindow(HWND window);
// The window's rectangle in screen coordinates; all zero for a dead handle.
RECT WindowScreenRect(HWND window);
// The window's own WS_VISIBLE bit.
bool IsOwnVisible(HWND window);
// Shown on the screen: visible itself and every ancestor visible, and its
// top-level window not minimized.
bool IsEffectivelyVisible(HWND window);
bool IsMinimizedWindow(HWND window);
bool IsMaximizedWindow(HWND window);
// Parent of a child window; null for a top-level window.
HWND ParentWindow(HWND window);
// Owner of a top-level window (created with a parent, or given one through
// GWLP_HWNDPARENT); null otherwise.
HWND OwnerWindow(HWND window);
// How many times a window was asked to the foreground (SetForegroundWindow, a
// show, a press): the display activates the foreground window at the server
// each time this grows, also when it already was the foreground one.
std::uint64_t ForegroundRequests();
// Top-level windows, topmost first.
std::vector<HWND> TopLevelWindows();
// Children of `window`, topmost first.
std::vector<HWND> ChildWindows(HWND window);
std::string WindowClassName(HWND window);
std::string WindowText(HWND window);

// ---- Regions, transparency, pointer shape ----------------------------------

// The window's region in client coordinates, or null when it has none (the
// whole rectangle counts). A new region replaces the object; hold the pointer.
std::shared_ptr<const Region> WindowRegion(HWND window);
// The alpha given by SetLayeredWindowAttributes with LWA_ALPHA for a layered
// window; nothing for a window that is not layered or has no alpha set.
std::optional<BYTE> LayeredAlpha(HWND window);
// The per-window pointer shape id the display shows over the window (0 = arrow).
void SetWindowCursorId(HWND window, int cursorId);
// The icon a top-level window shows in the taskbar and its frame: the one set
// here (a form's Icon), else its class's; null for none.
void SetWindowIconHandle(HWND window, HICON icon);
HICON WindowIconHandle(HWND window);
int WindowCursorId(HWND window);
// The picture a window's custom pointer (99) shows; null for none.
void SetWindowCursorIcon(HWND window, HICON icon);
HICON WindowCursorIcon(HWND window);

// The region object behind an HRGN, or null when the handle is no live region.
const Region* RegionFromHandle(HRGN region);
// Frees a region handle that no window owns. DeleteObject (drawing's, shared by
// every kind of GDI object) calls this first: true when `object` was a region
// handle (live or owned by a window), whether or not it was freed.
bool DeleteRegionObject(HGDIOBJ object, bool* deleted = nullptr);

// ---- Update regions ----------------------------------------------------------
// The update region is kept as one rectangle in client coordinates (the union
// of what was invalidated). See also InvalidateRect, ValidateRect, GetUpdateRect
// and UpdateWindow in user32.h.

std::optional<RECT> UpdateRectOf(HWND window);

// ---- Observers ---------------------------------------------------------------

enum class WindowEventKind {
    Created,
    Destroyed,       // sent after WM_DESTROY, while the handle still answers queries
    Moved,           // screen position changed (also for children moved with a parent)
    Resized,
    VisibilityChanged,
    ZOrderChanged,
    ParentChanged,
    RegionChanged,
    LayeredChanged,
    Invalidated,
    StateChanged,    // minimized, maximized or restored
};

struct WindowEvent {
    WindowEventKind kind;
    HWND window;
};

using WindowObserver = std::function<void(const WindowEvent&)>;

// Keeps an observer registered for its lifetime.
class WindowObserverRegistration {
public:
    WindowObserverRegistration() = default;
    explicit WindowObserverRegistration(WindowObserver observer);
    ~WindowObserverRegistration();
    WindowObserverRegistration(WindowObserverRegistration&& other) noexcept;
    WindowObserverRegistration& operator=(WindowObserverRegistration&& other) noexcept;
    WindowObserverRegistration(const WindowObserverRegistration&) = delete;
    WindowObserverRegistration& operator=(const WindowObserverRegistration&) = delete;

private:
    std::uint64_t id_ = 0;
};

// ---- The desktop -------------------------------------------------------------

enum class TaskbarEdge { None, Bottom, Top, Left, Right };

struct DesktopSettings {
    LONG width = 1366;
    LONG height = 768;
    TaskbarEdge taskbarEdge = TaskbarEdge::Bottom;
    LONG taskbarThickness = 40;
};

// Resizes the screen and places (or removes) the taskbar window, of class
// "shell_traywnd" with an empty title.
void ConfigureDesktop(const DesktopSettings& settings);
DesktopSettings CurrentDesktop();
HWND TaskbarWindow();

// Destroys every window, forgets classes, queued messages, input, timers,
// capture and focus, and restores the default desktop. For tests.
void ResetWindowSystem();

// ---- Input -------------------------------------------------------------------

enum class MouseButton { Left, Right, Middle };

struct InputEvent {
    enum class Kind { Move, Press, Release, Wheel, KeyDown, KeyUp, Character };
    Kind kind = Kind::Move;
    POINT position{};          // screen coordinates (pointer events)
    MouseButton button = MouseButton::Left;
    int wheelDelta = 0;        // multiples of 120 per notch; positive away from the user
    int virtualKey = 0;        // KeyDown, KeyUp: the VK_ code
    char32_t character = 0;    // Character: one code point of typed text
};

// Keyboard events go to the focused window, or to the foreground window when
// no window has the focus: WM_KEYDOWN / WM_KEYUP with the virtual key, and
// WM_CHAR with the typed code point in wParam (the programs' text is UTF-8,
// so a character arrives whole, never as bytes of a code page).
void PressKey(int virtualKey);
void ReleaseKey(int virtualKey);
// Types each code point of a UTF-8 text as WM_CHAR.
void TypeText(const std::string& utf8);

// Appends to the input queue; the message loop (or a modal loop such as the
// move loop) turns each event into messages when it reads it.
void QueueInput(const InputEvent& event);
// Queues the event, then processes every pending message (as DoEvents does).
void DeliverInput(const InputEvent& event);
void MovePointer(LONG x, LONG y);
// Where the last pointer event put the pointer (over the program's windows,
// or held by capture).
POINT LastPointerPosition();
// Where the person's pointer is, when the desktop knows it beyond the
// program's windows (a display); GetCursorPos asks it and falls back to
// LastPointerPosition when there is none or it has no answer.
using PointerLocator = std::function<std::optional<POINT>()>;
void SetPointerLocator(PointerLocator locator);
void PressButton(MouseButton button, LONG x, LONG y);
void ReleaseButton(MouseButton button, LONG x, LONG y);
void TurnWheel(int delta, LONG x, LONG y);
// Press and release at one place.
void Click(MouseButton button, LONG x, LONG y);
bool IsButtonHeld(MouseButton button);
// The window the pointer is over (hit-testing z-order, visibility and regions),
// ignoring capture; null over the bare desktop.
HWND WindowAtPoint(POINT screenPoint);

// ---- Message processing ------------------------------------------------------

// Processes every pending message of the thread without ever blocking (the
// forms runtime's DoEvents): what is queued (posted messages, input, paints,
// due timers), then one step of the event loop's wait that does not wait (the
// display presents its windows and reads the X server's events, the engine's
// sources and due loop timers run), then what that step queued. False when
// WM_QUIT was met (it stays pending for the outer loop).
bool ProcessPendingMessages();

// Waits, in the event loop (platform/base/event_loop.h), until a message may
// be there: the next window timer is the time-out, and every registered
// notifier can end the wait. False when nothing can ever come. On a manual
// clock the wait moves the clock to the next due timer and runs it, unless a
// real descriptor or wait hook is registered: then time stands still and the
// wait is a real one, bounded (5 s) so that a test waiting in vain ends.
bool WaitForMessages();

// For tests with real events (X, web pages): processes messages and waits in
// the event loop until `done` answers true or `realLimit` real milliseconds
// pass; never moves a manual clock. Answers `done()`.
bool PumpMessagesUntil(const std::function<bool()>& done, Milliseconds realLimit = 5000);

}  // namespace zem::platform
