// The updater program: starts at its main window with its one argument.
#include "platform/display/display.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/shell/icon_pictures.h"
#include "updater/form1.h"
#include "updater/updater_windows.h"

int main(int argc, char** argv) {
    zem::forms::App::SetTitle("update");
    zem::forms::SetCommand(argc, argv);
    zem::platform::InstallIconPictureLoader();
    zem::updater::RegisterUpdaterWindows();
    // Real windows on the user's X display; headless (off-screen) without one.
    zem::platform::StartDesktopDisplayIfWanted();
    return zem::forms::RunProgram([] { zem::forms::ShowStartUpForm<Form1>(); });
}
