// The shell's "open" operation on an address: the desktop's own handler for
// addresses (its URL opener) opens it.
#pragma once

#include "platform/base/win32_types.h"

// Opens `file` (an address) with the operation "Open" (or none). The window,
// the parameters, the folder and the show command are taken and not used: the
// desktop's opener chooses its own window. Returns a value above 32 when the
// opener was started, 2 (file not found) when it cannot be, and 31 for an
// operation other than "Open". Nothing is thrown.
HINSTANCE ShellExecuteA(HWND window, const char* operation, const char* file, const char* parameters,
                        const char* directory, int showCommand);
