// The player program: starts at its start-up window.
#include "controls/control_classes.h"
#include "platform/base/end_signals.h"
#include "platform/display/display.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/shell/icon_pictures.h"
#include "player/player_exit.h"
#include "windows/loadme.h"
#include "windows/player_windows.h"

int main(int argc, char** argv) {
    // A logout, a shutdown or Ctrl+C runs the player's exit, which saves the play list.
    const zem::platform::EndSignals endSignals(zem::player::EndPlayerOnSignal);
    zem::forms::App::SetTitle("zemplayer");
    zem::forms::SetCommand(argc, argv);
    zem::platform::InstallIconPictureLoader();
    zem::controls::RegisterControlClasses();
    RegisterPlayerWindows();
    // Real windows on the user's X display; headless (off-screen) without one.
    zem::platform::StartDesktopDisplayIfWanted();
    return zem::forms::RunProgram([] { zem::forms::ShowStartUpForm<loadme>(); });
}
