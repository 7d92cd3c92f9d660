// The main window's icon in the notification area, and the player's tray
// callback that answers its mouse messages through a hook on the window.
#pragma once

#include <string>

#include "platform/base/win32_types.h"
#include "platform/forms/form.h"
#include "platform/shell/tray.h"

namespace 托盘气泡 {

inline constexpr UINT TrayCallbackMessage = 0x401;  // WM_USER + 1

// Adds the window's icon with the tooltip and hooks the window with the
// program's tray callback; later calls modify the icon. The balloon
// arguments are taken for the shape of the call and not shown.
void AddTrayIcon(const zem::forms::Form& window, const std::string& tooltip, const std::string& balloonText,
                 int balloonFlags, int balloonTimeout);
// AddTrayIcon with a balloon: the title fills the tooltip and the balloon's
// title, the text its body; adds the icon (and hooks the window) when none is
// added, else modifies it, replacing any balloon still showing.
void ShowTrayBalloon(const zem::forms::Form& window, const std::string& title, const std::string& text, int flags,
                     int timeout);
// Deletes the icon and restores the procedure the tray callback replaced;
// nothing when no icon is added.
void RemoveTrayIcon(const zem::forms::Form& window);
// The player's tray callback.
LRESULT TrayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// For tray callbacks: what the procedure the callback replaced answers.
LRESULT CallSavedProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool IconAdded();

// The 488-byte record for an add or modify, and for a delete.
NOTIFYICONDATAA AddRecord(HWND window, HICON icon, const std::string& tooltip);
NOTIFYICONDATAA DeleteRecord(HWND window, HICON icon);
NOTIFYICONDATAA BalloonRecord(HWND window, HICON icon, const std::string& title, const std::string& text, int flags,
                              int timeout);

void ResetModuleState();

}  // namespace 托盘气泡
