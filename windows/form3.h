// Form3: the server-unreachable window. The start-up window shows it when its
// reachability probe fails; retry runs the start again, close ends the player.
#pragma once

#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

class Form3 : public zem::forms::Form {
public:
    Form3();

    void Form_Resize() override;
    // Ends every process of the image name (the shell's routine).
    void KillVodSoft(const std::string& SoftName);

    zem::forms::Image Image1{*this, "Image1"};
    zem::forms::Label Label1{*this, "Label1"};
    zem::forms::TextBox Text1{*this, "Text1"};
    zem::forms::TextBox Text2{*this, "Text2"};
    // The frame bars: left, top, right, bottom.
    zem::forms::PictureBox P1{*this, "P1"};
    zem::forms::PictureBox P2{*this, "P2"};
    zem::forms::PictureBox P3{*this, "P3"};
    zem::forms::PictureBox P4{*this, "P4"};

private:
    void Text1_Click();
    void Text2_Click();
};
