// The desktop display: with an X server, every visible top-level window of the
// program is a real X window, its pixels are the composed window, and the
// server's pointer, keyboard and window-manager events come back as the
// program's input and messages. Without one (no DISPLAY, or ZEM_HEADLESS=1)
// nothing starts and the programs run headless, as tests and snapshots do.
#pragma once

#include <string>

#include "platform/base/win32_types.h"

namespace zem::platform {

// True when the environment asks for a display: DISPLAY is set and
// ZEM_HEADLESS is not "1".
bool DisplayWanted();

// Connects to the X server (`name`, or $DISPLAY) and shows the program's
// windows there until StopDesktopDisplay or the end of the program. Also
// installs the message boxes and menus a person answers. False when no
// server answers (the program then runs headless).
bool StartDesktopDisplay(const char* name = nullptr);
// Starts the display when DisplayWanted(); what StartDesktopDisplay answers, or false.
bool StartDesktopDisplayIfWanted();
void StopDesktopDisplay();
bool DesktopDisplayRunning();

// The X window id standing for a top-level window, or 0 (tests, tray embedding).
unsigned long XWindowOf(HWND window);

}  // namespace zem::platform
