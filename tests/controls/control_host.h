// A fresh desktop on the manual clock with one shown host form at the
// screen's origin, in pixels, so that client and screen coordinates of a
// control placed at (0, 0) agree. Input goes through the window system's real
// input queue.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/drawing/bitmap.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/user_control.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::controls::testing {

using zem::platform::MouseButton;

// A form of this inner size that shows at the screen's origin.
inline zem::forms::FormDesign DesignAtOrigin(int width, int height) {
    zem::forms::FormDesign design;
    design.clientWidth = width;
    design.clientHeight = height;
    design.startUpPosition = zem::forms::vbStartUpManual;
    return design;
}

class HostForm : public zem::forms::Form {
public:
    HostForm() : Form(DesignAtOrigin(600, 600)) { SetScaleMode(zem::forms::vbPixels); }
};

class ControlHost : public ::testing::Test {
protected:
    ControlHost() { form.Show(); }
    // The controls a test made go before their form.
    ~ControlHost() override { zem::forms::DiscardAllForms(); }

    // A control of the class on the host form at `bounds` (pixels), a new
    // instance or one loaded from `saved`.
    template <class ControlClass>
    std::unique_ptr<ControlClass> Place(const RECT& bounds, const zem::forms::PropertyBag* saved = nullptr) {
        auto control = std::make_unique<ControlClass>(form, "Control");
        control->Move(static_cast<float>(bounds.left), static_cast<float>(bounds.top),
                      static_cast<float>(bounds.right - bounds.left), static_cast<float>(bounds.bottom - bounds.top));
        if (saved != nullptr)
            control->Load(*saved);
        else
            control->InitNew();
        return control;
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
    HostForm& form = zem::forms::FormInstance<HostForm>::Get();
};

}  // namespace zem::controls::testing
