// For tests of what a person sees of the program on a virtual X server: the
// program's windows shown there as real X windows (the desktop display), a
// person's hand on them (XTest at the root position of a window's point, read
// back from the server), and an eye on every window the server maps, so that
// a window the program did not make (a toolkit's own menu) is noticed.
#pragma once

// The window system first: its names (None...) are macros once Xlib is in.
#include "platform/display/desktop_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/display/display.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/support/event_wait.h"
#include "tests/support/xtest_input.h"

namespace zem::testing {

class ProgramDisplay {
public:
    // Shows the program's windows on the X server `name` from now on (the
    // screen the program sees becomes the server's). Started() tells whether
    // the display, the input and the observer are all there.
    explicit ProgramDisplay(const std::string& name) : input_(name), observer_(XOpenDisplay(name.c_str())) {
        started_ = input_.Connected() && observer_ != nullptr && platform::StartDesktopDisplay(name.c_str());
        if (observer_ != nullptr) {
            XSelectInput(observer_, DefaultRootWindow(observer_), SubstructureNotifyMask);
            XSync(observer_, False);
        }
    }
    ~ProgramDisplay() {
        platform::StopDesktopDisplay();
        if (observer_ != nullptr) XCloseDisplay(observer_);
    }
    ProgramDisplay(const ProgramDisplay&) = delete;
    ProgramDisplay& operator=(const ProgramDisplay&) = delete;

    bool Started() const { return started_; }
    XTestInput& input() { return input_; }

    // Where a client point of `window` is on the server's root, through the
    // X window of its top-level window; nothing while that is not shown.
    std::optional<POINT> RootPoint(HWND window, POINT client) {
        const HWND top = platform::display::TopOf(window);
        const ::Window shown = platform::XWindowOf(top);
        if (shown == 0) return std::nullopt;
        POINT screen = client;
        ClientToScreen(window, &screen);
        const RECT place = platform::WindowScreenRect(top);
        int x = 0, y = 0;
        ::Window child = 0;
        if (!XTranslateCoordinates(observer_, shown, DefaultRootWindow(observer_), static_cast<int>(screen.x - place.left),
                                   static_cast<int>(screen.y - place.top), &x, &y, &child))
            return std::nullopt;
        return POINT{x, y};
    }

    // Waits until the top-level window holding `window` is mapped at the
    // server and the server shows the program's own pixel at the point.
    bool WaitShown(HWND window, POINT client) {
        return platform::PumpMessagesUntil(
            [&] {
                const HWND top = platform::display::TopOf(window);
                const ::Window shown = platform::XWindowOf(top);
                XWindowAttributes attributes{};
                if (shown == 0 || XGetWindowAttributes(observer_, shown, &attributes) == 0 ||
                    attributes.map_state != IsViewable)
                    return false;
                const std::optional<POINT> root = RootPoint(window, client);
                if (!root) return false;
                POINT screen = client;
                ClientToScreen(window, &screen);
                const RECT place = platform::WindowScreenRect(top);
                const platform::Bitmap composed = platform::ComposeWindow(top);
                const int x = static_cast<int>(screen.x - place.left);
                const int y = static_cast<int>(screen.y - place.top);
                return composed.Contains(x, y) && RootPixel(root->x, root->y) == composed.At(x, y);
            },
            kLimit);
    }

    // A person's click with `button` (1 left, 2 middle, 3 right) at a client
    // point of `window`, once the window shows there; the program has read
    // it when this returns.
    bool Click(HWND window, int x, int y, unsigned button = 1) { return Press(window, x, y, button, 1); }
    bool DoubleClick(HWND window, int x, int y) { return Press(window, x, y, 1, 2); }
    // Turns of the wheel over a client point: positive away from the person
    // (button 4), negative towards (button 5).
    bool Wheel(HWND window, int x, int y, int notches) {
        if (!MoveOver(window, x, y)) return false;
        for (int turn = 0; turn < (notches < 0 ? -notches : notches); ++turn) {
            input_.Button(notches > 0 ? 4 : 5, true);
            input_.Button(notches > 0 ? 4 : 5, false);
        }
        return Settle();
    }
    // Keys to whatever has the keyboard focus at the server.
    bool Type(const std::string& text) {
        input_.Type(text);
        return Settle();
    }
    bool TapKey(KeySym keysym) {
        input_.TapKey(keysym);
        return Settle();
    }
    bool TypeCharacter(char32_t character) {
        input_.TypeCharacter(character);
        return Settle();
    }

    // Waits until the program has read every event the input sent so far:
    // the server has made them once the input's connection is in step, and
    // they are in the program's queue once the program's connection is.
    bool Settle() {
        XSync(input_.Connection(), False);
        platform::display::DesktopDisplay* running = platform::display::CurrentDisplay();
        if (running == nullptr) return false;
        Display* own = running->connection().display();
        XSync(own, False);
        return platform::PumpMessagesUntil([&] { return XEventsQueued(own, QueuedAlready) == 0; }, kLimit);
    }

    // The windows the server mapped since the last call that the program's
    // display did not make (a toolkit's pop-up, a stray top-level). The
    // display's windows carry the program's class; a window already gone
    // when asked cannot show it and counts as foreign.
    std::vector<::Window> ForeignWindowsMapped() {
        std::vector<::Window> foreign;
        XSync(observer_, False);
        while (XPending(observer_) > 0) {
            XEvent event;
            XNextEvent(observer_, &event);
            if (event.type == MapNotify && !OwnWindow(event.xmap.window)) foreign.push_back(event.xmap.window);
        }
        return foreign;
    }

private:
    static constexpr platform::Milliseconds kLimit = kEventWaitMilliseconds;

    bool MoveOver(HWND window, int x, int y) {
        if (!WaitShown(window, POINT{x, y})) return false;
        const std::optional<POINT> root = RootPoint(window, POINT{x, y});
        if (!root) return false;
        input_.MoveTo(static_cast<int>(root->x), static_cast<int>(root->y));
        return true;
    }
    bool Press(HWND window, int x, int y, unsigned button, int times) {
        if (!MoveOver(window, x, y)) return false;
        for (int time = 0; time < times; ++time) {
            input_.Button(button, true);
            input_.Button(button, false);
        }
        return Settle();
    }
    bool OwnWindow(::Window window) {
        // A window gone by now is no error of the test's.
        const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        XClassHint hint{};
        const bool named = XGetClassHint(observer_, window, &hint) != 0;
        const bool own = named && hint.res_name != nullptr && std::string(hint.res_name) == "zemplayer";
        if (hint.res_name != nullptr) XFree(hint.res_name);
        if (hint.res_class != nullptr) XFree(hint.res_class);
        XSync(observer_, False);
        XSetErrorHandler(previous);
        return own;
    }
    platform::Pixel RootPixel(int x, int y) {
        XImage* image = XGetImage(observer_, DefaultRootWindow(observer_), x, y, 1, 1, AllPlanes, ZPixmap);
        const platform::Pixel pixel =
            image != nullptr ? static_cast<platform::Pixel>(XGetPixel(image, 0, 0) & 0xFFFFFF) : 0xFFFFFFFFu;
        if (image != nullptr) XDestroyImage(image);
        return pixel;
    }

    XTestInput input_;
    Display* observer_;
    bool started_ = false;
};

}  // namespace zem::testing
