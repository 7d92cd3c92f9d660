// Module 状态栏: gives a borderless window's taskbar button its window menu and
// minimize command, and turns the menu's Close into hiding the main window.
#pragma once

#include "platform/base/win32_types.h"

namespace 状态栏 {

// Adds WS_SYSMENU and WS_MINIMIZEBOX and installs TaskbarMenuWndProc, once per process.
void EnableTaskbarMenu(const HWND& hwnd);
LRESULT TaskbarMenuWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For tests: forgets the module state.
void ResetModuleState();

}  // namespace 状态栏
