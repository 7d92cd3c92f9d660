// yijian: the guest-book window. It shows the content server's guest book in
// a web view under a painted dark title bar: first the local page of the data
// folder, then, 6000 ms after it was loaded, the server's page.
#pragma once

#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/web_browser.h"

class yijian : public zem::forms::Form {
public:
    yijian();

    void Form_Load() override;
    void Form_Paint() override;
    void Form_Resize() override;
    void Form_MouseDown(int Button, int Shift, float X, float Y) override;
    void Form_MouseMove(int Button, int Shift, float X, float Y) override;

    // The local page: the program folder followed by "\zemskin\html\gbook.html".
    static std::string LocalPageAddress();
    // The server page: the main window's base address followed by "/vant/gbook.asp".
    static std::string ServerPageAddress();

    // The web view's container below the title bar, measured in twips.
    zem::forms::PictureBox P1{*this, "P1"};
    zem::forms::WebBrowser WebBrowser1{P1, "WebBrowser1"};
    // One shot: the switch to the server page.
    zem::forms::Timer T1{*this, "T1"};
    // The close button's mouse surface, over the close sprite (only index 0).
    zem::forms::ControlArray<zem::forms::Label> Button1{*this, "Button1"};
    // Hidden pictures: the title-bar tile, its left cap and the close sprite
    // (three 32 x 41 frames: rest, under the pointer, pressed).
    zem::forms::Image Image1{*this, "Image1"};
    zem::forms::Image Image2{*this, "Image2"};
    zem::forms::Image Image4{*this, "Image4"};
    // The frame below the title bar.
    zem::forms::Line Line1{*this, "Line1"};
    zem::forms::Line Line2{*this, "Line2"};
    zem::forms::Line Line3{*this, "Line3"};
    zem::forms::Line Line4{*this, "Line4"};

    // Source x of the close sprite's frames.
    static constexpr int kCloseRest = 0, kCloseHover = 32, kClosePressed = 64;

private:
    void Button1_Click(int Index);
    void Button1_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Button1_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void P1_Resize();
    void T1_Timer();
    void WebBrowser1_DownloadBegin();
    void ShowCloseFrame(int sourceX);
};
