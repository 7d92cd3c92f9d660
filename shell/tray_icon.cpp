#include "shell/tray_icon.h"

#include <algorithm>
#include <cstring>

#include "platform/base/text.h"
#include "platform/forms/runtime_error.h"
#include "platform/window/user32.h"
#include "shell/program_windows.h"

namespace 托盘气泡 {
namespace {
// Module state: the procedure the tray callback replaced; null while no icon is added.
WNDPROC savedProcedure = nullptr;

constexpr UINT kAddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE | NIF_INFO;  // 0x1F
constexpr UINT kDeleteFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;                         // 7

// A fixed-length text field: the GBK text, a NUL, then blanks to the end. A
// text too long is cut at a character boundary so that the NUL always fits
// and no double-byte character is split.
void FillTextField(char* field, std::size_t size, const std::string& utf8Text) {
    std::memset(field, ' ', size);
    const std::string text = zem::platform::Utf8ToGbk(utf8Text);
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t width = static_cast<unsigned char>(text[length]) >= 0x81 ? 2 : 1;
        if (length + width > size - 1 || length + width > text.size()) break;
        length += width;
    }
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

HICON IconOf(const zem::forms::Form& window) { return window.Icon() ? window.Icon()->Icon() : nullptr; }

// How the program supplies its tray callback: the one it registered at start
// (the updater's), else the player's, which this library holds itself.
WNDPROC ProgramTrayCallback() {
    WNDPROC registered = zem::shell::RegisteredProgramWindows().trayCallback;
    return registered != nullptr ? registered : &TrayWndProc;
}
}  // namespace

NOTIFYICONDATAA AddRecord(HWND window, HICON icon, const std::string& tooltip) {
    NOTIFYICONDATAA record;
    record.cbSize = sizeof(NOTIFYICONDATAA);
    record.hWnd = HandleField(window);
    record.uID = 0;
    record.uFlags = kAddFlags;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = HandleField(icon);
    FillTextField(record.szTip, sizeof(record.szTip), tooltip);
    return record;
}

NOTIFYICONDATAA DeleteRecord(HWND window, HICON icon) {
    NOTIFYICONDATAA record;
    record.cbSize = sizeof(NOTIFYICONDATAA);
    record.hWnd = HandleField(window);
    record.uFlags = kDeleteFlags;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = HandleField(icon);
    std::memset(record.szTip, ' ', sizeof(record.szTip));
    return record;
}

NOTIFYICONDATAA BalloonRecord(HWND window, HICON icon, const std::string& title, const std::string& text, int flags,
                              int timeout) {
    NOTIFYICONDATAA record = AddRecord(window, icon, title);
    FillTextField(record.szInfo, sizeof(record.szInfo), text);
    record.uTimeout = static_cast<DWORD>(timeout);
    FillTextField(record.szInfoTitle, sizeof(record.szInfoTitle), title);
    record.dwInfoFlags = static_cast<DWORD>(flags);
    return record;
}

namespace {
// The first record adds the icon and hooks the window with the program's tray
// callback; later ones modify it.
void AddOrModify(HWND hwnd, const NOTIFYICONDATAA& record) {
    if (savedProcedure == nullptr) {
        Shell_NotifyIconA(NIM_ADD, &record);
        savedProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(ProgramTrayCallback())));
    } else {
        Shell_NotifyIconA(NIM_MODIFY, &record);
    }
}
}  // namespace

void AddTrayIcon(const zem::forms::Form& window, const std::string& tooltip, const std::string&, int, int) {
    AddOrModify(window.hWnd(), AddRecord(window.hWnd(), IconOf(window), tooltip));
}

void ShowTrayBalloon(const zem::forms::Form& window, const std::string& title, const std::string& text, int flags,
                     int timeout) {
    AddOrModify(window.hWnd(), BalloonRecord(window.hWnd(), IconOf(window), title, text, flags, timeout));
}

void RemoveTrayIcon(const zem::forms::Form& window) {
    if (savedProcedure == nullptr) return;
    HWND hwnd = window.hWnd();
    const NOTIFYICONDATAA record = DeleteRecord(hwnd, IconOf(window));
    Shell_NotifyIconA(NIM_DELETE, &record);
    // Every hook put on the window after the icon leaves the chain with it.
    SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(savedProcedure));
    savedProcedure = nullptr;
}

LRESULT CallSavedProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (savedProcedure == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(savedProcedure, hwnd, message, wParam, lParam);
}

LRESULT TrayWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TrayCallbackMessage) {
        const auto& windows = zem::shell::RegisteredProgramWindows();
        // A failing step is skipped; the message still reaches the saved procedure.
        zem::forms::SkipOnError([&] {
            if (lParam == WM_LBUTTONUP) {
                if (windows.mainVisible && windows.setMainVisible) windows.setMainVisible(!windows.mainVisible());
            } else if (lParam == WM_RBUTTONUP || lParam == NIN_BALLOONUSERCLICK) {
                if (windows.popupTrayMenu) windows.popupTrayMenu();
            }
        });
    }
    return CallSavedProcedure(hwnd, message, wParam, lParam);
}

bool IconAdded() { return savedProcedure != nullptr; }

void ResetModuleState() { savedProcedure = nullptr; }

}  // namespace 托盘气泡
