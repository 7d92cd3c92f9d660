// The window system: implementation follows.
#include "platform/window/window_system.h"
#include "platform/window/user32.h"
