// The updater program: starts at its main window with its one argument.
#include "platform/base/end_signals.h"
#include "platform/display/display.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/network/download_limits.h"
#include "platform/shell/icon_pictures.h"
#include "updater/form1.h"
#include "updater/updater_windows.h"

#include <optional>

int main(int argc, char** argv) {
    // A logout, a shutdown or Ctrl+C stops a running download, whose part
    // file the unwinding transfer removes, and ends the program through its
    // loop; the process then ends as by the signal.
    const zem::platform::EndSignals endSignals([](int) {
        if (zem::forms::FormInstance<Form1>::Loaded()) {
            if (const auto& download = zem::forms::FormInstance<Form1>::Get().oDownload) download->AbortDownloading();
        }
        zem::forms::End();
    });
    zem::forms::App::SetTitle("update");
    zem::forms::SetCommand(argc, argv);
    zem::platform::InstallIconPictureLoader();
    zem::updater::RegisterUpdaterWindows();
    // Far above any real package; a server that sends more is refused.
    zem::platform::LimitDownloadBytes(std::uint64_t{1} << 30);
    // Real windows on the user's X display; headless (off-screen) without one.
    zem::platform::StartDesktopDisplayIfWanted();
    const int exitCode = zem::forms::RunProgram([] { zem::forms::ShowStartUpForm<Form1>(); });
    if (const std::optional<int> signal = endSignals.Received()) zem::platform::EndAsBySignal(*signal);
    return exitCode;
}
