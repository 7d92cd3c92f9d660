// Form1's design: every control's design properties, and each handler bound
// to its control. Places are set by the window's and the panels' resize
// handlers, so only sizes the layout keeps (label heights, the overlay's
// labels) are given here.
#include "platform/forms/picture.h"
#include "platform/forms/property_bag.h"
#include "player/form1.h"

using namespace zem::forms;

namespace {

// No design caption (the load sets it from the published values); 16005 x
// 9975 twips, centred on the screen, with a taskbar button. Its caption
// button maximizes it and its edges resize it, so it is not of fixed size.
FormDesign Form1Design() {
    FormDesign design;
    design.caption = "";
    design.clientWidth = 1067;
    design.clientHeight = 665;
    design.borderStyle = 0;
    design.maxButton = true;
    design.showInTaskbar = true;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

FontRef YaHei() { return StdFont::Create("微软雅黑", 10.5, 134); }

void Transparent(Label& label, COLORREF foreColor) {
    label.SetBackStyle(vbTransparent);
    label.SetForeColor(foreColor);
}

void PixelBox(PictureBox& box, COLORREF backColor) {
    box.SetScaleMode(vbPixels);
    box.SetBackColor(backColor);
}

void Hidden(Control& control) { control.SetVisible(false); }

}  // namespace

Form1::Form1() : Form(Form1Design()) {
    DesignControls();
    BindHandlers();
}

// The tray icon and the three hooks belong to the window, which lives as long
// as the process; nothing is taken down here.
Form1::~Form1() = default;

void Form1::DesignControls() {
    SetScaleMode(vbPixels);
    // The design icon, until the skin loader puts the icon file's in its place.
    SetIcon(DesignPicture("Form1.Icon"));
    SetBackColor(0x1F1F1F);
    SetForeColor(0xFFFFFF);

    // The library panel: the library view, the hidden view, the tab pages and the ticker strip.
    PixelBox(Picture1, 0x1F1F1F);
    Hidden(W2);
    Hidden(W4);
    PixelBox(P11, 0xFFFFFF);
    Image19.SetPicture(DesignPicture("Form1.Image19"));
    tupian.SetPicture(DesignPicture("Form1.tupian"));
    Transparent(Label2, 0xFFFFFF);
    Label2.SetFont(YaHei());
    Label2.SetHeight(25);

    // The player panel: channel page, player page, play list panel, splitter, bottom bar, overlay.
    PixelBox(Picture2, 0x1F1F1F);
    Hidden(W3);
    PixelBox(Picture6, 0x191919);
    Image15.SetPicture(DesignPicture("Form1.Image15"));
    SFPlayList1.Load(PropertyBag{{"BackColor", std::int32_t{0x404040}}, {"Font", StdFont::Create("宋体", 9, 134)}});
    PixelBox(Picture7, 0x191919);
    Picture7.SetPicture(DesignPicture("Form1.Picture7"));
    Picture7.SetToolTipText("清除播放记录");
    Hidden(Image16);
    Image16.SetPicture(DesignPicture("Form1.Image16"));
    Image16.SetToolTipText("删除列表");
    PixelBox(Picture3, 0x1F1F1F);
    Image11.SetStretch(true);
    Image11.SetPicture(DesignPicture("Form1.Image11"));
    PixelBox(Picture4, 0x1F1F1F);
    // The toggle's own pointer: the custom one, with its picture stored with the window.
    Picture4.SetMouseIcon(DesignPicture("Form1.Picture4.MouseIcon"));
    Picture4.SetMousePointer(vbCustom);
    Hidden(Image12);
    Hidden(Image13);
    Image12.SetPicture(DesignPicture("Form1.Image12"));
    Image13.SetPicture(DesignPicture("Form1.Image13"));
    PixelBox(Picture5, 0x1F1F1F);
    Image14.SetPicture(DesignPicture("Form1.Image14"));
    PixelBox(Picture9, 0x1F1F1F);
    Picture9.SetAutoSize(true);
    Picture9.SetPicture(DesignPicture("Form1.Picture9"));
    PixelBox(Picture8, 0x1F1F1F);
    Picture8.SetPicture(DesignPicture("Form1.Picture8"));
    Transparent(Label1, 0xFFFFFF);
    Label1.SetFont(YaHei());
    Label1.SetHeight(25);

    // The countdown overlay keeps its coordinates in twips.
    Hidden(vip);
    vip.SetScaleMode(vbTwips);
    vip.SetBackColor(0x000000);
    vip3.SetScaleMode(vbTwips);
    vip3.SetBackColor(0x404040);
    vip3.SetHeight(495);
    Transparent(Label5, 0x808080);
    Label5.SetCaption("缓冲倒计时：");
    Label5.Move(0, 90, 975, 255);
    Transparent(tip, 0x00FFFF);
    tip.Move(0, 90, 615, 255);

    // The window's own controls.
    Hidden(tj);
    hy.SetScaleMode(vbPixels);
    hy.SetPicture(DesignPicture("Form1.hy"));
    for (Image* holder : {&Image1, &Image2, &Image3, &Image4, &Image5, &Image6, &Image7, &Image8, &Image9, &Image10,
                          &logo, &zb, &yy})
        Hidden(*holder);
    Hidden(Image18);
    Hidden(Image20);
    Image18.SetPicture(DesignPicture("Form1.Image18"));
    Image20.SetPicture(DesignPicture("Form1.Image20"));
    for (Label* value : {&dizhi, &huangchong, &da}) Hidden(*value);
    Hidden(List3);
    Hidden(Text3);
    for (Line* line : {&Line1, &Line2, &Line3, &Line4}) line->SetBorderColor(0xC0E0FF);

    const char* captionTips[] = {"关闭软件", "最大化", "最小化", "意见反馈"};
    for (int index = 0; index < 4; ++index) Button1.Load(index).SetToolTipText(captionTips[index]);
    Button1.Load(7).SetToolTipText("菜单导航");
    const char* tabTips[] = {"播放窗口", "片库首页", "片库首页", "片库首页"};
    for (int index = 0; index < 4; ++index) Button2.Load(index).SetToolTipText(tabTips[index]);
    Button1.ForEach([](int, Label& label) { label.SetBackStyle(vbTransparent); });
    Button2.ForEach([](int, Label& label) { label.SetBackStyle(vbTransparent); });

    T4.SetInterval(3000);
    T4.SetEnabled(false);
    Timer8.SetInterval(1000);
    Timer8.SetEnabled(false);
    gun.SetInterval(1000);
    gun.SetEnabled(false);
    gun2.SetEnabled(false);
}

void Form1::BindHandlers() {
    // Layout.
    Picture1.OnResize = [this] { Picture1_Resize(); };
    P11.OnResize = [this] { P11_Resize(); };
    Picture2.OnResize = [this] { Picture2_Resize(); };
    Picture3.OnResize = [this] { Picture3_Resize(); };
    Picture5.OnResize = [this] { Picture5_Resize(); };
    Picture6.OnResize = [this] { Picture6_Resize(); };
    Picture4.OnResize = [this] { Picture4_Resize(); };
    vip3.OnResize = [this] { vip3_Resize(); };

    // Play-list toggles and the clear button.
    Picture4.OnClick = [this] { Picture4_Click(); };
    Picture4.OnMouseMove = [this](int b, int s, float x, float y) { Picture4_MouseMove(b, s, x, y); };
    Picture4.OnPaint = [this] { Picture4_Paint(); };
    Picture7.OnClick = [this] { Picture7_Click(); };
    Picture7.OnMouseDown = [this](int b, int s, float x, float y) { Picture7_MouseDown(b, s, x, y); };
    Picture7.OnMouseMove = [this](int b, int s, float x, float y) { Picture7_MouseMove(b, s, x, y); };
    Picture7.OnPaint = [this] { Picture7_Paint(); };
    Picture8.OnClick = [this] { Picture8_Click(); };

    // The drag strip and the pointer resets.
    Picture9.OnMouseMove = [this](int b, int s, float x, float y) { Picture9_MouseMove(b, s, x, y); };
    for (Control* reset : std::initializer_list<Control*>{&Picture8, &Image15, &Image19, &Label2, &tupian})
        reset->OnMouseMove = [this](int, int, float, float) { ResetPointer(); };

    // Caption buttons and tabs.
    Button1.Bind([this](int index, Label& label) {
        label.OnClick = [this, index] { Button1_Click(index); };
        label.OnMouseDown = [this, index](int b, int s, float x, float y) { Button1_MouseDown(index, b, s, x, y); };
        label.OnMouseMove = [this, index](int b, int s, float x, float y) { Button1_MouseMove(index, b, s, x, y); };
    });
    Button2.Bind([this](int index, Label& label) {
        label.OnClick = [this, index] { Button2_Click(static_cast<std::int16_t>(index)); };
        label.OnMouseMove = [this, index](int b, int s, float x, float y) { Button2_MouseMove(index, b, s, x, y); };
    });

    // The play list.
    SFPlayList1.MouseDown = [this](std::int16_t button) { SFPlayList1_MouseDown(button); };
    SFPlayList1.MouseUp = [this](std::int16_t button) { SFPlayList1_MouseUp(button); };
    SFPlayList1.MouseMove = [this](std::int16_t& b, std::int16_t& s, float& x, float& y) {
        SFPlayList1_MouseMove(b, s, x, y);
    };

    // Countdown and ticker.
    Timer8.OnTimer = [this] { Timer8_Timer(); };
    gun.OnTimer = [this] { gun_Timer(); };
    gun2.OnTimer = [this] { gun2_Timer(); };
    Label2.OnClick = [this] { Label2_Click(); };

    // The web views.
    T4.OnTimer = [this] { T4_Timer(); };
    auto navigation = [this](void (Form1::*handler)(WebBrowserObject&, const std::string&, long, const std::string&,
                                                     const std::string&, const std::string&, bool&)) {
        return [this, handler](WebBrowserObject& pDisp, const std::string& URL, long Flags,
                               const std::string& TargetFrameName, const std::string& PostData,
                               const std::string& Headers, bool& Cancel) {
            (this->*handler)(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel);
        };
    };
    ListWeb.OnBeforeNavigate2 = navigation(&Form1::ListWeb_BeforeNavigate2);
    PlayWeb.OnBeforeNavigate2 = navigation(&Form1::PlayWeb_BeforeNavigate2);
    W3.OnBeforeNavigate2 = navigation(&Form1::W3_BeforeNavigate2);
    W2.OnBeforeNavigate2 = navigation(&Form1::W2_BeforeNavigate2);
    W2.OnNewWindow2 = [this](WebBrowserObject*& ppDisp, bool& Cancel) { W2_NewWindow2(ppDisp, Cancel); };
    PlayWeb.OnDocumentComplete = [this](WebBrowserObject& pDisp, const std::string& URL) {
        PlayWeb_DocumentComplete(pDisp, URL);
    };
    ListWeb.OnDocumentComplete = [this](WebBrowserObject& pDisp, const std::string& URL) {
        ListWeb_DocumentComplete(pDisp, URL);
    };
    ListWeb.OnDownloadBegin = [this] { ListWeb_DownloadBegin(); };
    W2.OnDownloadBegin = [this] { W2_DownloadBegin(); };
    W3.OnDownloadBegin = [this] { W3_DownloadBegin(); };
    PlayWeb.OnDownloadBegin = [this] { PlayWeb_DownloadBegin(); };
    W4.OnDownloadBegin = [this] { W4_DownloadBegin(); };
}
