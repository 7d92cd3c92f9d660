// What the self-drawn controls share: the child window each one owns, the
// at-once repaint of the forms runtime, and small geometry helpers.
#pragma once

#include <string>

#include "platform/base/win32_types.h"

namespace zem::controls {

// A child window of a plain class (the default procedure underneath), made
// for one control and destroyed with it.
class ControlWindow {
public:
    ControlWindow(const char* className, HWND parent, const RECT& bounds, UINT classStyle = 0);
    ~ControlWindow();
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Paints the window at once through WM_PAINT, as the runtime's Refresh does.
void Repaint(HWND window);

inline bool PointInRect(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace zem::controls
