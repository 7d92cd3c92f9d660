// What the updater hands the shared shell routines: its main window, its tray
// menu and its own tray callback.
#pragma once

#include "platform/base/win32_types.h"

namespace zem::updater {

// The updater's tray callback: a left click toggles Form1, a right click or a
// click on the balloon brings Form1 to the foreground and pops up Form2's
// menu over it; every message then goes on to the procedure it replaced.
LRESULT TrayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers Form1, Form2.Menu and TrayWndProc with the shell routines, before
// any tray icon is added.
void RegisterUpdaterWindows();

}  // namespace zem::updater
