#include "controls/an.h"

#include "platform/base/resources.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"

namespace {

int ShiftState(WPARAM keys) {
    int shift = 0;
    if ((keys & MK_SHIFT) != 0) shift |= zem::forms::vbShiftMask;
    if ((keys & MK_CONTROL) != 0) shift |= zem::forms::vbCtrlMask;
    return shift;
}

int HeldButtons(WPARAM keys) {
    int buttons = 0;
    if ((keys & MK_LBUTTON) != 0) buttons |= zem::forms::vbLeftButton;
    if ((keys & MK_RBUTTON) != 0) buttons |= zem::forms::vbRightButton;
    if ((keys & MK_MBUTTON) != 0) buttons |= zem::forms::vbMiddleButton;
    return buttons;
}

}  // namespace

an::an(HWND parent, const RECT& bounds, const zem::forms::PropertyBag* saved)
    : owned_("an", parent, bounds), window_(owned_.Handle()) {
    PublicData::HookWindow(thunk_, window_, this, SwitchThunkEntry);
    windowDC_ = GetDC(window_);
    faceDC_ = CreateCompatibleDC(windowDC_);
    faceBitmap_ = CreateCompatibleBitmap(windowDC_, kWidth, kHeight);
    faceOriginalBitmap_ = SelectObject(faceDC_, faceBitmap_);
    spriteDC_ = CreateCompatibleDC(windowDC_);
    spriteOriginalBitmap_ = GetCurrentObject(spriteDC_, OBJ_BITMAP);
    if (const auto bytes = zem::platform::FindProgramResource("an.Pic")) {
        try {
            sprite_ = zem::platform::LoadPictureFromMemory(bytes->data(), bytes->size(), "an.Pic");
            SelectObject(spriteDC_, sprite_->Handle());
        } catch (const zem::platform::PictureError&) {
            // An unreadable sprite leaves the face blank; the switch still works.
        }
    }
    if (saved != nullptr) {
        valve_ = false;
        SetValve(saved->ReadBool("Valve", valve_));
    }
    // The first sizing: 33 x 19 whatever the host asked for, then the resting look.
    SendMessageA(window_, WM_SIZE, 0, 0);
}

an::~an() {
    SelectObject(spriteDC_, spriteOriginalBitmap_);
    sprite_.reset();
    DeleteDC(spriteDC_);
    SelectObject(faceDC_, faceOriginalBitmap_);
    DeleteObject(faceBitmap_);
    DeleteDC(faceDC_);
    ReleaseDC(window_, windowDC_);
    PublicData::UnhookWindow(thunk_, window_);
}

void an::SetValve(bool NewValue) {
    valve_ = NewValue;
    if (PropertyChanged) PropertyChanged("Valve");
    DrawSwitch();
}

void an::WriteProperties(zem::forms::PropertyBag& bag) const { bag.WriteProperty("Valve", valve_, false); }

void an::CopyLook(int sourceX) {
    look_ = POINT{sourceX, valve_ ? 0 : kHeight};
    BitBlt(faceDC_, 0, 0, kWidth, kHeight, spriteDC_, look_.x, look_.y, SRCCOPY);
}

void an::DrawSwitch() {
    CopyLook(kResting);
    RefreshFace();
}

void an::FaceMouseDown(int button, int shift, float x, float y) {
    if (button == zem::forms::vbLeftButton) CopyLook(kPressed);
    RefreshFace();
    if (MouseDown) MouseDown(button, shift, x, y);
}

void an::FaceMouseMove(int button, int shift, float x, float y) {
    if (!(x > 0) || !(y > 0) || x >= kWidth || y >= kHeight) {
        CopyLook(kResting);
        ReleaseCapture();
    } else if (button == 0) {
        SetCapture(window_);
        CopyLook(kHover);
    }
    RefreshFace();
    if (MouseMove) MouseMove(button, shift, x, y);
}

void an::FaceMouseUp(int button, int shift, float x, float y) {
    if (MouseUp) MouseUp(button, shift, x, y);
}

void an::FaceClick() {
    valve_ = !valve_;  // directly: a click does not mark the key changed
    if (Click) Click();
    DrawSwitch();
}

LRESULT an::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto x = static_cast<float>(GET_X_LPARAM(lParam));
    const auto y = static_cast<float>(GET_Y_LPARAM(lParam));
    const int shift = ShiftState(wParam);
    switch (message) {
        case WM_SIZE: OnSize(); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const int button = message == WM_RBUTTONDOWN   ? zem::forms::vbRightButton
                               : message == WM_MBUTTONDOWN ? zem::forms::vbMiddleButton
                                                           : zem::forms::vbLeftButton;
            // As the runtime does, a press captures the mouse until the last button is up.
            if (pressedButtons_ == 0) SetCapture(window_);
            pressedButtons_ |= button;
            if (button == zem::forms::vbLeftButton) leftPressedHere_ = true;
            FaceMouseDown(button, shift, x, y);
            return 0;
        }
        case WM_MOUSEMOVE: FaceMouseMove(HeldButtons(wParam), shift, x, y); return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const int button = message == WM_RBUTTONUP   ? zem::forms::vbRightButton
                               : message == WM_MBUTTONUP ? zem::forms::vbMiddleButton
                                                         : zem::forms::vbLeftButton;
            // A click: a left press and its release both on the face.
            const bool click = button == zem::forms::vbLeftButton && leftPressedHere_ && x >= 0 && y >= 0 &&
                               x < kWidth && y < kHeight;
            if (button == zem::forms::vbLeftButton) leftPressedHere_ = false;
            pressedButtons_ &= ~button;
            if (pressedButtons_ == 0 && GetCapture() == window_) ReleaseCapture();
            FaceMouseUp(button, shift, x, y);
            if (click) FaceClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != window_) {
                pressedButtons_ = 0;
                leftPressedHere_ = false;
            }
            return 0;
        default: return CallWindowProcA(thunk_.OldProc, window, message, wParam, lParam);
    }
}

void an::OnSize() {
    RECT current{};
    GetClientRect(window_, &current);
    if (current.right != kWidth || current.bottom != kHeight) {
        SetWindowPos(window_, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;  // the resize sends WM_SIZE again at the right size
    }
    DrawSwitch();
}

void an::OnPaint() {
    PAINTSTRUCT paint{};
    BeginPaint(window_, &paint);
    BitBlt(windowDC_, 0, 0, kWidth, kHeight, faceDC_, 0, 0, SRCCOPY);
    EndPaint(window_, &paint);
}
