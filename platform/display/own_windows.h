// What the display's own windows (the pop-up menu, the message box) share:
// their font, a solid fill, and the nested loop that waits for their answer.
#pragma once

#include <functional>
#include <optional>

#include "platform/drawing/gdi.h"

namespace zem::platform {

// The windows' text font, 12 pixels of "微软雅黑"; the caller deletes it.
HFONT OwnWindowFont();

// Fills `rect` with one colour.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// Dispatches the thread's messages until `answered()` holds or `window` is
// gone. A WM_QUIT that comes first ends the wait and its exit code comes back:
// the caller posts it again once its window is gone, for the outer loop.
std::optional<int> WaitForAnswer(HWND window, const std::function<bool()>& answered);

}  // namespace zem::platform
