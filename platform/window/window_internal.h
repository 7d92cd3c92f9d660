// Private state of the window system, shared by the files of this library.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/base/clock.h"
#include "platform/window/region.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::platform::detail {

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

enum class ShowState { Normal, Minimized, Maximized };

struct WindowData {
    HWND handle = nullptr;
    WindowClass windowClass;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    WNDPROC procedure = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // top-level windows created with a parent
    std::vector<HWND> children;  // topmost first
    RECT rect{};                 // in the parent's client coordinates (screen for top-level)
    std::shared_ptr<const Region> region;
    HRGN regionHandle = nullptr;
    std::optional<BYTE> alpha;
    std::optional<RECT> update;
    int cursorId = 0;
    HICON icon = nullptr;
    HICON cursorIcon = nullptr;
    ShowState state = ShowState::Normal;
    bool maximizedBeforeMinimize = false;
    bool hiddenWithOwner = false;  // hidden while its owner is minimized, shown again with it
    RECT restoreRect{};
    bool destroying = false;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    Milliseconds period = 0;
    Milliseconds due = 0;
    TIMERPROC procedure = nullptr;
    std::uint64_t order = 0;  // creation order breaks ties between equal due times
};

struct RegionEntry {
    Region region;
    HWND owner = nullptr;  // the window that owns it, or null for the program's own
};

struct PressRecord {
    bool valid = false;
    HWND window = nullptr;
    MouseButton button = MouseButton::Left;
    Milliseconds time = 0;
    POINT position{};
};

class WindowSystem final : public TimerScheduler {
public:
    static WindowSystem& Get();
    ~WindowSystem() override;

    WindowData* Find(HWND window);
    void Notify(WindowEventKind kind, HWND window);
    void NotifySubtree(WindowEventKind kind, HWND window);
    std::vector<HWND>& SiblingsOf(WindowData& window);
    HWND TopLevelOf(HWND window);
    POINT ClientOrigin(HWND window);  // screen position of the window's top-left corner
    bool IsEnabledChain(HWND window);
    void CollectSubtree(HWND window, std::vector<HWND>& out);
    void PlaceInZOrder(WindowData& window, HWND insertAfter);
    void KeepOwnedAbove(HWND window);
    void ShowOwnedWindows(HWND owner, bool show);
    void Invalidate(WindowData& window, const RECT* rect);
    void Resize(HWND window, RECT rect, WPARAM sizeKind, bool sendSize);
    void Maximize(HWND window);
    void Maximize(HWND window, bool recordRestoreRect);
    void Minimize(HWND window);
    void Restore(HWND window);
    void SetVisible(HWND window, bool visible);
    void BuildTaskbar();

    // Messages
    bool TakeMessage(MSG* message, bool remove, bool includeInput);
    bool TakeTimerMessage(MSG* message, bool remove);
    void CookInput(const InputEvent& event);
    void CookKey(const InputEvent& event);
    bool WaitForMessages();
    LRESULT MoveLoop(HWND window);

    // TimerScheduler
    std::optional<Milliseconds> NextDueTime() const override;
    void RunDueTimers(Milliseconds now) override;

    std::map<std::string, WindowClass> classes;  // keyed by lower-cased name
    std::unordered_map<std::uintptr_t, std::unique_ptr<WindowData>> windows;
    std::vector<HWND> topLevels;  // topmost first
    std::uintptr_t nextHandle = 0x10010;

    std::deque<MSG> posted;
    std::deque<MSG> cooked;  // mouse messages made from input, waiting to be read
    std::deque<InputEvent> input;
    bool quitPending = false;
    int quitCode = 0;
    int moveLoopDepth = 0;

    std::vector<Timer> timers;
    std::uint64_t nextTimerOrder = 0;
    UINT_PTR nextThreadTimerId = 1;

    HWND capture = nullptr;
    HWND focus = nullptr;
    HWND foreground = nullptr;
    std::uint64_t foregroundRequests = 0;
    HWND leaveTracked = nullptr;
    POINT cursor{};
    PointerLocator pointerLocator;
    bool buttons[3] = {false, false, false};
    bool keys[256] = {};
    PressRecord lastPress;

    std::unordered_map<std::uintptr_t, RegionEntry> regions;
    std::uintptr_t nextRegion = 0;

    std::vector<std::pair<std::uint64_t, WindowObserver>> observers;
    std::uint64_t nextObserver = 1;

    DesktopSettings desktop;
    HWND taskbar = nullptr;

private:
    WindowSystem();
    bool desktopReady_ = false;
};

inline HWND ToWindowHandle(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }
inline std::uintptr_t HandleValue(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }
inline std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
inline bool PointInRect(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}
inline LPARAM PackPoint(LONG x, LONG y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

inline constexpr std::uintptr_t kDesktopHandle = 0x10004;
inline constexpr std::uintptr_t kRegionHandleBase = 0x52000000;
inline constexpr UINT kDoubleClickTime = 500;
inline constexpr int kDoubleClickWidth = 4;
inline constexpr int kDoubleClickHeight = 4;
inline constexpr UINT kMinimumTimerPeriod = 10;
// How long, in real time, a manual-clock wait lasts when real events could come.
// As long as a test waits for an event: a sanitized run on a busy machine can
// be silent for seconds while the X server or the engine is still at work.
inline constexpr Milliseconds kManualClockRealWait = 60000;

}  // namespace zem::platform::detail
