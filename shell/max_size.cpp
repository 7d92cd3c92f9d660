#include "shell/max_size.h"

#include <cmath>
#include <cstring>

#include "platform/window/user32.h"

namespace 无边框窗体最大化 {
namespace {
// Module state.
WNDPROC savedProcedure = nullptr;
LONG minimumWidth = 0;
LONG minimumHeight = 0;
LONG maximumWidth = 0;
LONG maximumHeight = 0;
RECT taskbarRect{};
constexpr int twipsPerPixel = 15;
}  // namespace

float GetTaskbarHeight() {
    HWND taskbar = FindWindowA("shell_traywnd", "");
    // With no taskbar the call fails and the last rectangle stays.
    if (taskbar != nullptr) GetWindowRect(taskbar, &taskbarRect);
    return static_cast<float>(taskbarRect.bottom - taskbarRect.top) * twipsPerPixel;
}

void SetMaxSize(HWND hwnd, const LONG& minWidth, const LONG& minHeight, const LONG& maxWidth, const LONG& maxHeight) {
    minimumWidth = minWidth;
    minimumHeight = minHeight;
    // The screen in twips over the twips per pixel, both whole numbers.
    const long screenWidthTwips = std::lround(static_cast<double>(GetSystemMetrics(SM_CXSCREEN)) * twipsPerPixel);
    const long screenHeightTwips = std::lround(static_cast<double>(GetSystemMetrics(SM_CYSCREEN)) * twipsPerPixel);
    maximumWidth = maxWidth != 0 ? maxWidth : static_cast<LONG>(screenWidthTwips / twipsPerPixel);
    maximumHeight = maxHeight != 0 ? maxHeight : static_cast<LONG>(screenHeightTwips / twipsPerPixel);
    // A second hook on the same window would keep itself as the saved
    // procedure and loop; install once, later calls only update the sizes.
    if (savedProcedure != nullptr) return;
    savedProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&MaxWndProc)));
}

LRESULT MaxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO && lParam != 0) {
        MINMAXINFO info;
        std::memcpy(&info, reinterpret_cast<const void*>(lParam), sizeof info);
        info.ptMaxSize = POINT{maximumWidth, maximumHeight};
        info.ptMaxPosition = POINT{0, 0};
        info.ptMinTrackSize = POINT{minimumWidth, minimumHeight};
        info.ptMaxTrackSize = POINT{maximumWidth, maximumHeight};
        std::memcpy(reinterpret_cast<void*>(lParam), &info, sizeof info);
        return 0;
    }
    return CallWindowProcA(savedProcedure, hwnd, message, wParam, lParam);
}

void ResetModuleState() {
    savedProcedure = nullptr;
    minimumWidth = minimumHeight = maximumWidth = maximumHeight = 0;
    taskbarRect = RECT{};
}

}  // namespace 无边框窗体最大化
