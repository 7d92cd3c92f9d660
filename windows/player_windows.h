// What the player hands the shell at its start: its main window Form1, the
// tray menu of Form2 popped up over it, and the player's tray callback.
#pragma once

void RegisterPlayerWindows();
