// The player's exit, one for its two ways out: the close button (with the
// "form" switch off) and the tray menu's "退出程序".
#pragma once

class Form1;

namespace zem::player {

// Saves the play list, removes the tray icon, then ends every player (the
// player's own image name among them, which ends this process), in this
// order. A failed save or removal is reported on standard error and the exit
// goes on; a command that cannot start ends the exit there, and the player
// runs on. Nothing escapes to the runtime's error box.
void ExitPlayer(Form1& main);

// The end of a session (SIGTERM, SIGHUP, SIGINT; platform/base/end_signals.h):
// the same exit, when the main window has read its play list (before that it
// holds nothing of its own to save, and a save would write an empty list
// over the file), then the process ends as by the signal, also where
// ending the players could not end it. It runs in the loop's wait, so also
// inside a message box or a menu; it never returns into them.
[[noreturn]] void EndPlayerOnSignal(int signal);

}  // namespace zem::player
