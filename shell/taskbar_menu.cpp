#include "shell/taskbar_menu.h"

#include "platform/window/user32.h"
#include "shell/program_windows.h"

namespace 状态栏 {
namespace {
// Module state: the procedure the hook replaced.
WNDPROC savedProcedure = nullptr;
}  // namespace

void EnableTaskbarMenu(const HWND& hwnd) {
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(static_cast<DWORD>(style) | 0xA0000u));
    // Installed once: a second hook would save itself and loop.
    if (savedProcedure != nullptr) return;
    savedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TaskbarMenuWndProc)));
}

LRESULT TaskbarMenuWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC next = savedProcedure;
    if (message == WM_DESTROY) {
        SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        savedProcedure = nullptr;
    } else if (message == WM_SYSCOMMAND && wParam == SC_CLOSE) {
        const auto& windows = zem::shell::RegisteredProgramWindows();
        if (windows.setMainVisible) windows.setMainVisible(false);
    }
    // The close command goes on to the window's own procedure after the hide.
    return CallWindowProcA(next, hwnd, message, wParam, lParam);
}

void ResetModuleState() { savedProcedure = nullptr; }

}  // namespace 状态栏
