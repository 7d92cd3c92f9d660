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

}  // namespace zem::player
