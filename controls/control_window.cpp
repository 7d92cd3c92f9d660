#include "controls/control_window.h"

#include "platform/window/user32.h"

namespace zem::controls {

ControlWindow::ControlWindow(const char* className, HWND parent, const RECT& bounds, UINT classStyle) {
    WNDCLASSA windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = className;
    // A second registration of the same class fails harmlessly.
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr, nullptr,
                              nullptr);
}

ControlWindow::~ControlWindow() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

}  // namespace zem::controls
