#include "windows/player_windows.h"

#include "player/form1.h"
#include "shell/program_windows.h"
#include "shell/tray_icon.h"
#include "windows/form2.h"

using zem::forms::FormInstance;

void RegisterPlayerWindows() {
    zem::shell::ProgramWindows windows;
    windows.mainVisible = [] { return FormInstance<Form1>::Get().Visible(); };
    windows.setMainVisible = [](bool visible) { FormInstance<Form1>::Get().SetVisible(visible); };
    windows.popupTrayMenu = [] { FormInstance<Form1>::Get().PopupMenu(FormInstance<Form2>::Get().menu); };
    windows.trayCallback = &托盘气泡::TrayWndProc;
    zem::shell::RegisterProgramWindows(std::move(windows));
}
