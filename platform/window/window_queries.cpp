// The window system's interface to the other platform areas: what a window
// is (place, visibility, tree, class, text, region, icons, cursor, update
// area), observers of window events, and the desktop's settings.
#include <algorithm>
#include <cstring>

#include "platform/window/user32.h"
#include "platform/window/window_internal.h"
#include "platform/window/window_system.h"

using zem::platform::detail::HandleValue;
using zem::platform::detail::ShowState;
using zem::platform::detail::WindowData;
using zem::platform::detail::WindowSystem;
using zem::platform::WindowEventKind;

namespace {
WindowSystem& System() { return WindowSystem::Get(); }
}  // namespace
namespace zem::platform {

bool IsLiveWindow(HWND window) { return System().Find(window) != nullptr; }

RECT WindowScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool IsOwnVisible(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr && (data->style & WS_VISIBLE) != 0;
}

bool IsEffectivelyVisible(HWND window) {
    WindowSystem& system = System();
    for (WindowData* data = system.Find(window); data != nullptr; data = system.Find(data->parent)) {
        if ((data->style & WS_VISIBLE) == 0 || data->destroying) return false;
        if (data->parent == nullptr) return data->state != ShowState::Minimized;
    }
    return false;
}

bool IsMinimizedWindow(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr && data->state == ShowState::Minimized;
}

bool IsMaximizedWindow(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr && data->state == ShowState::Maximized;
}

HWND ParentWindow(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->parent : nullptr;
}

HWND OwnerWindow(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->owner : nullptr;
}

std::uint64_t ForegroundRequests() { return System().foregroundRequests; }

std::vector<HWND> TopLevelWindows() { return System().topLevels; }

std::vector<HWND> ChildWindows(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->children : std::vector<HWND>{};
}

std::string WindowClassName(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->windowClass.name : std::string{};
}

std::string WindowText(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->text : std::string{};
}

std::shared_ptr<const Region> WindowRegion(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->region : nullptr;
}

std::optional<BYTE> LayeredAlpha(HWND window) {
    WindowData* data = System().Find(window);
    if (data == nullptr || (data->exStyle & WS_EX_LAYERED) == 0) return std::nullopt;
    return data->alpha;
}

void SetWindowIconHandle(HWND window, HICON icon) {
    if (WindowData* data = System().Find(window)) {
        data->icon = icon;
        System().Notify(WindowEventKind::StateChanged, window);
    }
}

HICON WindowIconHandle(HWND window) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return nullptr;
    return data->icon != nullptr ? data->icon : data->windowClass.icon;
}

void SetWindowCursorIcon(HWND window, HICON icon) {
    if (WindowData* data = System().Find(window)) data->cursorIcon = icon;
}

HICON WindowCursorIcon(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->cursorIcon : nullptr;
}

void SetWindowCursorId(HWND window, int cursorId) {
    if (WindowData* data = System().Find(window)) data->cursorId = cursorId;
}

int WindowCursorId(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->cursorId : 0;
}

std::optional<RECT> UpdateRectOf(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr ? data->update : std::nullopt;
}

WindowObserverRegistration::WindowObserverRegistration(WindowObserver observer) {
    WindowSystem& system = System();
    id_ = system.nextObserver++;
    system.observers.emplace_back(id_, std::move(observer));
}

WindowObserverRegistration::~WindowObserverRegistration() {
    if (id_ != 0) std::erase_if(System().observers, [this](const auto& entry) { return entry.first == id_; });
}

WindowObserverRegistration::WindowObserverRegistration(WindowObserverRegistration&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

WindowObserverRegistration& WindowObserverRegistration::operator=(WindowObserverRegistration&& other) noexcept {
    if (this != &other) {
        if (id_ != 0) std::erase_if(System().observers, [this](const auto& entry) { return entry.first == id_; });
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void ConfigureDesktop(const DesktopSettings& settings) {
    WindowSystem& system = System();
    system.desktop = settings;
    system.BuildTaskbar();
}

DesktopSettings CurrentDesktop() { return System().desktop; }

HWND TaskbarWindow() { return System().taskbar; }

void ResetWindowSystem() {
    WindowSystem& system = System();
    system.taskbar = nullptr;
    while (!system.topLevels.empty()) {
        const HWND window = system.topLevels.front();
        if (DestroyWindow(window) == FALSE) std::erase(system.topLevels, window);
    }
    system.windows.clear();
    system.classes.clear();
    system.posted.clear();
    system.cooked.clear();
    system.input.clear();
    system.quitPending = false;
    system.quitCode = 0;
    system.timers.clear();
    system.nextThreadTimerId = 1;
    system.capture = system.focus = system.foreground = system.leaveTracked = nullptr;
    system.cursor = {};
    for (bool& held : system.buttons) held = false;
    for (bool& held : system.keys) held = false;
    system.lastPress = {};
    system.regions.clear();
    system.desktop = DesktopSettings{};
    system.BuildTaskbar();
}

}  // namespace zem::platform
