#include "windows/player_windows.h"

#include "player/form1.h"
#include "player/secondary_windows.h"
#include "shell/program_windows.h"
#include "shell/tray_icon.h"
#include "windows/form2.h"
#include "windows/yijian.h"

using zem::forms::FormInstance;

void RegisterPlayerWindows() {
    zem::shell::ProgramWindows windows;
    windows.mainVisible = [] { return FormInstance<Form1>::Get().Visible(); };
    windows.setMainVisible = [](bool visible) { FormInstance<Form1>::Get().SetVisible(visible); };
    windows.popupTrayMenu = [] { FormInstance<Form1>::Get().PopupMenu(FormInstance<Form2>::Get().menu); };
    windows.trayCallback = &托盘气泡::TrayWndProc;
    zem::shell::RegisterProgramWindows(std::move(windows));

    zem::player::SecondaryWindows secondary;
    secondary.showGuestBook = [](zem::forms::Form& owner) {
        FormInstance<yijian>::Get().Show(zem::forms::vbModeless, &owner);
    };
    secondary.popupPageMenu = [] { FormInstance<Form1>::Get().PopupMenu(FormInstance<Form2>::Get().MyMenu); };
    zem::player::RegisterSecondaryWindows(std::move(secondary));
}
