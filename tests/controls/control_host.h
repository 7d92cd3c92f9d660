// A fresh desktop on the manual clock with one top-level host window at the
// screen's origin, so that client and screen coordinates of a child placed at
// (0, 0) agree. Input goes through the window system's real input queue.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/drawing/bitmap.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::controls::testing {

using zem::platform::MouseButton;

class ControlHost : public ::testing::Test {
protected:
    ControlHost() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "ControlTestHost";
        RegisterClassA(&windowClass);
        host = CreateWindowExA(0, "ControlTestHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 600, nullptr, nullptr,
                               nullptr, nullptr);
    }

    void Move(int x, int y) { zem::platform::MovePointer(x, y); }
    void Press(int x, int y) { zem::platform::PressButton(MouseButton::Left, x, y); }
    void Release(int x, int y) { zem::platform::ReleaseButton(MouseButton::Left, x, y); }
    void Wheel(int delta, int x, int y) { zem::platform::TurnWheel(delta, x, y); }
    void Advance(int milliseconds) { desktop.clock().Advance(milliseconds); }

    // True when the block of `window` at (x, y) shows the block of the picture at (sx, sy).
    static bool ShowsPicture(HWND window, int x, int y, const zem::platform::Picture& picture, int sx, int sy,
                             int width, int height) {
        const zem::platform::Bitmap* surface = zem::platform::WindowSurface(window);
        if (surface == nullptr) return false;
        const zem::platform::Bitmap& source = picture.Pixels();
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                if (surface->At(x + column, y + row) != source.At(sx + column, sy + row)) return false;
        return true;
    }

    zem::platform::TestDesktop desktop;
    HWND host = nullptr;
};

}  // namespace zem::controls::testing
