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

// The one tooltip of the program. Its window doubles as the owner of the
// timers; it is made on first need and again after the desktop it lived on
// went away (tests start fresh desktops).
class ToolTip {
public:
    void PointerOver(const Control* control, HWND window) {
        if (control != nullptr && control->ToolTipText().empty()) control = nullptr;
        if (control == control_) {
            if (control_ != nullptr && shown_ && control_->ToolTipText() != text_) Present();
            return;
        }
        Hide();
        control_ = control;
        window_ = window;
        suppressed_ = false;
        if (control_ == nullptr) return;
        if (EnsureWindow()) SetTimer(tip_, kShowTimer, ToolTipInitialDelay, nullptr);
    }

    void ButtonPressed() {
        Hide();
        suppressed_ = control_ != nullptr;
    }

    void Forget(const Control* control) {
        if (control != control_) return;
        Hide();
        control_ = nullptr;
        window_ = nullptr;
    }

    HWND ShownWindow() const { return shown_ && IsWindow(tip_) ? tip_ : nullptr; }
    const std::string& Text() const { return text_; }

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

    // The pointer still rests on the control: its window is the one under the
    // pointer (a window covering it, or the pointer gone elsewhere, ends it).
    bool PointerStillThere() const {
        if (control_ == nullptr || window_ == nullptr || !IsWindow(window_)) return false;
        if (!control_->Visible() || !platform::IsEffectivelyVisible(window_)) return false;
        POINT cursor{};
        GetCursorPos(&cursor);
        return platform::WindowAtPoint(cursor) == window_;
    }

    void Timer(UINT_PTR id) {
        if (id == kShowTimer) {
            KillTimer(tip_, kShowTimer);
            if (!suppressed_ && PointerStillThere()) {
                Present();
                SetTimer(tip_, kLeaveTimer, ToolTipLeaveCheck, nullptr);
                SetTimer(tip_, kHideTimer, ToolTipShowTime, nullptr);
            }
        } else if (id == kLeaveTimer) {
            if (!PointerStillThere()) {
                Hide();
                control_ = nullptr;
                window_ = nullptr;
            }
        } else if (id == kHideTimer) {
            Hide();
            suppressed_ = true;  // shown once per visit
        }
    }

    // Sizes the window to the text and shows it below the pointer, kept on
    // the screen.
    void Present() {
        text_ = control_->ToolTipText();
        HDC dc = GetDC(tip_);
        SIZE size{};
        {
            ScopedFont font(dc, *StdFont::Create());
            size = platform::MeasureTextUtf8(dc, text_);
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
        platform::DrawTextUtf8(dc, text_, inside, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        EndPaint(tip_, &paint);
    }

    HWND tip_ = nullptr;
    const Control* control_ = nullptr;
    HWND window_ = nullptr;
    std::string text_;
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

void ToolTipPointerOver(const Control* control, HWND window) { TheToolTip().PointerOver(control, window); }
void ToolTipButtonPressed() { TheToolTip().ButtonPressed(); }
void ToolTipForget(const Control* control) { TheToolTip().Forget(control); }
HWND ShownToolTipWindow() { return TheToolTip().ShownWindow(); }
std::string ShownToolTipText() { return ShownToolTipWindow() != nullptr ? TheToolTip().Text() : std::string(); }

}  // namespace zem::forms
