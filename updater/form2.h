// Form2: the updater's never-shown window that holds the tray menu with its
// one item, "退出升级".
#pragma once

#include <string>

#include "platform/forms/form.h"
#include "platform/forms/menu.h"

class Form2 : public zem::forms::Form {
public:
    Form2();

    // Ends every process of the image name (the shell's routine).
    void KillVodSoft(const std::string& SoftName);

    zem::forms::Menu Menu{"Menu", "Menu"};
    zem::forms::MenuItem& zzz = Menu.Add("zzz", "退出升级");

private:
    void zzz_Click();
};
