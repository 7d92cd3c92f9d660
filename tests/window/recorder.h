// A window procedure that writes down every message it gets, for the tests.
#pragma once

#include <string>
#include <vector>

#include "platform/window/user32.h"

namespace window_test {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

// The messages of one kind, in order.
inline std::vector<Received> Only(UINT message) {
    std::vector<Received> found;
    for (const Received& each : Log())
        if (each.message == message) found.push_back(each);
    return found;
}

inline void RegisterRecordingClass(const char* name, UINT style = 0) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

inline HWND MakeWindow(int x, int y, int width, int height, HWND parent = nullptr, const char* className = "Recorder",
                       DWORD exStyle = 0) {
    const DWORD style = (parent != nullptr ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    return CreateWindowExA(exStyle, className, "", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

}  // namespace window_test
