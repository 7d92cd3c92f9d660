// What the X server tells the display: pointer and keys become the program's
// input (through the window system's input queue, as in tests), window-manager
// moves, iconifies and closes become the messages a desktop program gets.

#include "platform/display/desktop_display.h"
#include "platform/window/user32.h"

#include <X11/Xutil.h>

namespace zem::platform::display {
namespace {

InputEvent PointerEvent(InputEvent::Kind kind, int rootX, int rootY) {
    InputEvent made;
    made.kind = kind;
    made.position = POINT{rootX, rootY};
    return made;
}

}  // namespace

HWND DesktopDisplay::WindowOfX(::Window window) const {
    for (const auto& [handle, shown] : shown_)
        if (shown.window && shown.window->id() == window) return handle;
    return nullptr;
}

void DesktopDisplay::HandleEvent(XEvent& event) {
    if (tray_->HandleEvent(event)) return;
    const HWND window = WindowOfX(event.xany.window);
    if (window == nullptr) return;
    ShownWindow& shown = shown_[window];
    switch (event.type) {
        case Expose: {
            const XExposeEvent& expose = event.xexpose;
            shown.window->Repaint(RECT{expose.x, expose.y, expose.x + expose.width, expose.y + expose.height});
            break;
        }
        case MotionNotify:
            QueueInput(PointerEvent(InputEvent::Kind::Move, event.xmotion.x_root, event.xmotion.y_root));
            break;
        case EnterNotify:
        case LeaveNotify:
            // Where the pointer now is decides the leave (and the enter's first move).
            if (event.xcrossing.mode == NotifyNormal)
                QueueInput(PointerEvent(InputEvent::Kind::Move, event.xcrossing.x_root, event.xcrossing.y_root));
            break;
        case ButtonPress:
        case ButtonRelease: {
            const XButtonEvent& button = event.xbutton;
            const bool press = event.type == ButtonPress;
            if (button.button == Button4 || button.button == Button5) {
                if (!press) break;
                InputEvent wheel = PointerEvent(InputEvent::Kind::Wheel, button.x_root, button.y_root);
                wheel.wheelDelta = button.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
                QueueInput(wheel);
                break;
            }
            InputEvent made =
                PointerEvent(press ? InputEvent::Kind::Press : InputEvent::Kind::Release, button.x_root, button.y_root);
            if (button.button == Button1)
                made.button = MouseButton::Left;
            else if (button.button == Button2)
                made.button = MouseButton::Middle;
            else if (button.button == Button3)
                made.button = MouseButton::Right;
            else
                break;
            // A press gives the keyboard focus to the window pressed.
            if (press && GetCapture() == nullptr) {
                if (HWND hit = WindowAtPoint(POINT{button.x_root, button.y_root}); hit != nullptr && hit != GetFocus())
                    SetFocus(hit);
            }
            QueueInput(made);
            break;
        }
        case KeyPress:
        case KeyRelease:
            HandleKey(event.xkey);
            break;
        case ConfigureNotify:
            HandleConfigure(window, shown, event.xconfigure);
            break;
        case UnmapNotify:
            // Unmapped by someone else (the window manager iconifying it). An
            // owned window goes with its owner, whose own minimize hides it.
            if (shown.window->Mapped() && !shown.iconic && !IsMinimizedWindow(window) &&
                OwnerWindow(window) == nullptr) {
                shown.iconic = true;
                SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            }
            break;
        case MapNotify:
            // Mapped again from the taskbar: a restore.
            if (IsMinimizedWindow(window)) {
                shown.iconic = false;
                SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
            }
            break;
        case FocusIn:
            if (event.xfocus.mode == NotifyNormal && GetForegroundWindow() != window) {
                SetForegroundWindow(window);
                foreground_ = window;  // already active at the server
                foregroundRequests_ = ForegroundRequests();
            }
            break;
        case ClientMessage:
            HandleClientMessage(window, event.xclient);
            break;
        default:
            break;
    }
}

// A move or size by the window manager becomes the program's own: its
// rectangle follows with the messages a move sends (also where the manager
// answers a request of the program with another place). Our own requests,
// still on their way, are not read back as moves.
void DesktopDisplay::HandleConfigure(HWND window, ShownWindow& shown, const XConfigureEvent& event) {
    if (!event.send_event && shown.pendingConfigures > 0) {
        --shown.pendingConfigures;
        return;
    }
    int rootX = event.x;
    int rootY = event.y;
    ::Window child = 0;
    if (!event.send_event)
        XTranslateCoordinates(connection_->display(), shown.window->id(), connection_->root(), 0, 0, &rootX, &rootY,
                              &child);
    const RECT reported{rootX, rootY, rootX + event.width, rootY + event.height};
    // The window manager's answer to a place the program asked for, perhaps
    // since overtaken by a later one: the program's place stands. The answer
    // to the latest one is where the window now is, even if a report the
    // manager sent before it read the request (its own move) came between;
    // and all the events our requests bring have come by then (a resize's
    // come before its answer), so none is still counted as on its way.
    if (event.send_event && shown.window->TakeRequested(reported)) {
        if (shown.window->AwaitsAnswer()) return;
        shown.pendingConfigures = 0;
        if (SameRect(reported, shown.window->Rect())) return;
    }
    shown.window->NoteGeometry(reported);
    if (SameRect(reported, WindowScreenRect(window))) return;
    if (IsMinimizedWindow(window)) return;
    SetWindowPos(window, nullptr, rootX, rootY, event.width, event.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesktopDisplay::HandleKey(const XKeyEvent& event) {
    XKeyEvent copy = event;
    char buffer[16];
    KeySym keysym = NoSymbol;
    XLookupString(&copy, buffer, sizeof buffer, &keysym, nullptr);
    // The virtual key is the key's own, whatever the shift state.
    const KeySym unshifted = XLookupKeysym(&copy, 0);
    const int virtualKey = VirtualKeyOfKeysym(unshifted != NoSymbol ? unshifted : keysym);
    const bool press = event.type == KeyPress;
    if (virtualKey != 0) {
        InputEvent key;
        key.kind = press ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
        key.virtualKey = virtualKey;
        QueueInput(key);
    }
    if (!press || (event.state & ControlMask) != 0) return;
    if (const char32_t character = CharacterOfKeysym(keysym); character != 0) {
        InputEvent typed;
        typed.kind = InputEvent::Kind::Character;
        typed.character = character;
        QueueInput(typed);
    }
}

void DesktopDisplay::HandleClientMessage(HWND window, const XClientMessageEvent& event) {
    if (event.message_type != connection_->atom("WM_PROTOCOLS")) return;
    const auto protocol = static_cast<Atom>(event.data.l[0]);
    // The window manager's close goes through the window's whole procedure
    // chain, as the system menu's close would.
    if (protocol == connection_->atom("WM_DELETE_WINDOW")) SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace zem::platform::display
