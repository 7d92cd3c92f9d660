// The layout of the library and player panels and their strips, and the
// player panel's buttons: the play-list toggle in the splitter, the clear
// button of the list and the second toggle in the bottom bar.
#include "platform/drawing/gdi.h"
#include "platform/window/user32.h"
#include "player/form1.h"

using namespace zem::forms;

namespace {

// Sprite buttons: the frame's place in the sprite and the button's size.
constexpr int kToggleWidth = 10;
constexpr int kToggleHeight = 128;
constexpr int kClearWidth = 21;
constexpr int kClearHeight = 45;

void PaintButtonFrame(PictureBox& button, const Image& sprite, int frameX, int width, int height) {
    if (!sprite.Picture()) return;
    button.PaintPicture(sprite.Picture(), 0, 0, static_cast<float>(width), static_cast<float>(height),
                        static_cast<float>(frameX), 0, static_cast<float>(width), static_cast<float>(height),
                        SRCCOPY);
}

// Hover inside the button (its left and top edges count as outside) with the
// capture, so the move that leaves it arrives too; outside, the capture goes
// once no button is held.
bool TrackHover(PictureBox& button, int heldButtons, float x, float y) {
    const bool inside = x > 0 && x < button.ScaleWidth() && y > 0 && y < button.ScaleHeight();
    if (inside)
        SetCapture(button.hWnd());
    else if (heldButtons == 0)
        ReleaseCapture();
    return inside;
}

}  // namespace

void Form1::Picture1_Resize() {
    if (WindowState() == vbMinimized) return;
    const float width = Picture1.ScaleWidth();
    const float height = Picture1.ScaleHeight();
    ListWeb.Move(-2, -2, width + 4, height - 36);
    W2.Move(-2, -2, width + 4, height - 34);
    P11.SetLeft(0);
    P11.SetHeight(43);
    P11.SetTop(height - 43);
    P11.SetWidth(width);
    W4.Move(-2, -2, width + 4, height - 36);
}

// The ticker strip is laid out whatever the window's state.
void Form1::P11_Resize() {
    const float width = P11.ScaleWidth();
    tupian.Move(width - tupian.Width(), 0);
    Image19.Move(0, 0, width, P11.ScaleHeight());
    Label2.Move(20, 12, 400);
}

void Form1::Picture2_Resize() {
    if (WindowState() == vbMinimized) return;
    const float width = Picture2.ScaleWidth();
    const float height = Picture2.ScaleHeight();
    Picture5.SetLeft(0);
    Picture5.SetHeight(43);
    Picture5.SetTop(height - 43);
    Picture5.SetWidth(width);
    Picture6.SetWidth(250);
    Picture6.SetTop(0);
    Picture6.SetHeight(height - 43);
    Picture6.SetLeft(width - 250);
    Picture3.SetWidth(10);
    Picture3.SetLeft(Picture6.Visible() ? width - 260 : width - 10);
    Picture3.SetTop(0);
    Picture3.SetHeight(height - 43);
    Picture3.ZOrder(vbBringToFront);
    for (WebBrowser* view : {&PlayWeb, &W3}) {
        view->SetLeft(-2);
        view->SetTop(-2);
        view->SetHeight(height - 37 - view->Top());
        view->SetWidth(Picture3.Left() - view->Left() + 2);
    }
    vip.SetLeft(-40);
    vip.SetTop(-40);
    vip.SetHeight(height - 43 - vip.Top());
    vip.SetWidth(Picture3.Left() - vip.Left() + 40);
    // The overlay's children, in its twips.
    const float overlayWidth = vip.ScaleWidth();
    const float overlayHeight = vip.ScaleHeight();
    vip3.SetLeft(0);
    vip3.SetWidth(overlayWidth);
    vip3.SetTop(overlayHeight - 300);
    qvod.Move(-40, -40, overlayWidth + 40, overlayHeight + 43);
}

void Form1::Picture3_Resize() {
    if (WindowState() == vbMinimized) return;
    const float width = Picture3.ScaleWidth();
    const float height = Picture3.ScaleHeight();
    Image11.Move(0, 0, width, height);
    Picture4.SetLeft(0);
    Picture4.SetHeight(kToggleHeight);
    Picture4.SetWidth(width);
    // Centred in the splitter: the toggle's middle on the splitter's middle.
    Picture4.SetTop(height / 2 - kToggleHeight / 2);
}

void Form1::Picture5_Resize() {
    if (WindowState() == vbMinimized) return;
    const float width = Picture5.ScaleWidth();
    Picture8.SetTop(0);
    Picture8.SetHeight(43);
    Picture8.SetWidth(60);
    Picture8.SetLeft(width - Picture8.Width() - 5);
    Picture9.SetTop(0);
    Picture9.SetWidth(455);
    Picture9.SetHeight(43);
    Picture9.SetLeft((width - 455) / 2);
    Label1.SetTop(12);
    Label1.SetWidth(200);
    Label1.SetLeft(20);
}

void Form1::Picture6_Resize() {
    if (WindowState() == vbMinimized) return;
    const float width = Picture6.ScaleWidth();
    const float height = Picture6.ScaleHeight();
    Picture7.SetWidth(kClearWidth);
    Picture7.SetHeight(kClearHeight);
    Picture7.SetTop(0);
    Picture7.SetLeft(width - Picture7.Width());
    SFPlayList1.Move(0, 45, width, height - 45);
}

// ---- The play-list toggle in the splitter ---------------------------------------

void Form1::Picture4_Resize() { Picture4_Paint(); }

void Form1::Picture4_Paint() {
    PaintButtonFrame(Picture4, Picture6.Visible() ? Image12 : Image13, 0, kToggleWidth, kToggleHeight);
}

void Form1::Picture4_MouseMove(int Button, int, float X, float Y) {
    const bool inside = TrackHover(Picture4, Button, X, Y);
    PaintButtonFrame(Picture4, Picture6.Visible() ? Image12 : Image13, inside ? kToggleWidth : 0, kToggleWidth,
                     kToggleHeight);
    SetMousePointer(vbDefault);
}

void Form1::Picture4_Click() {
    Picture6.SetVisible(!Picture6.Visible());
    Picture2_Resize();
    Picture4_Paint();
}

// ---- The clear button of the list ---------------------------------------------

void Form1::Picture7_Paint() { PaintButtonFrame(Picture7, Image16, 0, kClearWidth, kClearHeight); }

void Form1::Picture7_MouseMove(int Button, int, float X, float Y) {
    const bool inside = TrackHover(Picture7, Button, X, Y);
    PaintButtonFrame(Picture7, Image16, inside ? kClearWidth : 0, kClearWidth, kClearHeight);
    SetMousePointer(vbDefault);
}

// The pressed look stays until the next move draws hover or normal.
void Form1::Picture7_MouseDown(int, int, float, float) {
    PaintButtonFrame(Picture7, Image16, 2 * kClearWidth, kClearWidth, kClearHeight);
}

void Form1::Picture7_Click() { SFPlayList1.ClearNodes(); }

// ---- The toggle in the bottom bar -------------------------------------------------

// Its picture alternates with its own clicks only; the list follows every click.
void Form1::Picture8_Click() {
    Picture8.SetPicture(Picture8.Picture() == Image20.Picture() ? Image18.Picture() : Image20.Picture());
    Picture4_Click();
}
