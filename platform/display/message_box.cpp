#include "platform/display/message_box.h"

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

constexpr const char* kClassName = "ZemMessageBox";
constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 420;
// The flags' results (the runtime's vbOK... values).
constexpr int kOK = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7;

const char* CaptionOf(int result) {
    switch (result) {
        case kOK: return "确定";
        case kCancel: return "取消";
        case kAbort: return "中止";
        case kRetry: return "重试";
        case kIgnore: return "忽略";
        case kYes: return "是";
        case kNo: return "否";
        default: return "";
    }
}

struct BoxState {
    MessageBoxLayout layout;
    std::string text;
    int flags = 0;
    int highlighted = 0;
    int answer = 0;
    int pressed = -1;
};

BoxState* StateOf(HWND window) { return reinterpret_cast<BoxState*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

void Frame(HDC dc, const RECT& rect, COLORREF color, int width) {
    FillSolid(dc, RECT{rect.left, rect.top, rect.right, rect.top + width}, color);
    FillSolid(dc, RECT{rect.left, rect.bottom - width, rect.right, rect.bottom}, color);
    FillSolid(dc, RECT{rect.left, rect.top, rect.left + width, rect.bottom}, color);
    FillSolid(dc, RECT{rect.right - width, rect.top, rect.right, rect.bottom}, color);
}

// A round badge with the icon's sign: information, question, exclamation, stop.
void DrawIcon(HDC dc, const RECT& place, int flags) {
    const int icon = flags & 0x70;
    COLORREF colour = RGB(30, 110, 220);
    const char* sign = "i";
    if (icon == 16) colour = RGB(210, 40, 40), sign = "×";
    if (icon == 32) sign = "?";
    if (icon == 48) colour = RGB(230, 160, 20), sign = "!";
    const int radius = kIconSize / 2;
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x) {
            const int dx = 2 * x + 1 - kIconSize, dy = 2 * y + 1 - kIconSize;
            if (dx * dx + dy * dy <= 4 * radius * radius) SetPixel(dc, place.left + x, place.top + y, colour);
        }
    RECT text = place;
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextUtf8(dc, sign, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Paint(HWND window, BoxState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const RECT whole{0, 0, state.layout.size.cx, state.layout.size.cy};
    FillSolid(dc, whole, GetSysColor(COLOR_BTNFACE));
    FillSolid(dc, RECT{0, 0, whole.right, state.layout.buttons.front().top - kMargin / 2}, GetSysColor(COLOR_WINDOW));
    HFONT font = OwnWindowFont();
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    if (state.layout.icon.right > state.layout.icon.left) DrawIcon(dc, state.layout.icon, state.flags);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT text = state.layout.text;
    DrawTextUtf8(dc, state.text, text, DT_WORDBREAK | DT_NOPREFIX);
    for (std::size_t index = 0; index < state.layout.buttons.size(); ++index) {
        const RECT& button = state.layout.buttons[index];
        const bool lit = static_cast<int>(index) == state.highlighted;
        FillSolid(dc, button, static_cast<int>(index) == state.pressed ? RGB(204, 228, 247) : RGB(253, 253, 253));
        Frame(dc, button, lit ? RGB(0, 120, 215) : RGB(173, 173, 173), lit ? 2 : 1);
        RECT caption = button;
        DrawTextUtf8(dc, state.layout.captions[index], caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(window, &paint);
}

int ButtonAt(const BoxState& state, LPARAM lParam) {
    const POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    for (std::size_t index = 0; index < state.layout.buttons.size(); ++index) {
        const RECT& button = state.layout.buttons[index];
        if (point.x >= button.left && point.x < button.right && point.y >= button.top && point.y < button.bottom)
            return static_cast<int>(index);
    }
    return -1;
}

LRESULT BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BoxState* state = StateOf(window);
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    const int count = static_cast<int>(state->layout.buttons.size());
    switch (message) {
        case WM_PAINT: Paint(window, *state); return 0;
        case WM_LBUTTONDOWN:
            state->pressed = ButtonAt(*state, lParam);
            if (state->pressed >= 0) state->highlighted = state->pressed;
            SetCapture(window);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            // A button is chosen by a release over the button pressed.
            const int released = ButtonAt(*state, lParam);
            if (released >= 0 && released == state->pressed) state->answer = state->layout.results[released];
            state->pressed = -1;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_SPACE) state->answer = state->layout.results[state->highlighted];
            if (wParam == VK_ESCAPE && state->layout.cancelResult != 0) state->answer = state->layout.cancelResult;
            if (wParam == VK_LEFT) state->highlighted = (state->highlighted + count - 1) % count;
            if (wParam == VK_RIGHT || wParam == VK_TAB) state->highlighted = (state->highlighted + 1) % count;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                if (state->layout.cancelResult != 0) state->answer = state->layout.cancelResult;
                return 0;
            }
            break;
        case WM_CLOSE: return 0;  // only an answer ends the box
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterBoxClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BoxProcedure;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // a second registration fails harmlessly
}

SIZE MeasureText(const std::string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = OwnWindowFont();
    HGDIOBJ old = SelectObject(dc, font);
    RECT area{0, 0, kMaxTextWidth, 0};
    DrawTextUtf8(dc, text.empty() ? std::string(" ") : text, area, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

}  // namespace

MessageBoxLayout LayOutMessageBox(int flags, SIZE textSize) {
    MessageBoxLayout layout;
    switch (flags & 0x0F) {
        case 1: layout.results = {kOK, kCancel}; layout.cancelResult = kCancel; break;
        case 2: layout.results = {kAbort, kRetry, kIgnore}; break;
        case 3: layout.results = {kYes, kNo, kCancel}; layout.cancelResult = kCancel; break;
        case 4: layout.results = {kYes, kNo}; break;
        case 5: layout.results = {kRetry, kCancel}; layout.cancelResult = kCancel; break;
        default: layout.results = {kOK}; layout.cancelResult = kOK; break;
    }
    for (int result : layout.results) layout.captions.emplace_back(CaptionOf(result));
    // vbDefaultButton2 (256) and vbDefaultButton3 (512) pick the default.
    const int wanted = (flags >> 8) & 0x3;
    layout.defaultIndex = std::min<int>(wanted, static_cast<int>(layout.results.size()) - 1);
    const bool withIcon = (flags & 0x70) != 0;
    const int textLeft = kMargin + (withIcon ? kIconSize + kMargin : 0);
    const int contentHeight = std::max<int>(withIcon ? kIconSize : 0, textSize.cy);
    const int count = static_cast<int>(layout.results.size());
    const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int width = std::max<int>(textLeft + textSize.cx + kMargin, buttonsWidth + 2 * kMargin);
    const int buttonTop = kMargin + contentHeight + kMargin + kMargin / 2;
    layout.size = SIZE{std::max(width, 240), buttonTop + kButtonHeight + kMargin / 2 + 4};
    if (withIcon) layout.icon = RECT{kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize};
    const int textTop = kMargin + (contentHeight - textSize.cy) / 2;
    layout.text = RECT{textLeft, textTop, textLeft + textSize.cx + 1, textTop + textSize.cy};
    int left = layout.size.cx - kMargin - buttonsWidth;
    for (int index = 0; index < count; ++index) {
        layout.buttons.push_back(RECT{left, buttonTop, left + kButtonWidth, buttonTop + kButtonHeight});
        left += kButtonWidth + kButtonGap;
    }
    return layout;
}

std::vector<RECT> MessageBoxButtons(HWND box) {
    if (WindowClassName(box) != kClassName) return {};
    const BoxState* state = StateOf(box);
    return state != nullptr ? state->layout.buttons : std::vector<RECT>{};
}

int ShowMessageBoxWindow(const std::string& text, const std::string& title, int flags) {
    RegisterBoxClass();
    BoxState state;
    state.text = text;
    state.flags = flags;
    state.layout = LayOutMessageBox(flags, MeasureText(text));
    state.highlighted = state.layout.defaultIndex;
    const HWND owner = GetForegroundWindow();
    const DesktopSettings desktop = CurrentDesktop();
    const int x = (desktop.width - state.layout.size.cx) / 2;
    const int y = (desktop.height - state.layout.size.cy) / 2;
    const std::string gbkTitle = Utf8ToGbk(title);
    HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, gbkTitle.c_str(),
                               WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, state.layout.size.cx, state.layout.size.cy,
                               owner, nullptr, nullptr, nullptr);
    if (box == nullptr) return state.layout.cancelResult != 0 ? state.layout.cancelResult : state.layout.results.back();
    SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    // Modal: the program's other windows take no input until the answer.
    std::vector<HWND> disabled;
    for (HWND top : TopLevelWindows())
        if (top != box && IsWindowEnabled(top) && IsOwnVisible(top)) disabled.push_back(top);
    for (HWND top : disabled) EnableWindow(top, FALSE);
    ShowWindow(box, SW_SHOW);
    SetForegroundWindow(box);
    SetFocus(box);
    const std::optional<int> quit = WaitForAnswer(box, [&] { return state.answer != 0; });
    for (HWND top : disabled)
        if (IsWindow(top)) EnableWindow(top, TRUE);
    if (IsWindow(box)) {
        SetWindowLongPtrA(box, GWLP_USERDATA, 0);
        DestroyWindow(box);
    }
    if (owner != nullptr && IsWindow(owner)) SetForegroundWindow(owner);
    if (quit) PostQuitMessage(*quit);  // left for the outer loop
    if (state.answer != 0) return state.answer;
    return state.layout.cancelResult != 0 ? state.layout.cancelResult : state.layout.results.back();
}

}  // namespace zem::platform
