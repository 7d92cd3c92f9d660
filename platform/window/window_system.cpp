// Windows, classes, the window tree, geometry, state and the desktop.
#include "platform/window/window_system.h"

#include <algorithm>
#include <cstring>

#include "platform/window/user32.h"
#include "platform/window/window_internal.h"

namespace zem::platform::detail {

WindowSystem::WindowSystem() { SetTimerScheduler(this); }

WindowSystem::~WindowSystem() {
    if (CurrentTimerScheduler() == this) SetTimerScheduler(nullptr);
}

WindowSystem& WindowSystem::Get() {
    static WindowSystem system;
    if (!system.desktopReady_) {
        system.desktopReady_ = true;
        system.BuildTaskbar();
    }
    return system;
}

WindowData* WindowSystem::Find(HWND window) {
    auto found = windows.find(HandleValue(window));
    return found == windows.end() ? nullptr : found->second.get();
}

void WindowSystem::Notify(WindowEventKind kind, HWND window) {
    if (observers.empty()) return;
    const auto snapshot = observers;  // an observer may unregister itself
    for (const auto& [id, observer] : snapshot) observer(WindowEvent{kind, window});
}

void WindowSystem::NotifySubtree(WindowEventKind kind, HWND window) {
    std::vector<HWND> all;
    CollectSubtree(window, all);
    for (HWND each : all) Notify(kind, each);
}

std::vector<HWND>& WindowSystem::SiblingsOf(WindowData& window) {
    if (window.parent != nullptr) {
        if (WindowData* parent = Find(window.parent)) return parent->children;
    }
    return topLevels;
}

HWND WindowSystem::TopLevelOf(HWND window) {
    WindowData* data = Find(window);
    while (data != nullptr && data->parent != nullptr) {
        WindowData* parent = Find(data->parent);
        if (parent == nullptr) break;
        data = parent;
    }
    return data != nullptr ? data->handle : nullptr;
}

POINT WindowSystem::ClientOrigin(HWND window) {
    POINT origin{};
    for (WindowData* data = Find(window); data != nullptr; data = Find(data->parent)) {
        origin.x += data->rect.left;
        origin.y += data->rect.top;
        if (data->parent == nullptr) break;
    }
    return origin;
}

bool WindowSystem::IsEnabledChain(HWND window) {
    for (WindowData* data = Find(window); data != nullptr; data = Find(data->parent)) {
        if ((data->style & WS_DISABLED) != 0) return false;
        if (data->parent == nullptr) break;
    }
    return true;
}

void WindowSystem::CollectSubtree(HWND window, std::vector<HWND>& out) {
    WindowData* data = Find(window);
    if (data == nullptr) return;
    out.push_back(window);
    const std::vector<HWND> children = data->children;
    for (HWND child : children) CollectSubtree(child, out);
}

void WindowSystem::PlaceInZOrder(WindowData& window, HWND insertAfter) {
    std::vector<HWND>& siblings = SiblingsOf(window);
    std::erase(siblings, window.handle);
    const bool topLevel = window.parent == nullptr;
    // Among top-level windows the topmost ones stay ahead of the others.
    auto bandBegin = siblings.begin();
    auto bandEnd = siblings.end();
    if (topLevel) {
        auto firstNormal = std::find_if(siblings.begin(), siblings.end(), [this](HWND each) {
            WindowData* data = Find(each);
            return data == nullptr || (data->exStyle & WS_EX_TOPMOST) == 0;
        });
        if ((window.exStyle & WS_EX_TOPMOST) != 0) {
            bandEnd = firstNormal;
        } else {
            bandBegin = firstNormal;
        }
    }
    auto position = bandBegin;
    if (insertAfter == HWND_BOTTOM) {
        position = bandEnd;
    } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
        auto after = std::find(bandBegin, bandEnd, insertAfter);
        if (after != bandEnd) position = after + 1;
    }
    siblings.insert(position, window.handle);
    if (topLevel) KeepOwnedAbove(window.handle);
}

void WindowSystem::Invalidate(WindowData& window, const RECT* rect) {
    RECT area{0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top};
    if (rect != nullptr) {
        area.left = std::max(area.left, rect->left);
        area.top = std::max(area.top, rect->top);
        area.right = std::min(area.right, rect->right);
        area.bottom = std::min(area.bottom, rect->bottom);
    }
    if (area.left >= area.right || area.top >= area.bottom) return;
    if (window.update) {
        RECT& update = *window.update;
        update.left = std::min(update.left, area.left);
        update.top = std::min(update.top, area.top);
        update.right = std::max(update.right, area.right);
        update.bottom = std::max(update.bottom, area.bottom);
    } else {
        window.update = area;
    }
    Notify(WindowEventKind::Invalidated, window.handle);
}

void WindowSystem::Resize(HWND window, RECT rect, WPARAM sizeKind, bool sendSize) {
    WindowData* data = Find(window);
    if (data == nullptr) return;
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    const RECT old = data->rect;
    const bool moved = old.left != rect.left || old.top != rect.top;
    const bool resized = (old.right - old.left) != (rect.right - rect.left) ||
                         (old.bottom - old.top) != (rect.bottom - rect.top);
    data->rect = rect;
    if (resized) {
        data->update.reset();
        Invalidate(*data, nullptr);
    }
    if (moved) {
        NotifySubtree(WindowEventKind::Moved, window);
        SendMessageA(window, WM_MOVE, 0, PackPoint(rect.left, rect.top));
    }
    if (resized) Notify(WindowEventKind::Resized, window);
    if (resized || sendSize) {
        SendMessageA(window, WM_SIZE, sizeKind,
                     MAKELPARAM(static_cast<WORD>(rect.right - rect.left), static_cast<WORD>(rect.bottom - rect.top)));
    }
}

void WindowSystem::SetVisible(HWND window, bool visible) {
    WindowData* data = Find(window);
    if (data == nullptr) return;
    const bool was = (data->style & WS_VISIBLE) != 0;
    if (was == visible) return;
    SendMessageA(window, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    data = Find(window);
    if (data == nullptr) return;
    if (visible) {
        data->style |= WS_VISIBLE;
        std::vector<HWND> all;
        CollectSubtree(window, all);
        for (HWND each : all)
            if (WindowData* shown = Find(each)) Invalidate(*shown, nullptr);
    } else {
        data->style &= ~WS_VISIBLE;
    }
    Notify(WindowEventKind::VisibilityChanged, window);
}

void WindowSystem::Maximize(HWND window) { Maximize(window, true); }

void WindowSystem::Maximize(HWND window, bool recordRestoreRect) {
    WindowData* data = Find(window);
    if (data == nullptr) return;
    MINMAXINFO info{};
    RECT bounds{0, 0, desktop.width, desktop.height};
    if (data->parent != nullptr) GetClientRect(data->parent, &bounds);
    info.ptMaxSize = {bounds.right, bounds.bottom};
    info.ptMaxPosition = {0, 0};
    info.ptMinTrackSize = {0, 0};
    info.ptMaxTrackSize = {bounds.right, bounds.bottom};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    data = Find(window);
    if (data == nullptr) return;
    if (data->state == ShowState::Normal && recordRestoreRect) data->restoreRect = data->rect;
    const bool wasMinimized = data->state == ShowState::Minimized;
    data->state = ShowState::Maximized;
    data->style = (data->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    Notify(WindowEventKind::StateChanged, window);
    SetVisible(window, true);
    Resize(window,
           RECT{info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
                info.ptMaxPosition.y + info.ptMaxSize.y},
           SIZE_MAXIMIZED, true);
    if (wasMinimized) ShowOwnedWindows(window, true);
}

void WindowSystem::Minimize(HWND window) {
    WindowData* data = Find(window);
    if (data == nullptr || data->state == ShowState::Minimized) return;
    data->maximizedBeforeMinimize = data->state == ShowState::Maximized;
    if (data->state == ShowState::Normal) data->restoreRect = data->rect;
    data->state = ShowState::Minimized;
    data->style = (data->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
    if (focus != nullptr && TopLevelOf(focus) == TopLevelOf(window)) focus = nullptr;
    Notify(WindowEventKind::StateChanged, window);
    ShowOwnedWindows(window, false);
    SetVisible(window, true);
    // A minimized window has no client area (GetClientRect), as the size says.
    SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, 0);
}

void WindowSystem::Restore(HWND window) {
    WindowData* data = Find(window);
    if (data == nullptr || data->state == ShowState::Normal) {
        SetVisible(window, true);
        return;
    }
    if (data->state == ShowState::Minimized && data->maximizedBeforeMinimize) {
        data->state = ShowState::Normal;
        Maximize(window, false);
        ShowOwnedWindows(window, true);
        return;
    }
    const ShowState previous = data->state;
    data->state = ShowState::Normal;
    data->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    Notify(WindowEventKind::StateChanged, window);
    SetVisible(window, true);
    if (previous == ShowState::Maximized) {
        Resize(window, data->restoreRect, SIZE_RESTORED, true);
    } else {
        SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(data->rect.right - data->rect.left),
                                static_cast<WORD>(data->rect.bottom - data->rect.top)));
    }
    if (previous == ShowState::Minimized) ShowOwnedWindows(window, true);
}

void WindowSystem::BuildTaskbar() {
    if (taskbar != nullptr) {
        HWND old = taskbar;
        taskbar = nullptr;
        DestroyWindow(old);
    }
    if (desktop.taskbarEdge == TaskbarEdge::None) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "shell_traywnd";
    RegisterClassA(&windowClass);
    const LONG w = desktop.width, h = desktop.height, t = desktop.taskbarThickness;
    RECT rect{0, h - t, w, h};
    switch (desktop.taskbarEdge) {
        case TaskbarEdge::Top: rect = {0, 0, w, t}; break;
        case TaskbarEdge::Left: rect = {0, 0, t, h}; break;
        case TaskbarEdge::Right: rect = {w - t, 0, w, h}; break;
        default: break;
    }
    taskbar = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "shell_traywnd", "", WS_POPUP | WS_VISIBLE, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr,
                              nullptr);
    // Nothing of these programs paints the taskbar; it starts valid.
    ValidateRect(taskbar, nullptr);
}

}  // namespace zem::platform::detail

using zem::platform::detail::HandleValue;
using zem::platform::detail::ShowState;
using zem::platform::detail::WindowData;
using zem::platform::detail::WindowSystem;
using zem::platform::WindowEventKind;

namespace {
WindowSystem& System() { return WindowSystem::Get(); }
}  // namespace


// ---- Classes and windows ------------------------------------------------------------

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpszClassName[0] == '\0')
        return 0;
    WindowSystem& system = System();
    const std::string key = zem::platform::detail::LowerAscii(windowClass->lpszClassName);
    if (system.classes.contains(key)) return 0;
    zem::platform::detail::WindowClass entry;
    entry.name = windowClass->lpszClassName;
    entry.style = windowClass->style;
    entry.procedure = windowClass->lpfnWndProc != nullptr ? windowClass->lpfnWndProc : DefWindowProcA;
    entry.icon = windowClass->hIcon;
    entry.cursor = windowClass->hCursor;
    entry.background = windowClass->hbrBackground;
    system.classes.emplace(key, std::move(entry));
    return static_cast<ATOM>(0xC000 + system.classes.size());
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    if (className == nullptr) return FALSE;
    return System().classes.erase(zem::platform::detail::LowerAscii(className)) > 0 ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    WindowSystem& system = System();
    if (className == nullptr) return nullptr;
    auto found = system.classes.find(zem::platform::detail::LowerAscii(className));
    if (found == system.classes.end()) return nullptr;
    const bool child = (style & WS_CHILD) != 0;
    if (child && (system.Find(parent) == nullptr || system.Find(parent)->destroying)) return nullptr;
    if (!child && parent != nullptr && system.Find(parent) == nullptr) return nullptr;

    auto data = std::make_unique<WindowData>();
    const HWND handle = zem::platform::detail::ToWindowHandle(system.nextHandle);
    system.nextHandle += 4;
    data->handle = handle;
    data->windowClass = found->second;
    data->text = windowName != nullptr ? windowName : "";
    data->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    data->exStyle = exStyle;
    data->procedure = found->second.procedure;
    data->instance = instance;
    data->id = child ? static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(menu)) : 0;
    if (child) data->parent = parent;
    else data->owner = parent;
    // A default position or size is the top-left corner and no size: every window
    // of these programs places itself.
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    data->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    WindowData& window = *data;
    system.windows.emplace(HandleValue(handle), std::move(data));
    system.PlaceInZOrder(window, HWND_TOP);
    system.Notify(WindowEventKind::Created, handle);

    CREATESTRUCTA create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cx = width;
    create.cy = height;
    create.x = x;
    create.y = y;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == FALSE ||
        SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    WindowData* created = system.Find(handle);
    if (created == nullptr) return nullptr;
    const RECT rect = created->rect;
    SendMessageA(handle, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(rect.right - rect.left), static_cast<WORD>(rect.bottom - rect.top)));
    SendMessageA(handle, WM_MOVE, 0, zem::platform::detail::PackPoint(rect.left, rect.top));
    if ((style & WS_VISIBLE) != 0) system.SetVisible(handle, true);
    return system.Find(handle) != nullptr ? handle : nullptr;
}

BOOL DestroyWindow(HWND window) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr || data->destroying) return FALSE;

    // Windows it owns go first, as on the desktop platform.
    std::vector<HWND> owned;
    for (HWND top : system.topLevels)
        if (WindowData* each = system.Find(top); each != nullptr && each->owner == window) owned.push_back(top);
    for (HWND each : owned) DestroyWindow(each);

    std::vector<HWND> subtree;
    system.CollectSubtree(window, subtree);
    for (HWND each : subtree) {
        WindowData* member = system.Find(each);
        member->destroying = true;
        if (system.capture == each) system.capture = nullptr;
        if (system.focus == each) system.focus = nullptr;
        if (system.foreground == each) system.foreground = nullptr;
        if (system.leaveTracked == each) system.leaveTracked = nullptr;
        if (system.lastPress.window == each) system.lastPress = {};
        if (system.taskbar == each) system.taskbar = nullptr;
        std::erase_if(system.timers, [each](const auto& timer) { return timer.window == each; });
    }
    // Parent first, then its children, each while the whole tree still exists.
    for (HWND each : subtree) SendMessageA(each, WM_DESTROY, 0, 0);
    for (auto each = subtree.rbegin(); each != subtree.rend(); ++each) {
        system.Notify(WindowEventKind::Destroyed, *each);
        SendMessageA(*each, WM_NCDESTROY, 0, 0);
    }
    data = system.Find(window);
    std::erase(system.SiblingsOf(*data), window);
    for (HWND each : subtree) {
        WindowData* member = system.Find(each);
        if (member->regionHandle != nullptr) system.regions.erase(HandleValue(member->regionHandle));
        system.windows.erase(HandleValue(each));
    }
    for (auto& top : system.windows)
        if (top.second->owner == window) top.second->owner = nullptr;
    return TRUE;
}

BOOL IsWindow(HWND window) { return System().Find(window) != nullptr ? TRUE : FALSE; }

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return 0;
    switch (index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(data->procedure);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(data->instance);
        case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(data->parent != nullptr ? data->parent : data->owner);
        case GWLP_ID: return data->id;
        case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(data->style));
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(data->exStyle));
        case GWLP_USERDATA: return data->userData;
        default: return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr) return 0;
    const LONG_PTR previous = GetWindowLongPtrA(window, index);
    switch (index) {
        case GWLP_WNDPROC:
            // A null procedure would leave the window deaf; it is refused.
            if (value == 0) return 0;
            data->procedure = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_HINSTANCE: data->instance = reinterpret_cast<HINSTANCE>(value); break;
        case GWLP_HWNDPARENT: {
            // A top-level window's owner; one that would come to own itself is refused.
            const HWND owner = reinterpret_cast<HWND>(value);
            if (data->parent != nullptr) break;
            for (WindowData* up = system.Find(owner); up != nullptr; up = system.Find(up->owner))
                if (up == data) return 0;
            data->owner = owner;
            system.KeepOwnedAbove(window);
            system.Notify(WindowEventKind::ParentChanged, window);
            break;
        }
        case GWLP_ID: data->id = value; break;
        case GWLP_USERDATA: data->userData = value; break;
        case GWL_STYLE: {
            const DWORD old = data->style;
            data->style = static_cast<DWORD>(value);
            if (((old ^ data->style) & WS_VISIBLE) != 0) system.Notify(WindowEventKind::VisibilityChanged, window);
            break;
        }
        case GWL_EXSTYLE: {
            const DWORD old = data->exStyle;
            data->exStyle = static_cast<DWORD>(value);
            if (((old ^ data->exStyle) & WS_EX_LAYERED) != 0) {
                data->alpha.reset();
                system.Notify(WindowEventKind::LayeredChanged, window);
            }
            break;
        }
        default: return 0;
    }
    return previous;
}

LONG GetWindowLongA(HWND window, int index) {
    if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT) return 0;
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT) return 0;
    // Styles are 32-bit unsigned flags: keep the bits, not the sign.
    const LONG_PTR wide = (index == GWL_STYLE || index == GWL_EXSTYLE)
                              ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                              : static_cast<LONG_PTR>(value);
    return static_cast<LONG>(SetWindowLongPtrA(window, index, wide));
}

BOOL SetWindowTextA(HWND window, const char* text) {
    if (!IsWindow(window)) return FALSE;
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0 ? TRUE
                                                                                                          : FALSE;
}

int GetWindowTextA(HWND window, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    if (!IsWindow(window)) return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

HWND FindWindowA(const char* className, const char* windowName) {
    WindowSystem& system = System();
    const std::string wantedClass = className != nullptr ? zem::platform::detail::LowerAscii(className) : "";
    for (HWND top : system.topLevels) {
        WindowData* data = system.Find(top);
        if (data == nullptr || data->destroying) continue;
        if (className != nullptr && zem::platform::detail::LowerAscii(data->windowClass.name) != wantedClass) continue;
        if (windowName != nullptr && data->text != windowName) continue;
        return top;
    }
    return nullptr;
}

// ---- Geometry, state and z-order ---------------------------------------------------

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr) return FALSE;
    if ((flags & SWP_NOZORDER) == 0) {
        if (insertAfter == HWND_TOPMOST) data->exStyle |= WS_EX_TOPMOST;
        if (insertAfter == HWND_NOTOPMOST) data->exStyle &= ~WS_EX_TOPMOST;
        system.PlaceInZOrder(*data, insertAfter);
        system.Notify(WindowEventKind::ZOrderChanged, window);
    }
    RECT rect = data->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        rect.right += x - rect.left;
        rect.bottom += y - rect.top;
        rect.left = x;
        rect.top = y;
    }
    if ((flags & SWP_NOSIZE) == 0) {
        rect.right = rect.left + std::max(width, 0);
        rect.bottom = rect.top + std::max(height, 0);
    }
    const WPARAM kind = data->state == ShowState::Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    system.Resize(window, rect, kind, false);
    if ((flags & SWP_SHOWWINDOW) != 0) system.SetVisible(window, true);
    if ((flags & SWP_HIDEWINDOW) != 0) system.SetVisible(window, false);
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ShowWindow(HWND window, int command) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr) return FALSE;
    const BOOL wasVisible = (data->style & WS_VISIBLE) != 0 ? TRUE : FALSE;
    data->hiddenWithOwner = false;  // the program decides now, not the owner's restore
    switch (command) {
        case SW_HIDE: system.SetVisible(window, false); break;
        case SW_SHOWMAXIMIZED: system.Maximize(window); break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE: system.Minimize(window); break;
        case SW_SHOWNORMAL:
        case SW_RESTORE: system.Restore(window); break;
        default: system.SetVisible(window, true); break;
    }
    if ((command == SW_SHOWNORMAL || command == SW_SHOW || command == SW_RESTORE || command == SW_SHOWMAXIMIZED) &&
        IsWindow(window) && system.Find(window)->parent == nullptr)
        SetForegroundWindow(window);
    return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
    WindowSystem& system = System();
    for (WindowData* data = system.Find(window); data != nullptr; data = system.Find(data->parent)) {
        if ((data->style & WS_VISIBLE) == 0) return FALSE;
        if (data->parent == nullptr) return TRUE;
    }
    return FALSE;
}

BOOL IsIconic(HWND window) { return zem::platform::IsMinimizedWindow(window) ? TRUE : FALSE; }
BOOL IsZoomed(HWND window) { return zem::platform::IsMaximizedWindow(window) ? TRUE : FALSE; }

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (rect == nullptr) return FALSE;
    WindowSystem& system = System();
    if (HandleValue(window) == zem::platform::detail::kDesktopHandle) {
        *rect = RECT{0, 0, system.desktop.width, system.desktop.height};
        return TRUE;
    }
    WindowData* data = system.Find(window);
    if (data == nullptr) return FALSE;
    const POINT origin = system.ClientOrigin(window);
    *rect = RECT{origin.x, origin.y, origin.x + (data->rect.right - data->rect.left),
                 origin.y + (data->rect.bottom - data->rect.top)};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (rect == nullptr) return FALSE;
    RECT screen{};
    if (GetWindowRect(window, &screen) == FALSE) return FALSE;
    // A minimized window keeps its place for the restore but has no client area.
    if (zem::platform::IsMinimizedWindow(window)) screen = RECT{};
    *rect = RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    return TRUE;
}

HWND SetParent(HWND child, HWND newParent) {
    WindowSystem& system = System();
    WindowData* data = system.Find(child);
    if (data == nullptr || (newParent != nullptr && system.Find(newParent) == nullptr)) return nullptr;
    for (HWND up = newParent; up != nullptr; up = zem::platform::ParentWindow(up))
        if (up == child) return nullptr;  // a window cannot become its own descendant
    const HWND old = data->parent;
    std::erase(system.SiblingsOf(*data), child);
    data->parent = newParent;
    if (newParent != nullptr) data->owner = nullptr;
    system.PlaceInZOrder(*data, HWND_TOP);
    system.Notify(WindowEventKind::ParentChanged, child);
    system.NotifySubtree(WindowEventKind::Moved, child);
    return old != nullptr ? old : GetDesktopWindow();
}

BOOL IsChild(HWND parent, HWND window) {
    for (HWND up = zem::platform::ParentWindow(window); up != nullptr; up = zem::platform::ParentWindow(up))
        if (up == parent) return TRUE;
    return FALSE;
}

HWND WindowFromPoint(POINT point) { return zem::platform::WindowAtPoint(point); }

HWND GetParent(HWND window) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return nullptr;
    if (data->parent != nullptr) return data->parent;
    return (data->style & WS_POPUP) != 0 ? data->owner : nullptr;
}

BOOL BringWindowToTop(HWND window) {
    return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (point == nullptr || !IsWindow(window)) return FALSE;
    const POINT origin = System().ClientOrigin(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    if (point == nullptr || !IsWindow(window)) return FALSE;
    const POINT origin = System().ClientOrigin(window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr) return FALSE;
    const BOOL wasDisabled = (data->style & WS_DISABLED) != 0 ? TRUE : FALSE;
    if ((enable != FALSE) == (wasDisabled == FALSE)) return wasDisabled;
    if (enable != FALSE) {
        data->style &= ~WS_DISABLED;
    } else {
        data->style |= WS_DISABLED;
        if (system.focus == window) SetFocus(nullptr);
        if (system.capture == window) ReleaseCapture();
    }
    SendMessageA(window, WM_ENABLE, enable != FALSE ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    WindowData* data = System().Find(window);
    return data != nullptr && (data->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

HWND SetFocus(HWND window) {
    WindowSystem& system = System();
    if (window != nullptr && (system.Find(window) == nullptr || !system.IsEnabledChain(window))) return nullptr;
    const HWND old = system.focus;
    if (old == window) return old;
    system.focus = window;
    if (old != nullptr) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr && system.focus == window) {
        const HWND top = system.TopLevelOf(window);
        if (system.foreground != top) system.foreground = top;
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND GetFocus() { return System().focus; }

BOOL SetForegroundWindow(HWND window) {
    WindowSystem& system = System();
    const HWND top = system.TopLevelOf(window);
    if (top == nullptr) return FALSE;
    system.foreground = top;
    ++system.foregroundRequests;
    BringWindowToTop(top);
    return TRUE;
}

HWND GetForegroundWindow() { return System().foreground; }
HWND GetActiveWindow() { return System().foreground; }
HWND GetDesktopWindow() { return zem::platform::detail::ToWindowHandle(zem::platform::detail::kDesktopHandle); }

int GetSystemMetrics(int index) {
    const zem::platform::DesktopSettings& desktop = System().desktop;
    switch (index) {
        case SM_CXSCREEN: return desktop.width;
        case SM_CYSCREEN: return desktop.height;
        case SM_CXDOUBLECLK: return zem::platform::detail::kDoubleClickWidth;
        case SM_CYDOUBLECLK: return zem::platform::detail::kDoubleClickHeight;
        default: return 0;
    }
}

// ---- Painting ---------------------------------------------------------------------

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL) {
    WindowSystem& system = System();
    if (window == nullptr) {
        std::vector<HWND> all;
        for (HWND top : system.topLevels) system.CollectSubtree(top, all);
        for (HWND each : all) system.Invalidate(*system.Find(each), nullptr);
        return TRUE;
    }
    WindowData* data = system.Find(window);
    if (data == nullptr) return FALSE;
    system.Invalidate(*data, rect);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return FALSE;
    if (!data->update) return TRUE;
    RECT& update = *data->update;
    // The update area is one rectangle: validating part of it removes that part
    // only where the rest stays a rectangle; otherwise the area is kept whole.
    if (rect == nullptr || (rect->left <= update.left && rect->top <= update.top && rect->right >= update.right &&
                            rect->bottom >= update.bottom)) {
        data->update.reset();
    } else if (rect->left <= update.left && rect->right >= update.right) {
        if (rect->top <= update.top && rect->bottom > update.top) update.top = rect->bottom;
        else if (rect->bottom >= update.bottom && rect->top < update.bottom) update.bottom = rect->top;
    } else if (rect->top <= update.top && rect->bottom >= update.bottom) {
        if (rect->left <= update.left && rect->right > update.left) update.left = rect->right;
        else if (rect->right >= update.right && rect->left < update.right) update.right = rect->left;
    }
    if (data->update && (data->update->left >= data->update->right || data->update->top >= data->update->bottom))
        data->update.reset();
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return FALSE;
    if (rect != nullptr) *rect = data->update.value_or(RECT{});
    return data->update ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return FALSE;
    if (data->update && zem::platform::IsEffectivelyVisible(window)) SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}
