// Not a test: writes a picture of each secondary window into a folder
// (docs/guestbook.png, settings.png, about.png, tip-strip.png), each as a
// person sees it on a fresh desktop. With an X display for the web engine
// (run it under xvfb-run), the guest book shows its local page rendered.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/system/files.h"
#include "platform/webview/engine_loop.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"
#include "tests/support/event_wait.h"
#include "tests/system/temp_folder.h"
#include "windows/frm_app_tip.h"
#include "windows/shezhigy.h"
#include "windows/shezhitip.h"
#include "windows/yijian.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: secondary_sample out-folder\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    zem::platform::TestDesktop desktop;
    zem::testing::TempFolder folder("program folder");
    std::filesystem::create_directories(folder.Path() / "zemskin");
    std::filesystem::copy(ZEM_DIST_DIR "/zemskin/html", folder.Path() / "zemskin" / "html",
                          std::filesystem::copy_options::recursive);
    folder.Write("zemskin/Config.ini", "[form]\r\nform=True\r\nrun=False\r\nrenwulan=True\r\nshipinku=True\r\nupdate=False\r\n");
    zem::platform::ScopedProgramFolder programFolder(folder.Path().string());
    using zem::forms::FormInstance;
    bool written = true;
    const auto snapshot = [&](zem::forms::Form& form, const char* name) {
        form.Show();
        zem::forms::DoEvents();
        written = zem::platform::WriteWindowSnapshot(form.hWnd(), (out / name).string()) && written;
        form.Hide();
    };
    {
        yijian& book = FormInstance<yijian>::Get();
        book.Show();
        // The engine paints a page a little after it has loaded it.
        if (zem::platform::webview::EngineAvailable()) {
            bool complete = false;
            book.WebBrowser1.OnDocumentComplete = [&](zem::forms::WebBrowserObject&, const std::string&) {
                complete = true;
            };
            zem::platform::PumpMessagesUntil([&] { return complete; }, zem::testing::kEventWaitMilliseconds);
            zem::platform::PumpMessagesUntil([] { return false; }, 500);
        }
        snapshot(book, "guestbook.png");
    }
    snapshot(FormInstance<shezhitip>::Get(), "settings.png");
    snapshot(FormInstance<shezhigy>::Get(), "about.png");
    FrmAppTip& tip = FormInstance<FrmAppTip>::Get();
    tip.Label1.SetCaption("设置成功 下次启动生效");
    snapshot(tip, "tip-strip.png");
    zem::forms::DiscardAllForms();
    if (!written) std::fprintf(stderr, "secondary_sample: a picture could not be written\n");
    return written ? 0 : 1;
}
