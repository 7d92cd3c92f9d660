// What each program hands the shared shell routines at its start: its main
// window, its tray menu and its tray callback. The shell library lies below
// both programs and cannot name their forms, so the program registers them
// once, before any hook is installed; the hooks then act through this record.
#pragma once

#include <functional>

#include "platform/base/win32_types.h"

namespace zem::shell {

struct ProgramWindows {
    // The main window's visibility (Form1.Visible).
    std::function<bool()> mainVisible;
    std::function<void(bool)> setMainVisible;
    // Pops up the tray menu over the main window at the pointer.
    std::function<void()> popupTrayMenu;
    // The program's tray callback, installed by AddTrayIcon.
    WNDPROC trayCallback = nullptr;
};

void RegisterProgramWindows(ProgramWindows windows);
// The registered record; an empty one before registration.
const ProgramWindows& RegisteredProgramWindows();

}  // namespace zem::shell
