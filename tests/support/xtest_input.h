// Real input for tests of what a person sees: pointer moves, button presses
// and keys sent to an X server through XTest on a connection of the test's
// own, as a person's hand would make them. Positions are root (screen)
// coordinates.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <string>

namespace zem::testing {

class XTestInput {
public:
    explicit XTestInput(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~XTestInput() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    bool Connected() const { return display_ != nullptr; }
    Display* Connection() const { return display_; }

    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XSync(display_, False);
    }
    // Button 1 left, 2 middle, 3 right, 4 and 5 the wheel.
    void Button(unsigned button, bool press) {
        XTestFakeButtonEvent(display_, button, press ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void Click(int x, int y, unsigned button = 1) {
        MoveTo(x, y);
        Button(button, true);
        Button(button, false);
    }
    void Key(KeySym keysym, bool press) {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), press ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void TapKey(KeySym keysym) {
        Key(keysym, true);
        Key(keysym, false);
    }
    // Types printable ASCII text key by key, with Shift where the character needs it.
    void Type(const std::string& text) {
        for (const char character : text) {
            const KeySym keysym = static_cast<KeySym>(static_cast<unsigned char>(character));
            const KeyCode code = XKeysymToKeycode(display_, keysym);
            const bool shifted = code != 0 && UnshiftedKeysym(code) != keysym;
            if (shifted) Key(XK_Shift_L, true);
            TapKey(keysym);
            if (shifted) Key(XK_Shift_L, false);
        }
    }

    // Types one character of any script, as a keyboard layout that has it
    // would: a key with no symbols of its own is given the character's key
    // symbol (and keeps it: the program may read the key after any later
    // change of the keyboard's map).
    void TypeCharacter(char32_t character) {
        const KeySym keysym = character < 0x100 ? static_cast<KeySym>(character) : 0x01000000 + character;
        KeyCode code = XKeysymToKeycode(display_, keysym);
        if (code == 0) code = SpareKey();
        if (code == 0) return;
        if (UnshiftedKeysym(code) != keysym) {
            KeySym symbols[] = {keysym};
            XChangeKeyboardMapping(display_, code, 1, symbols, 1);
            XSync(display_, False);
        }
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }

private:
    KeySym UnshiftedKeysym(KeyCode code) const {
        int perCode = 0;
        KeySym* map = XGetKeyboardMapping(display_, code, 1, &perCode);
        const KeySym found = map != nullptr && perCode > 0 ? map[0] : NoSymbol;
        if (map != nullptr) XFree(map);
        return found;
    }

    // The highest key that has no symbols at all; 0 when there is none.
    KeyCode SpareKey() const {
        int first = 0, last = 0;
        XDisplayKeycodes(display_, &first, &last);
        for (int code = last; code >= first; --code) {
            int perCode = 0;
            KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(code), 1, &perCode);
            bool empty = true;
            for (int index = 0; map != nullptr && index < perCode; ++index) empty = empty && map[index] == NoSymbol;
            if (map != nullptr) XFree(map);
            if (empty) return static_cast<KeyCode>(code);
        }
        return 0;
    }

    Display* display_;
};

}  // namespace zem::testing
