// Pointer input: hit-testing, mouse messages, double clicks, capture, leave
// tracking and the scripted input of tests and the display.
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/window/user32.h"
#include "platform/window/window_internal.h"

using zem::platform::CurrentClock;
using zem::platform::InputEvent;
using zem::platform::MouseButton;
using zem::platform::detail::PackPoint;
using zem::platform::detail::PointInRect;
using zem::platform::detail::WindowData;
using zem::platform::detail::WindowSystem;

namespace {

WindowSystem& System() { return WindowSystem::Get(); }

// The deepest visible window at `point` (in `window`'s parent coordinates) under `window`.
HWND HitWithin(WindowSystem& system, HWND window, POINT point) {
    WindowData* data = system.Find(window);
    if (data == nullptr || data->destroying || (data->style & WS_VISIBLE) == 0) return nullptr;
    if (!PointInRect(data->rect, point)) return nullptr;
    const POINT local{point.x - data->rect.left, point.y - data->rect.top};
    if (data->region && !data->region->Contains(local.x, local.y)) return nullptr;
    for (HWND child : data->children)
        if (HWND hit = HitWithin(system, child, local)) return hit;
    return window;
}

WPARAM KeyFlags(const WindowSystem& system) {
    WPARAM flags = 0;
    if (system.buttons[0]) flags |= MK_LBUTTON;
    if (system.buttons[1]) flags |= MK_RBUTTON;
    if (system.buttons[2]) flags |= MK_MBUTTON;
    return flags;
}

void Cook(WindowSystem& system, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG made{};
    made.hwnd = window;
    made.message = message;
    made.wParam = wParam;
    made.lParam = lParam;
    made.time = static_cast<DWORD>(CurrentClock().Now());
    made.pt = system.cursor;
    system.cooked.push_back(made);
}

LPARAM ClientPoint(WindowSystem& system, HWND window) {
    const POINT origin = system.ClientOrigin(window);
    return PackPoint(system.cursor.x - origin.x, system.cursor.y - origin.y);
}

// Input for a disabled window (or one inside a disabled window) is dropped.
HWND MouseTarget(WindowSystem& system, HWND hit) {
    HWND target = system.capture != nullptr ? system.capture : hit;
    if (target == nullptr || !system.IsEnabledChain(target)) return nullptr;
    return target;
}

void CookMove(WindowSystem& system, POINT position) {
    system.cursor = position;
    const HWND hit = zem::platform::WindowAtPoint(position);
    if (system.leaveTracked != nullptr && hit != system.leaveTracked) {
        Cook(system, system.leaveTracked, WM_MOUSELEAVE, 0, 0);
        system.leaveTracked = nullptr;
    }
    if (HWND target = MouseTarget(system, hit))
        Cook(system, target, WM_MOUSEMOVE, KeyFlags(system), ClientPoint(system, target));
}

}  // namespace

namespace zem::platform::detail {

void WindowSystem::CookKey(const InputEvent& event) {
    const HWND target = focus != nullptr ? focus : foreground;
    if (event.kind == InputEvent::Kind::Character) {
        if (target != nullptr && IsEnabledChain(target)) Cook(*this, target, WM_CHAR, event.character, 1);
        return;
    }
    const int key = event.virtualKey & 0xFF;
    const bool down = event.kind == InputEvent::Kind::KeyDown;
    const bool repeat = down && keys[key];
    keys[key] = down;
    if (target == nullptr || !IsEnabledChain(target)) return;
    // lParam: repeat count 1, bit 30 = the key was down before, bit 31 = released.
    LPARAM flags = 1;
    if (repeat || !down) flags |= LPARAM{1} << 30;
    if (!down) flags |= LPARAM{1} << 31;
    Cook(*this, target, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(key), flags);
}

void WindowSystem::CookInput(const InputEvent& event) {
    if (event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp ||
        event.kind == InputEvent::Kind::Character) {
        CookKey(event);
        return;
    }
    const int index = static_cast<int>(event.button);
    // A press or release away from the pointer first moves the pointer there.
    if (event.kind == InputEvent::Kind::Move || event.position.x != cursor.x || event.position.y != cursor.y)
        CookMove(*this, event.position);
    if (event.kind == InputEvent::Kind::Move) return;
    const HWND hit = zem::platform::WindowAtPoint(cursor);
    if (event.kind == InputEvent::Kind::Wheel) {
        // The wheel goes to the window under the pointer (or the capture holder):
        // what the user points at is what scrolls.
        if (HWND target = MouseTarget(*this, hit))
            Cook(*this, target, WM_MOUSEWHEEL,
                 MAKEWPARAM(static_cast<WORD>(KeyFlags(*this)), static_cast<WORD>(static_cast<SHORT>(event.wheelDelta))),
                 PackPoint(cursor.x, cursor.y));
        return;
    }
    static constexpr UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static constexpr UINT kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static constexpr UINT kDouble[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    const HWND target = MouseTarget(*this, hit);
    if (event.kind == InputEvent::Kind::Press) {
        buttons[index] = true;
        if (capture == nullptr && hit != nullptr) {
            const HWND top = TopLevelOf(hit);
            if (foreground != top) SetForegroundWindow(top);
        }
        if (target == nullptr) return;
        const Milliseconds now = CurrentClock().Now();
        WindowData* data = Find(target);
        const bool isDouble = data != nullptr && (data->windowClass.style & CS_DBLCLKS) != 0 && lastPress.valid &&
                              lastPress.window == target && lastPress.button == event.button &&
                              now - lastPress.time <= kDoubleClickTime &&
                              std::abs(cursor.x - lastPress.position.x) <= kDoubleClickWidth / 2 &&
                              std::abs(cursor.y - lastPress.position.y) <= kDoubleClickHeight / 2;
        if (isDouble) {
            lastPress = {};  // a third press starts over
        } else {
            lastPress = PressRecord{true, target, event.button, now, cursor};
        }
        Cook(*this, target, isDouble ? kDouble[index] : kDown[index], KeyFlags(*this), ClientPoint(*this, target));
        return;
    }
    buttons[index] = false;
    if (target != nullptr) Cook(*this, target, kUp[index], KeyFlags(*this), ClientPoint(*this, target));
}

}  // namespace zem::platform::detail

namespace zem::platform {

HWND WindowAtPoint(POINT screenPoint) {
    WindowSystem& system = System();
    for (HWND top : system.topLevels) {
        WindowData* data = system.Find(top);
        if (data == nullptr || data->state == detail::ShowState::Minimized) continue;
        // Nothing of a layered window of alpha 0 shows, so nothing of it takes the pointer.
        if ((data->exStyle & WS_EX_LAYERED) != 0 && data->alpha && *data->alpha == 0) continue;
        if (HWND hit = HitWithin(system, top, screenPoint)) return hit;
    }
    return nullptr;
}

void QueueInput(const InputEvent& event) { System().input.push_back(event); }

void DeliverInput(const InputEvent& event) {
    QueueInput(event);
    ProcessPendingMessages();
}

void MovePointer(LONG x, LONG y) { DeliverInput(InputEvent{InputEvent::Kind::Move, POINT{x, y}}); }

POINT LastPointerPosition() { return System().cursor; }

void SetPointerLocator(PointerLocator locator) { System().pointerLocator = std::move(locator); }

void PressButton(MouseButton button, LONG x, LONG y) {
    DeliverInput(InputEvent{InputEvent::Kind::Press, POINT{x, y}, button});
}

void ReleaseButton(MouseButton button, LONG x, LONG y) {
    DeliverInput(InputEvent{InputEvent::Kind::Release, POINT{x, y}, button});
}

void TurnWheel(int delta, LONG x, LONG y) {
    DeliverInput(InputEvent{InputEvent::Kind::Wheel, POINT{x, y}, MouseButton::Left, delta});
}

void Click(MouseButton button, LONG x, LONG y) {
    PressButton(button, x, y);
    ReleaseButton(button, x, y);
}

bool IsButtonHeld(MouseButton button) { return System().buttons[static_cast<int>(button)]; }

void PressKey(int virtualKey) {
    InputEvent event;
    event.kind = InputEvent::Kind::KeyDown;
    event.virtualKey = virtualKey;
    DeliverInput(event);
}

void ReleaseKey(int virtualKey) {
    InputEvent event;
    event.kind = InputEvent::Kind::KeyUp;
    event.virtualKey = virtualKey;
    DeliverInput(event);
}

void TypeText(const std::string& utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int each = 1; each < length && at + static_cast<std::size_t>(each) < utf8.size(); ++each)
            code = (code << 6) | (static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(each)]) & 0x3F);
        at += static_cast<std::size_t>(length);
        InputEvent event;
        event.kind = InputEvent::Kind::Character;
        event.character = code;
        QueueInput(event);
    }
    ProcessPendingMessages();
}

}  // namespace zem::platform

HWND SetCapture(HWND window) {
    WindowSystem& system = System();
    const HWND old = system.capture;
    if (system.Find(window) == nullptr) return old;
    system.capture = window;
    if (old != nullptr && old != window) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return old;
}

BOOL ReleaseCapture() {
    WindowSystem& system = System();
    const HWND old = system.capture;
    system.capture = nullptr;
    if (old != nullptr) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return System().capture; }

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) return FALSE;
    const WindowSystem& system = System();
    std::optional<POINT> located;
    if (system.pointerLocator) located = system.pointerLocator();
    *point = located.value_or(system.cursor);
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    zem::platform::QueueInput(InputEvent{InputEvent::Kind::Move, POINT{x, y}});
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request) {
    if (request == nullptr || request->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
    WindowSystem& system = System();
    if ((request->dwFlags & TME_LEAVE) == 0) return TRUE;
    if ((request->dwFlags & TME_CANCEL) != 0) {
        if (system.leaveTracked == request->hwndTrack) system.leaveTracked = nullptr;
        return TRUE;
    }
    if (system.Find(request->hwndTrack) == nullptr) return FALSE;
    // Asked while the pointer is already elsewhere, the leave comes at once.
    if (zem::platform::WindowAtPoint(system.cursor) != request->hwndTrack) {
        Cook(system, request->hwndTrack, WM_MOUSELEAVE, 0, 0);
        if (system.leaveTracked == request->hwndTrack) system.leaveTracked = nullptr;
        return TRUE;
    }
    system.leaveTracked = request->hwndTrack;
    return TRUE;
}

SHORT GetAsyncKeyState(int virtualKey) {
    const WindowSystem& system = System();
    bool held = virtualKey > 0 && virtualKey < 256 && system.keys[virtualKey];
    if (virtualKey == VK_LBUTTON) held = system.buttons[0];
    if (virtualKey == VK_RBUTTON) held = system.buttons[1];
    if (virtualKey == VK_MBUTTON) held = system.buttons[2];
    return held ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }
