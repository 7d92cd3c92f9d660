// Module 无边框窗体最大化: keeps a borderless window's maximized size off the
// taskbar by answering WM_GETMINMAXINFO in a hook on its procedure.
#pragma once

#include "platform/base/win32_types.h"

namespace 无边框窗体最大化 {

// Height of the taskbar window in twips (0 when there is none).
float GetTaskbarHeight();
// Sizes in pixels; a maximum of 0 stands for the screen's size. Installs
// MaxWndProc on the window, once per process.
void SetMaxSize(HWND hwnd, const LONG& minWidth, const LONG& minHeight, const LONG& maxWidth, const LONG& maxHeight);
LRESULT MaxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For tests: forgets the module state.
void ResetModuleState();

}  // namespace 无边框窗体最大化
