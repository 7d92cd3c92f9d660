// Form1: the player's main window. A borderless, skinned window whose body is
// a set of web views (library, channel page, player page, advertisement) with
// a play list panel, a link ticker and a bottom bar. The start-up window
// shows it once its version check ends without an upgrade; it is never
// unloaded: the player ends by ending its own process.
//
// The class is split by what each part does:
//   form1_design.cpp     the controls' design properties and handler binding
//   form1_load.cpp       Form_Load and the window's close from outside
//   form1_playlist.cpp   the play list file and playing from the list
//   form1_countdown.cpp  the buffering countdown
//   form1_header.cpp     header painting, region, frame, caption buttons, tabs
//   form1_drag.cpp       moving and edge-resizing the borderless window
//   form1_panels.cpp     the panels' layout and the play-list toggles
//   form1_web_views.cpp  the web views and their URL schemes
//   form1_ticker.cpp     the link ticker
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "controls/sf_playlist.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/web_browser.h"

class Form1 : public zem::forms::Form {
public:
    Form1();
    ~Form1() override;

    // ---- Form events ----
    void Form_Load() override;
    void Form_Paint() override;
    void Form_Resize() override;
    void Form_MouseMove(int Button, int Shift, float X, float Y) override;
    void Form_DblClick() override;
    void Form_Unload(int& Cancel) override;

    // ---- Members other windows use ----
    // Shows the player view (0), the library view (1) or a fixed page of the
    // content server in the library panel (2, 3); other indexes do nothing.
    void Button2_Click(std::int16_t Index);
    // Button2_Click(0).
    void bb();
    // Writes the whole play list to the file at strXML (atomically; error 75
    // when it cannot, and the previous file is then whole).
    void SavePlayList(const std::string& strXML);
    // Adds the groups and entries of the file to the (empty) list; called by
    // the load, and public for the benchmark that times it.
    void LoadPlayList(const std::string& path);
    // Whether the load has read the play list file: only then does a save
    // keep what the file held.
    bool PlayListRead() const { return playListRead_; }
    // Starts the buffering countdown when the server switched it on.
    void 广告倒计时();
    // The page menu over a document; False keeps the browser's own menu away.
    bool M_Dom_oncontextmenu();

    // ---- Controls, by container ----
    // The library panel.
    zem::forms::PictureBox Picture1{*this, "Picture1"};
    zem::forms::WebBrowser ListWeb{Picture1, "ListWeb"};
    zem::forms::WebBrowser W2{Picture1, "W2"};
    zem::forms::WebBrowser W4{Picture1, "W4"};
    zem::forms::PictureBox P11{Picture1, "P11"};
    zem::forms::Image Image19{P11, "Image19"};
    zem::forms::Image tupian{P11, "tupian"};
    zem::forms::Label Label2{P11, "Label2"};

    // The player panel, beneath the library panel.
    zem::forms::PictureBox Picture2{*this, "Picture2"};
    zem::forms::WebBrowser PlayWeb{Picture2, "PlayWeb"};
    zem::forms::WebBrowser W3{Picture2, "W3"};
    // The countdown overlay over the player page, in twips; it lies
    // beneath the play list panel, the splitter and the bottom bar.
    zem::forms::PictureBox vip{Picture2, "vip"};
    zem::forms::WebBrowser qvod{vip, "qvod"};
    zem::forms::PictureBox vip3{vip, "vip3"};
    zem::forms::Label Label5{vip3, "Label5"};
    zem::forms::Label tip{vip3, "tip"};
    zem::forms::PictureBox Picture6{Picture2, "Picture6"};
    zem::forms::Image Image15{Picture6, "Image15"};
    SFPlayList SFPlayList1{Picture6, "SFPlayList1"};
    zem::forms::PictureBox Picture7{Picture6, "Picture7"};
    zem::forms::Image Image16{Picture7, "Image16"};
    zem::forms::PictureBox Picture3{Picture2, "Picture3"};
    zem::forms::Image Image11{Picture3, "Image11"};
    zem::forms::PictureBox Picture4{Picture3, "Picture4"};
    zem::forms::Image Image12{Picture4, "Image12"};
    zem::forms::Image Image13{Picture4, "Image13"};
    zem::forms::PictureBox Picture5{Picture2, "Picture5"};
    zem::forms::Image Image14{Picture5, "Image14"};
    zem::forms::PictureBox Picture9{Picture5, "Picture9"};
    zem::forms::PictureBox Picture8{Picture5, "Picture8"};
    zem::forms::Label Label1{Picture5, "Label1"};

    // On the window itself.
    zem::forms::WebBrowser tj{*this, "tj"};
    zem::forms::PictureBox hy{*this, "hy"};
    // Skin sprites: picture holders, never shown.
    zem::forms::Image Image1{*this, "Image1"};
    zem::forms::Image Image2{*this, "Image2"};
    zem::forms::Image Image3{*this, "Image3"};
    zem::forms::Image Image4{*this, "Image4"};
    zem::forms::Image Image5{*this, "Image5"};
    zem::forms::Image Image6{*this, "Image6"};
    zem::forms::Image Image7{*this, "Image7"};
    zem::forms::Image Image8{*this, "Image8"};
    zem::forms::Image Image9{*this, "Image9"};
    zem::forms::Image Image10{*this, "Image10"};
    zem::forms::Image logo{*this, "logo"};
    zem::forms::Image zb{*this, "zb"};
    zem::forms::Image yy{*this, "yy"};
    // The two looks of the play-list toggle Picture8.
    zem::forms::Image Image18{*this, "Image18"};
    zem::forms::Image Image20{*this, "Image20"};
    // The values the server publishes in "/zem.ini".
    zem::forms::Label dizhi{*this, "dizhi"};
    zem::forms::Label huangchong{*this, "huangchong"};
    zem::forms::Label da{*this, "da"};
    // The ticker's lines and the line on show.
    zem::forms::ListBox List3{*this, "List3"};
    zem::forms::TextBox Text3{*this, "Text3"};
    // The window's frame lines.
    zem::forms::Line Line1{*this, "Line1"};
    zem::forms::Line Line2{*this, "Line2"};
    zem::forms::Line Line3{*this, "Line3"};
    zem::forms::Line Line4{*this, "Line4"};
    // Hot spots over the drawn caption buttons (0 to 3, 7) and view tabs (0 to 3).
    zem::forms::ControlArray<zem::forms::Label> Button1{*this, "Button1"};
    zem::forms::ControlArray<zem::forms::Label> Button2{*this, "Button2"};

    zem::forms::Timer T4{*this, "T4"};
    zem::forms::Timer Timer8{*this, "Timer8"};
    zem::forms::Timer gun{*this, "gun"};
    zem::forms::Timer gun2{*this, "gun2"};

    // ---- Form-level variables ----
    // The [form] switches of Config.ini, as read.
    std::string cfgForm;
    std::string cfgRun;
    std::string cfgRenwulan;
    std::string cfgShipinku;
    // Seconds left of the countdown.
    std::int32_t CountdownSeconds = 0;
    // Seconds of pause left before the ticker's next choice.
    std::int16_t TickerDelay = 0;
    // The address of the ticker line on show.
    std::string TickerUrl;
    // The ticker file's bytes whose lines List3 holds; none after a failed reading.
    std::optional<std::string> tickerBytesListed_;
    // Where the pointer was at the last move without a button (twips) and
    // which edges were within reach then.
    struct DragResizeState {
        float X0 = 0;
        float Y0 = 0;
        bool OnTop = false;
        bool OnBottom = false;
        bool OnLeft = false;
        bool OnRight = false;
        bool OnNone = false;
    };
    DragResizeState ResizeState;
    // Documents whose events the window handles.
    std::shared_ptr<zem::forms::HtmlDocument> M_Dom;
    std::shared_ptr<zem::forms::HtmlDocument> m_oDoc;

    // ---- The web views and their URL schemes ----
    // True when the lower-cased url holds one of the play schemes.
    bool IsPlayUrl(const std::string& url) const;
    // The last play scheme, in table order, that the lower-cased url holds; "" for none.
    std::string GetPlayScheme(const std::string& url) const;

private:
    // ---- Load ----
    void ReadPublishedValues();
    void ReadFormSwitches();

    // ---- Play list ----
    void SFPlayList1_MouseDown(std::int16_t Button);
    void SFPlayList1_MouseUp(std::int16_t Button);
    void SFPlayList1_MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y);

    // ---- Countdown ----
    void Timer8_Timer();
    void vip3_Resize();

    // ---- Header, caption buttons, tabs ----
    void PaintCaptionButtons(int hovered);
    void PaintRestingTabs();
    void PaintTab(int index, int frame);
    void PaintTabRow(int selected);
    void Button1_Click(int Index);
    void Button1_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Button1_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void Button2_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void ToggleMaximized();

    // ---- Drag and edge resize ----
    void DragResizeForm(zem::forms::Form& frm, int Button, int Shift, float X, float Y);
    void Picture9_MouseMove(int Button, int Shift, float X, float Y);
    void ResetPointer();

    // ---- Panels and toggles ----
    void P11_Resize();
    void Picture1_Resize();
    void Picture2_Resize();
    void Picture3_Resize();
    void Picture5_Resize();
    void Picture6_Resize();
    void Picture4_Resize();
    void Picture4_Click();
    void Picture4_MouseMove(int Button, int Shift, float X, float Y);
    void Picture4_Paint();
    void Picture7_Click();
    void Picture7_MouseDown(int Button, int Shift, float X, float Y);
    void Picture7_MouseMove(int Button, int Shift, float X, float Y);
    void Picture7_Paint();
    void Picture8_Click();

    // ---- Web views (form1_web_views.cpp) ----
    void ListWeb_BeforeNavigate2(zem::forms::WebBrowserObject& pDisp, const std::string& URL, long Flags,
                                 const std::string& TargetFrameName, const std::string& PostData,
                                 const std::string& Headers, bool& Cancel);
    void PlayWeb_BeforeNavigate2(zem::forms::WebBrowserObject& pDisp, const std::string& URL, long Flags,
                                 const std::string& TargetFrameName, const std::string& PostData,
                                 const std::string& Headers, bool& Cancel);
    void W3_BeforeNavigate2(zem::forms::WebBrowserObject& pDisp, const std::string& URL, long Flags,
                                 const std::string& TargetFrameName, const std::string& PostData,
                                 const std::string& Headers, bool& Cancel);
    void W2_BeforeNavigate2(zem::forms::WebBrowserObject& pDisp, const std::string& URL, long Flags,
                                 const std::string& TargetFrameName, const std::string& PostData,
                                 const std::string& Headers, bool& Cancel);
    void W2_NewWindow2(zem::forms::WebBrowserObject*& ppDisp, bool& Cancel);
    void PlayWeb_DocumentComplete(zem::forms::WebBrowserObject& pDisp, const std::string& URL);
    // Attaches the page menu to each library page (M_Dom).
    void ListWeb_DocumentComplete(zem::forms::WebBrowserObject& pDisp, const std::string& URL);
    void ListWeb_DownloadBegin();
    void W2_DownloadBegin();
    void W3_DownloadBegin();
    void PlayWeb_DownloadBegin();
    void W4_DownloadBegin();
    void T4_Timer();

    // ---- Ticker (form1_ticker.cpp) ----
    void gun_Timer();
    void gun2_Timer();
    void Label2_Click();
    void OpenUrl(const std::string& url);

    void DesignControls();
    void BindHandlers();

    // The play list file that existed but could not be read at the load: kept
    // beside under another name before the exit's save replaces it.
    std::string unreadablePlayList_;
    bool playListRead_ = false;
};
