// The notification area of the taskbar (the tray): Shell_NotifyIconA takes the
// 488-byte ANSI record, and the area keeps each icon's window, id, callback
// message, icon, tooltip and balloon. A click on an icon or on its balloon (by
// a test, or by the display) sends the icon's window its callback message.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/win32_types.h"
#include "platform/window/window_system.h"

inline constexpr DWORD NIM_ADD = 0;
inline constexpr DWORD NIM_MODIFY = 1;
inline constexpr DWORD NIM_DELETE = 2;

inline constexpr UINT NIF_MESSAGE = 0x01;
inline constexpr UINT NIF_ICON = 0x02;
inline constexpr UINT NIF_TIP = 0x04;
inline constexpr UINT NIF_STATE = 0x08;
inline constexpr UINT NIF_INFO = 0x10;

inline constexpr DWORD NIS_HIDDEN = 0x01;

inline constexpr DWORD NIIF_NONE = 0;
inline constexpr DWORD NIIF_INFO = 1;
inline constexpr DWORD NIIF_WARNING = 2;
inline constexpr DWORD NIIF_ERROR = 3;

inline constexpr LPARAM NIN_BALLOONSHOW = 0x0402;
inline constexpr LPARAM NIN_BALLOONHIDE = 0x0403;
inline constexpr LPARAM NIN_BALLOONTIMEOUT = 0x0404;
inline constexpr LPARAM NIN_BALLOONUSERCLICK = 0x0405;

// The record in the 32-bit layout the programs fill: handles travel as 4-byte
// fields (the platform's handle values fit 32 bits), text in the ANSI code page.
struct NOTIFYICONDATAA {
    DWORD cbSize = 0;
    DWORD hWnd = 0;
    DWORD uID = 0;
    DWORD uFlags = 0;
    DWORD uCallbackMessage = 0;
    DWORD hIcon = 0;
    char szTip[128] = {};
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char szInfo[256] = {};
    DWORD uTimeout = 0;
    char szInfoTitle[64] = {};
    DWORD dwInfoFlags = 0;
};
static_assert(sizeof(NOTIFYICONDATAA) == 488);
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == 4);
static_assert(offsetof(NOTIFYICONDATAA, uID) == 8);
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == 12);
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == 16);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 20);
static_assert(offsetof(NOTIFYICONDATAA, szTip) == 24);
static_assert(offsetof(NOTIFYICONDATAA, dwState) == 152);
static_assert(offsetof(NOTIFYICONDATAA, dwStateMask) == 156);
static_assert(offsetof(NOTIFYICONDATAA, szInfo) == 160);
static_assert(offsetof(NOTIFYICONDATAA, uTimeout) == 416);
static_assert(offsetof(NOTIFYICONDATAA, szInfoTitle) == 420);
static_assert(offsetof(NOTIFYICONDATAA, dwInfoFlags) == 484);

// A handle in the record's 4-byte form, and back.
inline DWORD HandleField(const void* handle) { return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(handle)); }
template <class Handle>
Handle FieldHandle(DWORD value) {
    return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(value));
}

// FALSE for a record of another size, an add of an icon already there, a
// change or delete of one that is not, or an add for a window that does not exist.
BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data);

namespace zem::platform {

struct TrayBalloon {
    std::string title;  // UTF-8
    std::string text;   // UTF-8
    DWORD flags = 0;
    DWORD timeout = 0;
};

struct TrayIcon {
    HWND window = nullptr;
    UINT id = 0;
    std::optional<UINT> callbackMessage;
    HICON icon = nullptr;
    std::string tip;  // UTF-8
    bool hidden = false;
    std::optional<TrayBalloon> balloon;  // showing while set
};

// The icons of the area, in the order they were added.
std::vector<TrayIcon> TrayIcons();
std::optional<TrayIcon> FindTrayIcon(HWND window, UINT id);

// A click released on the icon: the callback message with the button's down
// and up messages in lParam (WM_LBUTTONUP, WM_RBUTTONUP, ...). False when there
// is no such icon or it has no callback message.
bool ClickTrayIcon(HWND window, UINT id, MouseButton button);
// A double click: down, up, double click, up.
bool DoubleClickTrayIcon(HWND window, UINT id, MouseButton button);
// One mouse message on the icon (WM_LBUTTONDOWN...) as its callback message:
// the display sends each press and release as the pointer makes them.
bool NotifyTrayIcon(HWND window, UINT id, UINT mouseMessage);
// A click on the icon's balloon: NIN_BALLOONUSERCLICK, and the balloon closes.
bool ClickTrayBalloon(HWND window, UINT id);

}  // namespace zem::platform
