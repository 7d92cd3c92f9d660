// an: the on/off switch. A 33 x 19 face that shows one of six looks of its
// sprite (the design picture "an.Pic", 99 x 38: resting, hover and pressed,
// for on and off), toggles its state on a click and tells its host. The
// face's mouse events are made from the messages of the control's window.
#pragma once

#include <functional>
#include <string>

#include "controls/control_window.h"
#include "controls/public_data.h"
#include "platform/drawing/picture.h"
#include "platform/forms/control.h"
#include "platform/forms/property_bag.h"
#include "platform/window/user32.h"

class an;
inline constexpr PublicData::ThunkEntryRoutine SwitchThunkEntry = &PublicData::ThunkEntry<an>;

class an {
public:
    static constexpr int kWidth = 33;
    static constexpr int kHeight = 19;
    // Source x of the looks; source y 0 is on, 19 off.
    static constexpr int kResting = 0, kHover = 33, kPressed = 66;

    // A new instance (on) when `saved` is null, else one loaded from the bag.
    an(HWND parent, const RECT& bounds, const zem::forms::PropertyBag* saved = nullptr);
    ~an();
    an(const an&) = delete;
    an& operator=(const an&) = delete;

    HWND hWnd() const { return window_; }
    bool Valve() const { return valve_; }
    void SetValve(bool NewValue);
    void WriteProperties(zem::forms::PropertyBag& bag) const;

    zem::forms::ClickHandler Click;
    zem::forms::MouseHandler MouseDown;
    zem::forms::MouseHandler MouseMove;
    zem::forms::MouseHandler MouseUp;
    std::function<void(const std::string& key)> PropertyChanged;

    // The look on the face: source (x, y) of the sprite last copied.
    POINT Look() const { return look_; }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void DrawSwitch();
    void CopyLook(int sourceX);
    void RefreshFace() { zem::controls::Repaint(window_); }
    void FaceMouseDown(int button, int shift, float x, float y);
    void FaceMouseMove(int button, int shift, float x, float y);
    void FaceMouseUp(int button, int shift, float x, float y);
    void FaceClick();
    void OnSize();
    void OnPaint();

    zem::controls::ControlWindow owned_;
    HWND window_ = nullptr;
    bool valve_ = true;
    POINT look_{};
    HDC windowDC_ = nullptr;
    HDC faceDC_ = nullptr;
    HGDIOBJ faceOriginalBitmap_ = nullptr;
    HBITMAP faceBitmap_ = nullptr;
    HDC spriteDC_ = nullptr;
    HGDIOBJ spriteOriginalBitmap_ = nullptr;
    zem::platform::PicturePtr sprite_;
    int pressedButtons_ = 0;
    bool leftPressedHere_ = false;
    PublicData::SubclassThunk thunk_;
};
