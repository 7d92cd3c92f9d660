// Owned windows: above their owner in the z-order, hidden while it is
// minimized and shown again with it.
#include <algorithm>

#include "platform/window/user32.h"
#include "platform/window/window_internal.h"

namespace zem::platform::detail {

// An owned window stays above its owner, as on the desktop platform: one that
// went below it comes back just above it, and the windows a window owns come
// along just above it when it moves, keeping their order. Only within one band
// (topmost or not), which is the order's first rule.
void WindowSystem::KeepOwnedAbove(HWND window) {
    WindowData* data = Find(window);
    if (data == nullptr) return;
    const auto band = [](const WindowData& each) { return each.exStyle & WS_EX_TOPMOST; };
    const auto indexOf = [this](HWND each) { return std::find(topLevels.begin(), topLevels.end(), each); };
    if (WindowData* owner = Find(data->owner); owner != nullptr && band(*owner) == band(*data)) {
        if (indexOf(window) > indexOf(data->owner)) {
            std::erase(topLevels, window);
            topLevels.insert(indexOf(data->owner), window);
        }
    }
    std::vector<HWND> owned;  // topmost first
    for (HWND top : topLevels)
        if (WindowData* each = Find(top); each != nullptr && each->owner == window && band(*each) == band(*data))
            owned.push_back(top);
    // Each goes just above the owner, so the first (the highest) ends on top.
    for (HWND each : owned) {
        std::erase(topLevels, each);
        topLevels.insert(indexOf(window), each);
    }
    for (HWND each : owned) KeepOwnedAbove(each);
}

// Minimizing a window hides the windows it owns and restoring it shows again
// those it hid, as the desktop platform does with owned pop-ups.
void WindowSystem::ShowOwnedWindows(HWND owner, bool show) {
    std::vector<HWND> owned;
    for (HWND top : topLevels)
        if (WindowData* each = Find(top); each != nullptr && each->owner == owner) owned.push_back(top);
    for (HWND each : owned) {
        WindowData* data = Find(each);
        if (data == nullptr) continue;
        if (!show && (data->style & WS_VISIBLE) != 0) {
            data->hiddenWithOwner = true;
            SetVisible(each, false);
        } else if (show && data->hiddenWithOwner) {
            data->hiddenWithOwner = false;
            SetVisible(each, true);
        }
    }
}

}  // namespace zem::platform::detail
