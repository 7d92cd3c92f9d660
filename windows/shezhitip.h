// shezhitip: the settings window. Five switches, each stored in Config.ini
// [form] the moment it is clicked and read back when the window loads; the
// save button only confirms through the tip strip and closes.
#pragma once

#include <array>
#include <string_view>

#include "controls/an.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"

class shezhitip : public zem::forms::Form {
public:
    shezhitip();

    void Form_Load() override;
    void Form_Resize() override;

    // The background picture: the drag surface, and where the buttons rest again.
    zem::forms::Image Image1{*this, "Image1"};
    zem::forms::Label Label1{*this, "Label1"};
    // The switches top to bottom and their state texts beside them.
    an an1{*this, "an1"};
    an an2{*this, "an2"};
    an an3{*this, "an3"};
    an an4{*this, "an4"};
    an an5{*this, "an5"};
    zem::forms::Label Label3{*this, "Label3"};
    zem::forms::Label Label2{*this, "Label2"};
    zem::forms::Label Label4{*this, "Label4"};
    zem::forms::Label Label5{*this, "Label5"};
    zem::forms::Label Label6{*this, "Label6"};
    // The save button and its two looks (rest, under the pointer), hidden.
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

    // One switch: its key in Config.ini [form], its state label, its texts.
    struct Setting {
        an* control;
        std::string_view key;
        zem::forms::Label* state;
        std::string_view onText;
        std::string_view offText;
    };
    const std::array<Setting, 5>& Settings() const { return settings_; }

private:
    void SwitchClick(const Setting& setting);
    void ShowState(const Setting& setting);
    void Image2_Click();
    void Image5_Click();

    std::array<Setting, 5> settings_;
};
