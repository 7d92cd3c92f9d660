#include "platform/forms/tooltip.h"

#include <algorithm>

#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/control.h"
#include "platform/forms/scoped_font.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {

namespace {

constexpr const char* kClassName = "ZemToolTip";
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kLeaveTimer = 2;
constexpr UINT_PTR kHideTimer = 3;
constexpr int kPaddingX = 4;
constexpr int kPaddingY = 2;
constexpr int kBelowPointer = 20;

// The pointer still rests on the control: its window is the one under the
// pointer (a window covering it, or the pointer gone elsewhere, ends it).
bool PointerStillOn(const Control* control, HWND window) {
    if (window == nullptr || !IsWindow(window)) return false;
    if (!control->Visible() || !platform::IsEffectivelyVisible(window)) return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    return platform::WindowAtPoint(cursor) == window;
}

// The one tooltip of the program. Its window doubles as the owner of the
// timers; it is made on first need and again after the desktop it lived on
// went away (tests start fresh desktops). What it belongs to (a control, a
// tray icon) is only a name to it, with the tip's text and whether the
// pointer is still there.
class ToolTip {
public:
    void PointerOver(const void* owner, std::function<std::string()> text, std::function<bool()> pointerThere) {
        if (owner != nullptr && text().empty()) owner = nullptr;
        if (owner == owner_) {
            if (owner_ == nullptr) return;
            text_ = std::move(text);
            pointerThere_ = std::move(pointerThere);
            if (shown_ && text_() != shownText_) Present();
            return;
        }
        Hide();
        owner_ = owner;
        text_ = std::move(text);
        pointerThere_ = std::move(pointerThere);
        suppressed_ = false;
        if (owner_ == nullptr) return;
        if (EnsureWindow()) SetTimer(tip_, kShowTimer, ToolTipInitialDelay, nullptr);
    }

    void ButtonPressed() {
        Hide();
        suppressed_ = owner_ != nullptr;
    }

    void Forget(const void* owner) {
        if (owner == owner_) Drop();
    }

    HWND ShownWindow() const { return shown_ && IsWindow(tip_) ? tip_ : nullptr; }
    const std::string& Text() const { return shownText_; }

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool EnsureWindow() {
        if (tip_ != nullptr && IsWindow(tip_)) return true;
        shown_ = false;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);  // fails harmlessly when the class exists
        tip_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, nullptr, nullptr);
        return tip_ != nullptr;
    }

    bool PointerStillThere() const { return owner_ != nullptr && pointerThere_ && pointerThere_(); }

    void Timer(UINT_PTR id) {
        if (id == kShowTimer) {
            KillTimer(tip_, kShowTimer);
            if (!suppressed_ && PointerStillThere()) {
                Present();
                SetTimer(tip_, kLeaveTimer, ToolTipLeaveCheck, nullptr);
                SetTimer(tip_, kHideTimer, ToolTipShowTime, nullptr);
            }
        } else if (id == kLeaveTimer) {
            if (!PointerStillThere()) Drop();
        } else if (id == kHideTimer) {
            Hide();
            suppressed_ = true;  // shown once per visit
        }
    }

    // Sizes the window to the text and shows it below the pointer, kept on
    // the screen.
    void Present() {
        shownText_ = text_();
        HDC dc = GetDC(tip_);
        SIZE size{};
        {
            ScopedFont font(dc, *StdFont::Create());
            size = platform::MeasureTextUtf8(dc, shownText_);
        }
        ReleaseDC(tip_, dc);
        const int width = size.cx + 2 * kPaddingX + 2;
        const int height = size.cy + 2 * kPaddingY + 2;
        POINT cursor{};
        GetCursorPos(&cursor);
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        int x = std::clamp<int>(cursor.x, 0, std::max(0, screenWidth - width));
        int y = cursor.y + kBelowPointer;
        if (y + height > screenHeight) y = std::max(0, static_cast<int>(cursor.y) - height);
        SetWindowPos(tip_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        shown_ = true;
        InvalidateRect(tip_, nullptr, FALSE);
        UpdateWindow(tip_);
    }

    void Drop() {
        Hide();
        owner_ = nullptr;
        text_ = nullptr;
        pointerThere_ = nullptr;
    }

    void Hide() {
        if (tip_ == nullptr || !IsWindow(tip_)) return;
        KillTimer(tip_, kShowTimer);
        KillTimer(tip_, kLeaveTimer);
        KillTimer(tip_, kHideTimer);
        if (shown_) ShowWindow(tip_, SW_HIDE);
        shown_ = false;
    }

    void Paint() {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(tip_, &paint);
        RECT client{};
        GetClientRect(tip_, &client);
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_INFOTEXT));
        FillRect(dc, &client, frame);
        DeleteObject(frame);
        RECT inside{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
        FillRect(dc, &inside, GetSysColorBrush(COLOR_INFOBK));
        ScopedFont font(dc, *StdFont::Create());
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkMode(dc, TRANSPARENT);
        platform::DrawTextUtf8(dc, shownText_, inside, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        EndPaint(tip_, &paint);
    }

    HWND tip_ = nullptr;
    const void* owner_ = nullptr;
    std::function<std::string()> text_;
    std::function<bool()> pointerThere_;
    std::string shownText_;
    bool shown_ = false;
    bool suppressed_ = false;
};

ToolTip& TheToolTip() {
    static ToolTip tip;
    return tip;
}

LRESULT ToolTip::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ToolTip& tip = TheToolTip();
    if (window == tip.tip_) {
        switch (message) {
            case WM_TIMER: tip.Timer(wParam); return 0;
            case WM_PAINT: tip.Paint(); return 0;
            case WM_ERASEBKGND: return 1;
            default: break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ToolTipPointerOver(const Control* control, HWND window) {
    if (control == nullptr) {
        TheToolTip().PointerOver(nullptr, nullptr, nullptr);
        return;
    }
    TheToolTip().PointerOver(
        control, [control] { return control->ToolTipText(); },
        [control, window] { return PointerStillOn(control, window); });
}
void ToolTipButtonPressed() { TheToolTip().ButtonPressed(); }
void ToolTipForget(const Control* control) { TheToolTip().Forget(control); }
void ToolTipPointerOverArea(const void* owner, std::function<std::string()> text,
                            std::function<bool()> pointerThere) {
    TheToolTip().PointerOver(owner, std::move(text), std::move(pointerThere));
}
void ToolTipLeaveArea(const void* owner) { TheToolTip().Forget(owner); }
HWND ShownToolTipWindow() { return TheToolTip().ShownWindow(); }
std::string ShownToolTipText() { return ShownToolTipWindow() != nullptr ? TheToolTip().Text() : std::string(); }

}  // namespace zem::forms
