// shezhigy: the about window. An about picture with two links, the main site
// and the download site, each opened by the desktop's handler for addresses.
#pragma once

#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

class shezhigy : public zem::forms::Form {
public:
    shezhigy();

    void Form_Resize() override;

    // The captions of the two links, the only addresses the window knows.
    static std::string MainSiteAddress();
    static std::string DownloadSiteAddress();

    // The about picture: the drag surface, and where the pointer effects end.
    zem::forms::Image Image1{*this, "Image1"};
    zem::forms::Label Label1{*this, "Label1"};
    zem::forms::Label Label2{*this, "Label2"};
    // The main-site link.
    zem::forms::Label Label18{*this, "Label18"};
    zem::forms::Label Label3{*this, "Label3"};
    // The download-site link.
    zem::forms::Label Label4{*this, "Label4"};
    // The OK button and its two looks (rest, under the pointer), hidden.
    zem::forms::Image Image2{*this, "Image2"};
    zem::forms::Image Image3{*this, "Image3"};
    zem::forms::Image Image4{*this, "Image4"};
    // The close button and its two looks, hidden.
    zem::forms::Image Image5{*this, "Image5"};
    zem::forms::Image Image6{*this, "Image6"};
    zem::forms::Image Image7{*this, "Image7"};
    // The 1-pixel frame.
    zem::forms::Line Line1{*this, "Line1"};
    zem::forms::Line Line2{*this, "Line2"};
    zem::forms::Line Line3{*this, "Line3"};
    zem::forms::Line Line4{*this, "Line4"};

private:
    // Asks the desktop to open the address; nothing is reported back.
    void OpenUrl(const std::string& url);
};
