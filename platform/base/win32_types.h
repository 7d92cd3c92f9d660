// Basic types of the desktop API the system is written against: integer widths,
// opaque handles, geometry records and the word-packing helpers.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using INT = int;
using BOOL = int;
using HRESULT = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using ATOM = WORD;
using COLORREF = DWORD;
using CHAR = char;
using LPSTR = CHAR*;
using LPCSTR = const CHAR*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Show commands of a window or a started program.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// Handles are opaque pointers to distinct incomplete types, so that one kind
// cannot be passed where another is expected. The value is an identifier
// owned by the platform; 0 means none.
#define ZEM_DECLARE_HANDLE(name) \
    struct name##__;             \
    using name = name##__*
ZEM_DECLARE_HANDLE(HWND);
ZEM_DECLARE_HANDLE(HDC);
ZEM_DECLARE_HANDLE(HBITMAP);
ZEM_DECLARE_HANDLE(HBRUSH);
ZEM_DECLARE_HANDLE(HPEN);
ZEM_DECLARE_HANDLE(HFONT);
ZEM_DECLARE_HANDLE(HRGN);
ZEM_DECLARE_HANDLE(HICON);
ZEM_DECLARE_HANDLE(HMENU);
ZEM_DECLARE_HANDLE(HINSTANCE);
ZEM_DECLARE_HANDLE(HCURSOR);
#undef ZEM_DECLARE_HANDLE
using HGDIOBJ = void*;
using HMODULE = HINSTANCE;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

// The 40-byte record of WM_GETMINMAXINFO: five points of two 32-bit integers.
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};
static_assert(sizeof(MINMAXINFO) == 40);

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
// Client coordinates travel as signed 16-bit words.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(value))); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(value))); }
constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM value) { return static_cast<SHORT>(HIWORD(value)); }

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF color) { return static_cast<BYTE>(color & 0xFF); }
constexpr BYTE GetGValue(COLORREF color) { return static_cast<BYTE>((color >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF color) { return static_cast<BYTE>((color >> 16) & 0xFF); }
