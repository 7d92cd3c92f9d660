#include "windows/shezhigy.h"

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/forms/picture.h"
#include "platform/network/content_server.h"
#include "platform/shell/shell_execute.h"
#include "windows/secondary_window.h"

using namespace zem::forms;

namespace {

constexpr COLORREF kAppWorkspaceColor = 0x80000000 | COLOR_APPWORKSPACE;
constexpr COLORREF kScrollBarColor = 0x80000000 | COLOR_SCROLLBAR;
constexpr COLORREF kLinkBlue = 0xFF0000;
constexpr COLORREF kLinkRed = 0x0000FF;

// 391 x 271 pixels in the middle of the screen, out of the taskbar, square corners.
FormDesign ShezhigyDesign() {
    FormDesign design;
    design.clientWidth = 391;
    design.clientHeight = 271;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

void DesignLabel(Label& label, float left, float top, float width, std::string caption) {
    label.SetBackStyle(vbTransparent);
    label.Move(left, top, width, 17);
    label.SetCaption(std::move(caption));
}

}  // namespace

// The two sites are the deployment's: here the content server's fixed host,
// its home page and its download page, so a deployment sets both with the host.
std::string shezhigy::MainSiteAddress() { return zem::content_server::FixedHost() + "/"; }
std::string shezhigy::DownloadSiteAddress() { return zem::content_server::FixedHost() + "/down/"; }

shezhigy::shezhigy() : Form(ShezhigyDesign()) {
    SetScaleMode(vbPixels);
    Image1.Move(0, 0, 390, 270);
    Image1.SetPicture(DesignPicture("shezhigy.Image1"));
    Label1.SetBackStyle(vbTransparent);
    Label1.Move(16, 8, 73, 25);
    Label1.SetCaption("关于我们");
    Label1.SetFont(StdFont::Create("微软雅黑", 12, 134));
    Label1.SetForeColor(kAppWorkspaceColor);
    DesignLabel(Label2, 144, 168, 33, "主站:");
    DesignLabel(Label18, 176, 168, 169, MainSiteAddress());
    DesignLabel(Label3, 144, 192, 33, "下载:");
    DesignLabel(Label4, 176, 192, 169, DownloadSiteAddress());
    for (Label* link : {&Label18, &Label4}) {
        link->SetFont(StdFont::Create("宋体", 9, 134));
        link->SetForeColor(kLinkBlue);
    }
    zem::windows::DesignButtonLooks("shezhigy", {Image2, Image3, Image4, Image5, Image6, Image7});
    for (Line* line : {&Line1, &Line2, &Line3, &Line4}) line->SetBorderColor(kScrollBarColor);

    Label18.OnClick = [this] { OpenUrl(Label18.Caption()); };
    Label18.OnMouseMove = [this](int, int, float, float) { Label18.SetForeColor(kLinkRed); };
    // The download link keeps its colour: only the main-site link reacts to
    // the pointer, and the page's look stays as designed.
    Label4.OnClick = [this] { OpenUrl(Label4.Caption()); };
    Image1.OnMouseMove = [this](int, int, float, float) {
        Image2.SetPicture(Image3.Picture());
        Image5.SetPicture(Image6.Picture());
        Label18.SetForeColor(kLinkBlue);
    };
    Image1.OnMouseDown = [this](int, int, float, float) { zem::windows::DragWindow(*this); };
    Label1.OnMouseDown = [this](int, int, float, float) { zem::windows::DragWindow(*this); };
    Image2.OnClick = [this] { Unload(); };
    Image2.OnMouseMove = [this](int, int, float, float) { Image2.SetPicture(Image4.Picture()); };
    Image5.OnClick = [this] { Unload(); };
    Image5.OnMouseMove = [this](int, int, float, float) { Image5.SetPicture(Image7.Picture()); };
}

void shezhigy::Form_Resize() { zem::windows::PlaceFrameLines(*this, 0, Line1, Line2, Line3, Line4); }

// The shell's answer is not used: a link that cannot be opened leaves no trace.
void shezhigy::OpenUrl(const std::string& url) {
    const std::string file = zem::platform::Utf8ToGbk(url);
    ShellExecuteA(hWnd(), "Open", file.c_str(), "0", "0", 0);
}
