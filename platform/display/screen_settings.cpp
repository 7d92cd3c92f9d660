#include "platform/display/screen_settings.h"

namespace zem::platform::display {

// The work area leaves room for a taskbar on one edge; a missing work area (no
// window manager) or one that fills the screen means no taskbar.
DesktopSettings DesktopFromWorkArea(LONG width, LONG height, const long* workArea) {
    DesktopSettings settings;
    settings.width = width;
    settings.height = height;
    settings.taskbarEdge = TaskbarEdge::None;
    settings.taskbarThickness = 0;
    if (workArea == nullptr) return settings;
    const long x = workArea[0], y = workArea[1], w = workArea[2], h = workArea[3];
    if (w <= 0 || h <= 0) return settings;
    if (y > 0) {
        settings.taskbarEdge = TaskbarEdge::Top;
        settings.taskbarThickness = static_cast<LONG>(y);
    } else if (y + h < height) {
        settings.taskbarEdge = TaskbarEdge::Bottom;
        settings.taskbarThickness = static_cast<LONG>(height - (y + h));
    } else if (x > 0) {
        settings.taskbarEdge = TaskbarEdge::Left;
        settings.taskbarThickness = static_cast<LONG>(x);
    } else if (x + w < width) {
        settings.taskbarEdge = TaskbarEdge::Right;
        settings.taskbarThickness = static_cast<LONG>(width - (x + w));
    }
    return settings;
}

}  // namespace zem::platform::display
