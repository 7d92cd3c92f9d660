// an: the on/off switch. A 33 x 19 user control whose face shows one of six
// looks of its sprite (the design picture "an.Pic", 99 x 38: resting, hover
// and pressed, for on and off), toggles its state on a click and tells its
// host. The face is the control's own surface: its mouse events are the
// runtime's events of the control, and its messages pass the window-hook
// thunk first.
#pragma once

#include <functional>
#include <string>

#include "controls/public_data.h"
#include "controls/self_drawn_control.h"
#include "platform/drawing/picture.h"
#include "platform/forms/control.h"
#include "platform/window/user32.h"

class an;
inline constexpr PublicData::ThunkEntryRoutine SwitchThunkEntry = &PublicData::ThunkEntry<an>;

class an : public zem::controls::SelfDrawnControl {
public:
    static constexpr int kWidth = 33;
    static constexpr int kHeight = 19;
    // Source x of the looks; source y 0 is on, 19 off.
    static constexpr int kResting = 0, kHover = 33, kPressed = 66;

    // A control on `parent`, on (a new instance) until its host loads saved
    // properties.
    an(zem::forms::Container& parent, std::string name);
    ~an() override;

    bool Valve() const { return valve_; }
    void SetValve(bool NewValue);

    // Events, raised synchronously to the host.
    zem::forms::ClickHandler Click;
    zem::forms::MouseHandler MouseDown;
    zem::forms::MouseHandler MouseMove;
    zem::forms::MouseHandler MouseUp;

    // The look on the face: source (x, y) of the sprite last copied.
    POINT Look() const { return look_; }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void InitializeDrawing() override;
    void TerminateDrawing() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const zem::forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(zem::forms::PropertyBag& bag) override;
    void UserControl_Resize() override;
    // The face's events.
    void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseUp(int Button, int Shift, float X, float Y) override;
    void UserControl_Click() override;

    void DrawSwitch();
    void CopyLook(int sourceX);
    void OnPaint();

    bool valve_ = true;
    POINT look_{};
    zem::platform::PicturePtr sprite_;
};
