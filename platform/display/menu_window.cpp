#include "platform/display/menu_window.h"

#include <algorithm>

#include "platform/base/text.h"
#include "platform/display/own_windows.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::platform {
namespace {

constexpr const char* kClassName = "ZemPopupMenu";
constexpr int kRowHeight = 24;
constexpr int kSeparatorHeight = 9;
constexpr int kCheckColumn = 26;
constexpr int kRightPadding = 24;

struct MenuState {
    std::vector<MenuWindowItem> items;
    std::vector<RECT> rows;
    int hover = -1;
    int chosen = -1;
    bool closed = false;
};

MenuState* StateOf(HWND window) { return reinterpret_cast<MenuState*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

bool IsSeparator(const MenuWindowItem& item) { return item.caption == "-"; }

void Paint(HWND window, MenuState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const RECT whole = [&] {
        const RECT screen = WindowScreenRect(window);
        return RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    }();
    FillSolid(dc, whole, RGB(160, 160, 160));
    FillSolid(dc, RECT{1, 1, whole.right - 1, whole.bottom - 1}, RGB(250, 250, 250));
    HFONT font = OwnWindowFont();
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t index = 0; index < state.items.size(); ++index) {
        const MenuWindowItem& item = state.items[index];
        const RECT& row = state.rows[index];
        if (IsSeparator(item)) {
            FillSolid(dc, RECT{row.left + 4, row.top + 4, row.right - 4, row.top + 5}, RGB(215, 215, 215));
            continue;
        }
        const bool lit = static_cast<int>(index) == state.hover && item.enabled;
        if (lit) FillSolid(dc, row, RGB(204, 228, 247));
        SetTextColor(dc, item.enabled ? RGB(0, 0, 0) : RGB(160, 160, 160));
        if (item.checked) {
            RECT mark{row.left, row.top, row.left + kCheckColumn, row.bottom};
            DrawTextUtf8(dc, "✓", mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        RECT caption{row.left + kCheckColumn, row.top, row.right, row.bottom};
        DrawTextUtf8(dc, item.caption, caption, DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(window, &paint);
}

int RowAt(const MenuState& state, LPARAM lParam) {
    const POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    for (std::size_t index = 0; index < state.rows.size(); ++index) {
        const RECT& row = state.rows[index];
        if (point.x >= row.left && point.x < row.right && point.y >= row.top && point.y < row.bottom)
            return static_cast<int>(index);
    }
    return -1;
}

bool Choosable(const MenuState& state, int index) {
    return index >= 0 && index < static_cast<int>(state.items.size()) && state.items[index].enabled &&
           !IsSeparator(state.items[index]);
}

// Moves the highlight to the next choosable item in `step`'s direction.
void MoveHover(MenuState& state, int step) {
    const int count = static_cast<int>(state.items.size());
    int at = state.hover;
    for (int tries = 0; tries < count; ++tries) {
        at = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
        if (Choosable(state, at)) {
            state.hover = at;
            return;
        }
    }
}

LRESULT MenuProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MenuState* state = StateOf(window);
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: Paint(window, *state); return 0;
        case WM_MOUSEMOVE: {
            const int row = RowAt(*state, lParam);
            if (row != state->hover) {
                state->hover = row;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            // A press outside the menu (it holds the capture) closes it.
            if (RowAt(*state, lParam) < 0) state->closed = true;
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            const int row = RowAt(*state, lParam);
            if (Choosable(*state, row)) state->chosen = row;
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) state->closed = true;
            if (wParam == VK_DOWN) MoveHover(*state, 1);
            if (wParam == VK_UP) MoveHover(*state, -1);
            if (wParam == VK_RETURN && Choosable(*state, state->hover)) state->chosen = state->hover;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse: the menu is over.
            if (reinterpret_cast<HWND>(lParam) != window) state->closed = true;
            return 0;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int ShowMenuWindow(const std::vector<MenuWindowItem>& items, POINT at) {
    if (items.empty()) return -1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MenuProcedure;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    MenuState state;
    state.items = items;
    // Rows: as wide as the widest caption.
    int width = 120;
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HFONT font = OwnWindowFont();
        HGDIOBJ old = SelectObject(dc, font);
        for (const MenuWindowItem& item : items)
            width = std::max<int>(width, MeasureTextUtf8(dc, item.caption).cx + kCheckColumn + kRightPadding);
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    }
    int top = 3;
    for (const MenuWindowItem& item : items) {
        const int height = IsSeparator(item) ? kSeparatorHeight : kRowHeight;
        state.rows.push_back(RECT{3, top, width - 3, top + height});
        top += height;
    }
    const int height = top + 3;
    // Kept on the screen: opened near an edge it opens towards the inside.
    const DesktopSettings desktop = CurrentDesktop();
    const int x = at.x + width > desktop.width ? std::max(0, static_cast<int>(at.x) - width) : at.x;
    const int y = at.y + height > desktop.height ? std::max(0, static_cast<int>(at.y) - height) : at.y;
    HWND menu = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, x, y, width, height,
                                nullptr, nullptr, nullptr, nullptr);
    if (menu == nullptr) return -1;
    SetWindowLongPtrA(menu, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    const HWND previousFocus = GetFocus();
    ShowWindow(menu, SW_SHOWNOACTIVATE);
    SetFocus(menu);
    SetCapture(menu);
    const std::optional<int> quit = WaitForAnswer(menu, [&] { return state.chosen >= 0 || state.closed; });
    if (IsWindow(menu)) {
        SetWindowLongPtrA(menu, GWLP_USERDATA, 0);
        if (GetCapture() == menu) ReleaseCapture();
        DestroyWindow(menu);
    }
    if (previousFocus != nullptr && IsWindow(previousFocus)) SetFocus(previousFocus);
    if (quit) PostQuitMessage(*quit);
    return state.chosen;
}

std::vector<RECT> MenuWindowRows(HWND menu) {
    if (WindowClassName(menu) != kClassName) return {};
    const MenuState* state = StateOf(menu);
    return state != nullptr ? state->rows : std::vector<RECT>{};
}

}  // namespace zem::platform
