// The updater program: starts at its main window with its one argument.
#include "platform/display/display.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/network/download_limits.h"
#include "platform/shell/icon_pictures.h"
#include "updater/form1.h"
#include "updater/updater_windows.h"

int main(int argc, char** argv) {
    zem::forms::App::SetTitle("update");
    zem::forms::SetCommand(argc, argv);
    zem::platform::InstallIconPictureLoader();
    zem::updater::RegisterUpdaterWindows();
    // Far above any real package; a server that sends more is refused.
    zem::platform::LimitDownloadBytes(std::uint64_t{1} << 30);
    // Real windows on the user's X display; headless (off-screen) without one.
    zem::platform::StartDesktopDisplayIfWanted();
    return zem::forms::RunProgram([] { zem::forms::ShowStartUpForm<Form1>(); });
}
