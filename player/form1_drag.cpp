// Moving and edge-resizing the borderless main window from its own surface,
// and the drag strip of the bottom bar, which hands the move to the system.
#include "platform/window/user32.h"
#include "player/form1.h"

using namespace zem::forms;

namespace {

// An edge is within reach up to 5 pixels from it, the edge's own row included.
constexpr float kEdgeReach = 75;
// The smallest size a drag leaves: the window's design size.
constexpr float kMinimumWidth = 15000;
constexpr float kMinimumHeight = 9975;
// SC_MOVE with HTCAPTION: the system's move loop, as a caption drag.
constexpr WPARAM kMoveWithCaption = 0xF012;

}  // namespace

void Form1::DragResizeForm(Form& frm, int Button, int, float X, float Y) {
    X = X * TwipsPerPixel;
    Y = Y * TwipsPerPixel;
    DragResizeState& state = ResizeState;
    if (Button == 0) {
        state.X0 = X;
        state.Y0 = Y;
        state.OnTop = Y <= kEdgeReach;
        state.OnBottom = frm.Height() - Y <= kEdgeReach;
        state.OnLeft = X <= kEdgeReach;
        state.OnRight = frm.Width() - X <= kEdgeReach;
        if (state.OnTop && state.OnBottom) state.OnTop = false;
        if (state.OnLeft && state.OnRight) state.OnLeft = false;
        state.OnNone = !state.OnTop && !state.OnBottom && !state.OnLeft && !state.OnRight;
        if (state.OnNone) frm.SetMousePointer(vbDefault);
        if (state.OnLeft || state.OnRight) frm.SetMousePointer(vbSizeWE);
        if (state.OnTop || state.OnBottom) frm.SetMousePointer(vbSizeNS);
        if ((state.OnLeft && state.OnTop) || (state.OnRight && state.OnBottom)) frm.SetMousePointer(vbSizeNWSE);
        if ((state.OnLeft && state.OnBottom) || (state.OnRight && state.OnTop)) frm.SetMousePointer(vbSizeNESW);
        return;
    }
    // A button is held: the kind of drag was fixed by the last move without one.
    if (state.OnNone) frm.Move(frm.Left() + X - state.X0, frm.Top() + Y - state.Y0);
    if (state.OnTop) {
        const float height = frm.Height() - Y + state.Y0;
        if (height >= kMinimumHeight) frm.Move(frm.Left(), frm.Top() + Y - state.Y0, frm.Width(), height);
    }
    if (state.OnLeft) {
        const float width = frm.Width() - X + state.X0;
        if (width >= kMinimumWidth) frm.Move(frm.Left() + X - state.X0, frm.Top(), width, frm.Height());
    }
    if (state.OnBottom) {
        const float height = frm.Height() + Y - state.Y0;
        if (height >= kMinimumHeight) {
            frm.SetHeight(height);
            state.Y0 = Y;
        }
    }
    if (state.OnRight) {
        const float width = frm.Width() + X - state.X0;
        if (width >= kMinimumWidth) {
            frm.SetWidth(width);
            state.X0 = X;
        }
    }
}

// A move with a button held over the drag strip gives the move to the
// system, which returns when the button is released. A maximized window is
// left to the system's move loop as it is.
void Form1::Picture9_MouseMove(int Button, int, float, float) {
    if (Button != 0) {
        ReleaseCapture();
        SendMessageA(hWnd(), WM_SYSCOMMAND, kMoveWithCaption, 0);
    }
    SetMousePointer(vbDefault);
}

void Form1::ResetPointer() { SetMousePointer(vbDefault); }
