#include "platform/display/own_windows.h"

#include "platform/drawing/text.h"
#include "platform/window/user32.h"

namespace zem::platform {

HFONT OwnWindowFont() {
    FontDescription description;
    description.height = -12;
    description.face = "微软雅黑";
    return CreateFontFromDescription(description);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

std::optional<int> WaitForAnswer(HWND window, const std::function<bool()>& answered) {
    MSG message{};
    while (!answered() && IsWindow(window)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got < 0) break;
        DispatchMessageA(&message);
    }
    return std::nullopt;
}

}  // namespace zem::platform
