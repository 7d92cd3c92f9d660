#include "controls/an.h"

#include "platform/base/resources.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"

an::an(zem::forms::Container& parent, std::string name)
    : SelfDrawnControl(parent, std::move(name), this, SwitchThunkEntry) {
    EnsureWindow();
}

// Termination runs here, while the whole control exists.
an::~an() { DestroyChildWindow(); }

void an::InitializeDrawing() {
    // The face's own image, which the looks are copied into.
    ResizeBackBuffer(kWidth, kHeight);
    if (const auto bytes = zem::platform::FindProgramResource("an.Pic")) {
        try {
            sprite_ = zem::platform::LoadPictureFromMemory(bytes->data(), bytes->size(), "an.Pic");
            SelectObject(SkinDC(), sprite_->Handle());
        } catch (const zem::platform::PictureError&) {
            // An unreadable sprite leaves the face blank; the switch still works.
        }
    }
}

void an::TerminateDrawing() { sprite_.reset(); }

void an::UserControl_InitProperties() { valve_ = true; }

void an::UserControl_ReadProperties(const zem::forms::PropertyBag& bag) {
    // A loaded instance starts off: data without the key reads as off.
    valve_ = false;
    SetValve(bag.ReadBool("Valve", valve_));
}

void an::UserControl_WriteProperties(zem::forms::PropertyBag& bag) { bag.WriteProperty("Valve", valve_, false); }

void an::SetValve(bool NewValue) {
    valve_ = NewValue;
    PropertyChanged("Valve");
    DrawSwitch();
}

void an::CopyLook(int sourceX) {
    look_ = POINT{sourceX, valve_ ? 0 : kHeight};
    BitBlt(BackDC(), 0, 0, kWidth, kHeight, SkinDC(), look_.x, look_.y, SRCCOPY);
}

void an::DrawSwitch() {
    CopyLook(kResting);
    Refresh();
}

// 33 x 19 whatever the host asked for (also at the first sizing), then the
// resting look.
void an::UserControl_Resize() {
    const RECT& place = PixelBounds();
    if (place.right - place.left != kWidth || place.bottom - place.top != kHeight) {
        SetPixelBounds(RECT{place.left, place.top, place.left + kWidth, place.top + kHeight});
        return;  // the new size raises Resize again
    }
    DrawSwitch();
}

void an::UserControl_MouseDown(int Button, int Shift, float X, float Y) {
    if (Button == zem::forms::vbLeftButton) CopyLook(kPressed);
    Refresh();
    RaiseEvent(MouseDown, Button, Shift, X, Y);
}

void an::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
    if (!(X > 0) || !(Y > 0) || X >= kWidth || Y >= kHeight) {
        CopyLook(kResting);
        ReleaseCapture();
    } else if (Button == 0) {
        // The face holds the mouse while hovered, so that it sees the move
        // that leaves it.
        SetCapture(hWnd());
        CopyLook(kHover);
    }
    Refresh();
    RaiseEvent(MouseMove, Button, Shift, X, Y);
}

void an::UserControl_MouseUp(int Button, int Shift, float X, float Y) { RaiseEvent(MouseUp, Button, Shift, X, Y); }

void an::UserControl_Click() {
    valve_ = !valve_;  // directly: a click does not mark the key changed
    RaiseEvent(Click);
    DrawSwitch();
}

LRESULT an::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    return CallSavedProcedure(window, message, wParam, lParam);
}

void an::OnPaint() {
    PAINTSTRUCT paint{};
    BeginPaint(hWnd(), &paint);
    BitBlt(WindowDC(), 0, 0, kWidth, kHeight, BackDC(), 0, 0, SRCCOPY);
    EndPaint(hWnd(), &paint);
}
