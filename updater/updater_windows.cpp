#include "updater/updater_windows.h"

#include "platform/forms/runtime_error.h"
#include "platform/window/user32.h"
#include "shell/program_windows.h"
#include "shell/tray_icon.h"
#include "updater/form1.h"
#include "updater/form2.h"

using zem::forms::FormInstance;

namespace zem::updater {

LRESULT TrayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 托盘气泡::TrayCallbackMessage) {
        // A failing step is skipped; the message still reaches the saved procedure.
        forms::SkipOnError([&] {
            if (lParam == WM_LBUTTONUP) {
                // The window of a failed upgrade stays hidden: its download is
                // gone, and it ends with the balloon.
                Form1& main = FormInstance<Form1>::Get();
                if (!main.WaitingOutTheFailure()) main.SetVisible(!main.Visible());
            } else if (lParam == WM_RBUTTONUP || lParam == NIN_BALLOONUSERCLICK) {
                Form1& main = FormInstance<Form1>::Get();
                SetForegroundWindow(main.hWnd());
                main.PopupMenu(FormInstance<Form2>::Get().Menu);
            }
        });
    }
    return 托盘气泡::CallSavedProcedure(hwnd, message, wParam, lParam);
}

void RegisterUpdaterWindows() {
    shell::ProgramWindows windows;
    windows.mainVisible = [] { return FormInstance<Form1>::Get().Visible(); };
    windows.setMainVisible = [](bool visible) { FormInstance<Form1>::Get().SetVisible(visible); };
    windows.popupTrayMenu = [] { FormInstance<Form1>::Get().PopupMenu(FormInstance<Form2>::Get().Menu); };
    windows.trayCallback = &TrayWndProc;
    shell::RegisterProgramWindows(std::move(windows));
}

}  // namespace zem::updater
