#include "platform/forms/control.h"

#include <algorithm>
#include <cmath>

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/controls.h"
#include "platform/forms/runtime_error.h"
#include "platform/forms/tooltip.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {

COLORREF TranslateColor(COLORREF oleColor) {
    if (oleColor & 0x80000000u) return GetSysColor(static_cast<int>(oleColor & 0xFF));
    return oleColor & 0xFFFFFF;
}

// ---- Control ------------------------------------------------------------------

Control::Control(Container& parent, std::string name) : parent_(&parent), name_(std::move(name)) {
    parent_->Adopt(*this);
}

Control::~Control() {
    ToolTipForget(this);
    parent_->Release(*this);
}

float Control::Left() const { return parent_->ToUnits(bounds_.left); }
float Control::Top() const { return parent_->ToUnits(bounds_.top); }
float Control::Width() const { return parent_->ToUnits(bounds_.right - bounds_.left); }
float Control::Height() const { return parent_->ToUnits(bounds_.bottom - bounds_.top); }
void Control::SetLeft(float left) { Move(left, Top()); }
void Control::SetTop(float top) { Move(Left(), top); }
void Control::SetWidth(float width) { Move(Left(), Top(), width); }
void Control::SetHeight(float height) { Move(Left(), Top(), Width(), height); }

void Control::Move(float left, float top, std::optional<float> width, std::optional<float> height) {
    const int x = parent_->ToPixels(left);
    const int y = parent_->ToPixels(top);
    const int w = width ? SizeInPixels(parent_->ToPixels(*width)) : bounds_.right - bounds_.left;
    const int h = height ? SizeInPixels(parent_->ToPixels(*height)) : bounds_.bottom - bounds_.top;
    SetPixelBounds(RECT{x, y, x + w, y + h});
}

void Control::SetPixelBounds(const RECT& bounds) {
    if (bounds.left == bounds_.left && bounds.top == bounds_.top && bounds.right == bounds_.right &&
        bounds.bottom == bounds_.bottom)
        return;
    RECT old = bounds_;
    bounds_ = bounds;
    BoundsChanged(old);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibilityChanged();
}

void Control::SetEnabled(bool enabled) { enabled_ = enabled; }

void Control::ZOrder(int position) {
    parent_->BringToFront(*this, position == vbBringToFront);
    parent_->InvalidateInner(bounds_);
}

void Control::Draw(HDC, POINT) {}

bool Control::HitTest(POINT point) const {
    return visible_ && point.x >= bounds_.left && point.x < bounds_.right && point.y >= bounds_.top &&
           point.y < bounds_.bottom;
}

void Control::BoundsChanged(const RECT& old) {
    parent_->InvalidateInner(old);
    parent_->InvalidateInner(bounds_);
}

void Control::VisibilityChanged() { parent_->InvalidateInner(bounds_); }

// ---- WindowOwner -----------------------------------------------------------------

namespace {
constexpr const char* windowClassName = "ZemFormsWindow";
}

WindowOwner::~WindowOwner() { DestroyOwnedWindow(); }

LRESULT WindowOwner::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window_, message, wParam, lParam);
}

void WindowOwner::CreateOwnedWindow(DWORD exStyle, DWORD style, const RECT& bounds, HWND parent,
                                    const std::string& text) {
    // Registering again after the window system was reset is harmless: a
    // second registration of a live class just fails.
    WNDCLASSA windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &WindowOwner::WindowProcedure;
    windowClass.lpszClassName = windowClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(exStyle, windowClassName, platform::Utf8ToGbk(text).c_str(), style, bounds.left,
                              bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              nullptr, nullptr, this);
    if (window_ == nullptr) throw RuntimeError(errInvalidCall, "the window could not be created");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void WindowOwner::DestroyOwnedWindow() {
    HWND window = window_;
    if (window == nullptr) return;
    window_ = nullptr;
    if (IsWindow(window)) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

LRESULT WindowOwner::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* owner = reinterpret_cast<WindowOwner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (owner == nullptr || owner->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
    return owner->WindowMessage(message, wParam, lParam);
}

// ---- Container -------------------------------------------------------------------

Container::Container() = default;
Container::~Container() = default;

void Container::CreateChildWindows() {
    // The container's own window is there now: the pointer its design set
    // before (with the custom pointer's picture) goes to it.
    if (hWnd() != nullptr) {
        platform::SetWindowCursorId(hWnd(), mousePointer_);
        platform::SetWindowCursorIcon(hWnd(), mouseIcon_ ? mouseIcon_->Icon() : nullptr);
    }
    for (Control* child : std::vector<Control*>(children_))
        if (auto* windowed = dynamic_cast<WindowedControl*>(child)) windowed->CreateChildWindow();
    for (auto& [id, timer] : timers_) timer->Apply();
}

void Container::DestroyChildWindows() {
    for (auto& [id, timer] : timers_)
        if (hWnd()) KillTimer(hWnd(), id);
    for (Control* child : std::vector<Control*>(children_))
        if (auto* windowed = dynamic_cast<WindowedControl*>(child)) windowed->DestroyChildWindow();
    pressed_ = nullptr;
    pressedOnContainer_ = false;
    heldButtons_ = 0;
}

void Container::SetScaleMode(int scaleMode) {
    if (scaleMode != vbTwips && scaleMode != vbPixels)
        throw RuntimeError(errInvalidPropertyValue);
    scaleMode_ = scaleMode;
}

float Container::ToUnits(int pixels) const {
    return scaleMode_ == vbTwips ? static_cast<float>(pixels) * TwipsPerPixel : static_cast<float>(pixels);
}

int Container::ToPixels(float units) const {
    const float pixels = scaleMode_ == vbTwips ? units / TwipsPerPixel : units;
    return static_cast<int>(std::lround(pixels));
}

float Container::ScaleX(float value, int from, int to) const {
    const float pixels = from == vbTwips ? value / TwipsPerPixel : value;
    return to == vbTwips ? pixels * TwipsPerPixel : pixels;
}

SIZE Container::InnerPixelSize() const {
    RECT client{};
    if (hWnd() != nullptr) GetClientRect(hWnd(), &client);
    const int border = BorderPixels();
    return SIZE{std::max<LONG>(0, client.right - 2 * border), std::max<LONG>(0, client.bottom - 2 * border)};
}

float Container::ScaleWidth() const { return ToUnits(InnerPixelSize().cx); }
float Container::ScaleHeight() const { return ToUnits(InnerPixelSize().cy); }

void Container::SetBackColor(COLORREF color) {
    backColor_ = color;
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void Container::SetForeColor(COLORREF color) { foreColor_ = color; }
void Container::SetFont(FontRef font) { font_ = std::move(font); }

void Container::SetMousePointer(int pointer) {
    mousePointer_ = pointer;
    if (hWnd()) platform::SetWindowCursorId(hWnd(), pointer);
}

void Container::SetMouseIcon(PictureRef icon) {
    mouseIcon_ = std::move(icon);
    if (hWnd()) platform::SetWindowCursorIcon(hWnd(), mouseIcon_ ? mouseIcon_->Icon() : nullptr);
}

void Container::SetPicture(PictureRef picture) {
    picture_ = std::move(picture);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void Container::Refresh() {
    if (!hWnd()) return;
    InvalidateRect(hWnd(), nullptr, TRUE);
    UpdateWindow(hWnd());
}

void Container::PaintPicture(const PictureRef& picture, float x1, float y1, float width1, float height1, float x2,
                             float y2, float width2, float height2, DWORD rasterOperation) {
    if (!picture) throw RuntimeError(errInvalidCall, "no picture to paint");
    if (!hWnd()) return;
    const int sourceX = ToPixels(x2);
    const int sourceY = ToPixels(y2);
    const int sourceWidth = width2 < 0 ? picture->Width() - sourceX : ToPixels(width2);
    const int sourceHeight = height2 < 0 ? picture->Height() - sourceY : ToPixels(height2);
    const int width = width1 < 0 ? sourceWidth : ToPixels(width1);
    const int height = height1 < 0 ? sourceHeight : ToPixels(height1);
    const int border = BorderPixels();
    HDC windowDc = GetDC(hWnd());
    HDC pictureDc = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(pictureDc, picture->Handle());
    if (width == sourceWidth && height == sourceHeight)
        BitBlt(windowDc, ToPixels(x1) + border, ToPixels(y1) + border, width, height, pictureDc, sourceX, sourceY,
               rasterOperation);
    else
        StretchBlt(windowDc, ToPixels(x1) + border, ToPixels(y1) + border, width, height, pictureDc, sourceX,
                   sourceY, sourceWidth, sourceHeight, rasterOperation);
    SelectObject(pictureDc, previous);
    DeleteDC(pictureDc);
    ReleaseDC(hWnd(), windowDc);
}

void Container::Adopt(Control& child) { children_.push_back(&child); }

void Container::Release(Control& child) {
    children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
    if (pressed_ == &child) pressed_ = nullptr;
}

void Container::Adopt(Timer& timer) { timers_[timer.Id()] = &timer; }
void Container::Release(Timer& timer) {
    if (hWnd()) KillTimer(hWnd(), timer.Id());
    timers_.erase(timer.Id());
}

void Container::BringToFront(Control& child, bool front) {
    auto found = std::find(children_.begin(), children_.end(), &child);
    if (found == children_.end()) return;
    children_.erase(found);
    if (front)
        children_.push_back(&child);
    else
        children_.insert(children_.begin(), &child);
}

Control* Container::WindowlessAt(POINT innerPoint) const {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it)
        if ((*it)->IsWindowless() && (*it)->HitTest(innerPoint)) return *it;
    return nullptr;
}

void Container::InvalidateInner(const RECT& innerRect) {
    if (!hWnd()) return;
    const int border = BorderPixels();
    RECT rect{innerRect.left + border, innerRect.top + border, innerRect.right + border, innerRect.bottom + border};
    InvalidateRect(hWnd(), &rect, TRUE);
}

void Container::RaisePaint() {
    if (OnPaint) RunEventHandler(OnPaint);
}

void Container::RaiseResize() {
    if (OnResize) RunEventHandler(OnResize);
}

void Container::RaiseMouse(UINT kind, int button, int shift, float x, float y) {
    const MouseHandler& handler = kind == WM_LBUTTONDOWN ? OnContainerMouseDown
                                  : kind == WM_LBUTTONUP ? OnContainerMouseUp
                                                         : OnContainerMouseMove;
    if (handler) RunEventHandler([&] { handler(button, shift, x, y); });
}

void Container::RaiseClick(bool doubleClick) {
    const ClickHandler& handler = doubleClick ? OnContainerDblClick : OnContainerClick;
    if (handler) RunEventHandler(handler);
}

void Container::CheckResize() {
    SIZE size = InnerPixelSize();
    if (size.cx == lastSize_.cx && size.cy == lastSize_.cy) return;
    lastSize_ = size;
    RaiseResize();
}

void Container::PaintAll(HDC dc) {
    RECT client{};
    GetClientRect(hWnd(), &client);
    HBRUSH background = CreateSolidBrush(TranslateColor(backColor_));
    FillRect(dc, &client, background);
    DeleteObject(background);
    const int border = BorderPixels();
    if (border > 0) {
        // A sunken frame: shadow on the top and left, light on the bottom and right.
        auto edge = [&](RECT rect, int colorIndex) {
            HBRUSH brush = CreateSolidBrush(GetSysColor(colorIndex));
            FillRect(dc, &rect, brush);
            DeleteObject(brush);
        };
        for (int ring = 0; ring < border; ++ring) {
            const int dark = ring == 0 ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
            const int light = ring == 0 ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
            edge(RECT{ring, ring, client.right - ring, ring + 1}, dark);
            edge(RECT{ring, ring, ring + 1, client.bottom - ring}, dark);
            edge(RECT{ring, client.bottom - ring - 1, client.right - ring, client.bottom - ring}, light);
            edge(RECT{client.right - ring - 1, ring, client.right - ring, client.bottom - ring}, light);
        }
    }
    if (picture_) {
        const RECT source{0, 0, picture_->Width(), picture_->Height()};
        const RECT place{border, border, border + picture_->Width(), border + picture_->Height()};
        platform::RenderPicture(dc, *picture_, place, source);
    }
    RaisePaint();
    // Windowless controls lie above what the Paint event drew, back to front.
    std::vector<Control*> children = children_;
    for (Control* child : children)
        if (child->IsWindowless() && child->Visible()) child->Draw(dc, POINT{border, border});
}

LRESULT Container::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(hWnd(), &paint);
            PaintAll(dc);
            EndPaint(hWnd(), &paint);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_SIZE:
            CheckResize();
            return 0;
        case WM_TIMER: {
            auto found = timers_.find(wParam);
            if (found == timers_.end()) break;
            Timer* timer = found->second;
            if (timer->Enabled() && timer->Interval() > 0 && timer->OnTimer) RunEventHandler(timer->OnTimer);
            return 0;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            MouseMessage(message, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse during a press (the move loop of a
            // drag): that press is over, so the next one starts afresh.
            if (heldButtons_ != 0) {
                heldButtons_ = 0;
                pressed_ = nullptr;
                pressedOnContainer_ = false;
                doubleClicked_ = false;
            }
            return 0;
        default: break;
    }
    return WindowOwner::WindowMessage(message, wParam, lParam);
}

int ButtonOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: return vbLeftButton;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK: return vbRightButton;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: return vbMiddleButton;
        default: return 0;
    }
}

int HeldButtonsOf(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? vbLeftButton : 0) | ((keys & MK_RBUTTON) ? vbRightButton : 0) |
           ((keys & MK_MBUTTON) ? vbMiddleButton : 0);
}

int ShiftOf(WPARAM keys) { return ((keys & MK_SHIFT) ? vbShiftMask : 0) | ((keys & MK_CONTROL) ? vbCtrlMask : 0); }

// Mouse input in the runtime's way: a press captures the mouse for the
// control under it, so its moves and its release reach that same control; a
// release of the left button over the pressed control is its Click; a double
// press is MouseDown, MouseUp, Click, DblClick, MouseUp.
void Container::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int border = BorderPixels();
    POINT inner{GET_X_LPARAM(lParam) - border, GET_Y_LPARAM(lParam) - border};
    const int button = ButtonOf(message);
    const int shift = ShiftOf(wParam);
    const bool isDown = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const bool isDouble =
        message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
    const bool isUp = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;

    if (isDown || isDouble) {
        ToolTipButtonPressed();
        Control* target = heldButtons_ != 0 ? pressed_ : WindowlessAt(inner);
        if (heldButtons_ == 0) {
            pressed_ = target;
            pressedOnContainer_ = target == nullptr;
            SetCapture(hWnd());
        }
        heldButtons_ |= button;
        if (isDouble && button == vbLeftButton) {
            doubleClicked_ = true;
            if (pressedOnContainer_ || pressed_ != nullptr) {
                if (pressedOnContainer_)
                    RaiseClick(true);
                else if (pressed_->Enabled() && pressed_->OnDblClick)
                    RunEventHandler(pressed_->OnDblClick);
            }
            return;
        }
        DispatchMouse(pressedOnContainer_ ? nullptr : pressed_, WM_LBUTTONDOWN, button, shift, inner);
        return;
    }
    if (isUp) {
        Control* target = pressedOnContainer_ ? nullptr : pressed_;
        const bool hadPress = (heldButtons_ & button) != 0;
        heldButtons_ &= ~button;
        if (heldButtons_ == 0) {
            if (GetCapture() == hWnd()) ReleaseCapture();
        }
        if (!hadPress) target = WindowlessAt(inner);
        if (target == nullptr && !pressedOnContainer_ && hadPress) return;  // its control is gone
        DispatchMouse(target, WM_LBUTTONUP, button, shift, inner);
        // A click needs the release over what was pressed: the container's
        // own inner area, or the control.
        const SIZE area = InnerPixelSize();
        const bool overContainer = inner.x >= 0 && inner.y >= 0 && inner.x < area.cx && inner.y < area.cy;
        const bool stillOver = target == nullptr ? overContainer : target->HitTest(inner);
        if (button == vbLeftButton && hadPress && stillOver && !doubleClicked_) {
            if (target == nullptr)
                RaiseClick(false);
            else if (target->Enabled() && target->OnClick)
                RunEventHandler(target->OnClick);
        }
        if (button == vbLeftButton) doubleClicked_ = false;
        if (heldButtons_ == 0) {
            pressed_ = nullptr;
            pressedOnContainer_ = false;
        }
        return;
    }
    // A move: to the pressed control while a button is held, else to whatever is under the pointer.
    Control* target = heldButtons_ != 0 ? (pressedOnContainer_ ? nullptr : pressed_) : WindowlessAt(inner);
    if (heldButtons_ != 0 && !pressedOnContainer_ && pressed_ == nullptr) return;
    // Over the container's own surface the tip is the container's when it is a control itself.
    if (heldButtons_ == 0) ToolTipPointerOver(target != nullptr ? target : dynamic_cast<const Control*>(this), hWnd());
    DispatchMouse(target, WM_MOUSEMOVE, HeldButtonsOf(wParam), shift, inner);
}

void Container::DispatchMouse(Control* target, UINT kind, int button, int shift, POINT inner) {
    if (target == nullptr) {
        RaiseMouse(kind, button, shift, ToUnits(inner.x), ToUnits(inner.y));
        return;
    }
    if (!target->Enabled()) return;
    const MouseHandler& handler = kind == WM_LBUTTONDOWN ? target->OnMouseDown
                                  : kind == WM_LBUTTONUP ? target->OnMouseUp
                                                         : target->OnMouseMove;
    if (!handler) return;
    const float x = ToUnits(inner.x - target->PixelBounds().left);
    const float y = ToUnits(inner.y - target->PixelBounds().top);
    RunEventHandler([&] { handler(button, shift, x, y); });
}

}  // namespace zem::forms
