// The player program: starts at its start-up window.
#include <string>

#include "controls/control_classes.h"
#include "platform/display/display.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/shell/icon_pictures.h"
#include "windows/loadme.h"
#include "windows/player_windows.h"

int main(int argc, char** argv) {
    zem::forms::App::SetTitle("zemplayer");
    std::string arguments;
    for (int index = 1; index < argc; ++index) {
        if (index > 1) arguments += ' ';
        arguments += argv[index];
    }
    zem::forms::SetCommand(arguments);
    zem::platform::InstallIconPictureLoader();
    zem::controls::RegisterControlClasses();
    RegisterPlayerWindows();
    // Real windows on the user's X display; headless (off-screen) without one.
    zem::platform::StartDesktopDisplayIfWanted();
    return zem::forms::RunProgram([] { zem::forms::ShowStartUpForm<loadme>(); });
}
