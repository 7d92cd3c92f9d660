#include "windows/yijian.h"

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/picture.h"
#include "platform/forms/scoped_font.h"
#include "platform/network/content_server.h"
#include "platform/system/files.h"
#include "platform/window/user32.h"
#include "player/form1.h"
#include "windows/secondary_window.h"

using namespace zem::forms;

namespace {

constexpr int kTitleHeight = 41;
constexpr int kCloseWidth = 32;
constexpr COLORREF kFrameColor = 0x1F1F1F;

// 513 x 302 pixels, centred on its owner, out of the taskbar.
FormDesign YijianDesign() {
    FormDesign design;
    design.caption = "留言求片";
    design.clientWidth = 513;
    design.clientHeight = 302;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    design.startUpPosition = vbStartUpOwner;
    return design;
}

}  // namespace

yijian::yijian() : Form(YijianDesign()) {
    SetScaleMode(vbPixels);
    SetBackColor(0x404040);
    SetForeColor(0xFFFFFF);
    SetFont(StdFont::Create("黑体", 10.5, 134));
    // The container keeps twips, so the browser's overhang is 40 twips.
    P1.SetBackColor(0x000000);
    P1.SetBorderStyle(0);
    P1.Move(2, 40);
    T1.SetInterval(6000);
    T1.SetEnabled(false);
    Label& close = Button1.Load(0);
    close.SetBackStyle(vbTransparent);
    close.SetToolTipText("关闭");
    for (Image* picture : {&Image1, &Image2, &Image4}) picture->SetVisible(false);
    Image1.SetPicture(DesignPicture("yijian.Image1"));
    Image2.SetPicture(DesignPicture("yijian.Image2"));
    Image4.SetPicture(DesignPicture("yijian.Image4"));
    for (Line* line : {&Line1, &Line2, &Line3, &Line4}) line->SetBorderColor(kFrameColor);

    Button1.Bind([this](int index, Label& element) {
        element.OnClick = [this, index] { Button1_Click(index); };
        element.OnMouseDown = [this, index](int Button, int Shift, float X, float Y) {
            Button1_MouseDown(index, Button, Shift, X, Y);
        };
        element.OnMouseMove = [this, index](int Button, int Shift, float X, float Y) {
            Button1_MouseMove(index, Button, Shift, X, Y);
        };
    });
    P1.OnResize = [this] { P1_Resize(); };
    T1.OnTimer = [this] { T1_Timer(); };
    WebBrowser1.OnDownloadBegin = [this] { WebBrowser1_DownloadBegin(); };
}

std::string yijian::LocalPageAddress() { return zem::platform::ProgramPath("\\zemskin\\html\\gbook.html"); }

// Joined as plain text, without a check: an empty base address gives the bare path.
std::string yijian::ServerPageAddress() {
    return zem::content_server::Join(FormInstance<Form1>::Get().dizhi.Caption(),
                                     zem::content_server::kGuestBookPagePath);
}

// The local page first; the server's page replaces it 6000 ms after the load,
// whatever was done on the local page meanwhile.
void yijian::Form_Load() {
    WebBrowser1.Navigate(LocalPageAddress());
    T1.SetEnabled(true);
}

void yijian::T1_Timer() {
    T1.SetEnabled(false);
    WebBrowser1.Navigate(ServerPageAddress());
}

// At every download the pages are kept from raising dialog boxes; a page
// that fails shows the view's own error page, silently.
void yijian::WebBrowser1_DownloadBegin() { WebBrowser1.SetSilent(true); }

void yijian::Form_Paint() {
    const float width = static_cast<float>(InnerPixelSize().cx);
    PaintPicture(Image2.Picture(), 0, 0, 8, kTitleHeight, 0, 0, 8, kTitleHeight);
    // The tile runs from x 8 to past the right edge, where the window clips it.
    PaintPicture(Image1.Picture(), 8, 0, width, kTitleHeight, 0, 0, width, kTitleHeight);
    ShowCloseFrame(kCloseRest);
    HDC dc = GetDC(hWnd());
    {
        ScopedFont font(dc, *Font());
        SetTextColor(dc, TranslateColor(ForeColor()));
        SetBkMode(dc, TRANSPARENT);
        zem::platform::TextOutUtf8(dc, 26, 12, Caption());
    }
    ReleaseDC(hWnd(), dc);
}

void yijian::ShowCloseFrame(int sourceX) {
    const float width = static_cast<float>(InnerPixelSize().cx);
    PaintPicture(Image4.Picture(), width - kCloseWidth, 0, kCloseWidth, kTitleHeight, static_cast<float>(sourceX), 0,
                 kCloseWidth, kTitleHeight);
}

void yijian::Form_MouseDown(int, int, float, float) { zem::windows::DragWindow(*this); }

void yijian::Form_MouseMove(int, int, float, float) { ShowCloseFrame(kCloseRest); }

void yijian::Button1_Click(int) { Unload(); }

void yijian::Button1_MouseDown(int, int, int, float, float) { ShowCloseFrame(kClosePressed); }

void yijian::Button1_MouseMove(int, int, int, float, float) { ShowCloseFrame(kCloseHover); }

void yijian::Form_Resize() {
    if (WindowState() == vbMinimized) return;
    const int width = InnerPixelSize().cx;
    const int height = InnerPixelSize().cy;
    // Rounded top corners; the region is the window's from here on.
    SetWindowRgn(hWnd(), CreateRoundRectRgn(0, 0, width + 1, height + 200, 5, 5), TRUE);
    zem::windows::PlaceFrameLines(*this, kTitleHeight, Line1, Line2, Line3, Line4);
    Button1[0].Move(static_cast<float>(width - kCloseWidth), 0, kCloseWidth, kTitleHeight);
    P1.SetWidth(static_cast<float>(width - 4));
    P1.SetHeight(static_cast<float>(height - 42));
}

// 40 twips past the container on every side, so the browser's own border
// lies outside it and never shows.
void yijian::P1_Resize() {
    if (WindowState() == vbMinimized) return;
    WebBrowser1.Move(-40, -40, P1.ScaleWidth() + 80, P1.ScaleHeight() + 80);
}
