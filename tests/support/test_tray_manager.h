// System-tray managers for tests on a virtual X server of their own: one of
// the test's own making (it owns the tray selection, takes the dock requests
// and embeds the icons into its window at the tray's left end, as a desktop's
// tray would), and real panels from the desktop (tint2, trayer) run as the
// test's children.
#pragma once

#include <X11/Xlib.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/test_child_process.h"

namespace zem::testing {

class TestTrayManager {
public:
    explicit TestTrayManager(Display* display) : display_(display) {
        const ::Window root = DefaultRootWindow(display);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixel = 0x202020;
        window_ = XCreateWindow(display, root, 800, 730, 200, 30, 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow(display, window_);
        XSetSelectionOwner(display, XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False), window_, CurrentTime);
        XSync(display, False);
    }
    ~TestTrayManager() { XDestroyWindow(display_, window_); }
    TestTrayManager(const TestTrayManager&) = delete;
    TestTrayManager& operator=(const TestTrayManager&) = delete;

    // The icon window asked to dock, embedded at the tray's left end; 0 while none asked.
    ::Window TakeDockRequest() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == ClientMessage &&
                event.xclient.message_type == XInternAtom(display_, "_NET_SYSTEM_TRAY_OPCODE", False) &&
                event.xclient.data.l[1] == 0) {
                const auto icon = static_cast<::Window>(event.xclient.data.l[2]);
                XReparentWindow(display_, icon, window_, 0, 0);
                XMapWindow(display_, icon);
                XSync(display_, False);
                return icon;
            }
        }
        return 0;
    }

private:
    Display* display_;
    ::Window window_;
};

enum class PanelKind { Tint2, Trayer };

inline const char* PanelName(PanelKind kind) { return kind == PanelKind::Tint2 ? "tint2" : "trayer"; }

// A desktop panel with a system tray at the bottom right of the screen, run
// with a home of its own in a temporary folder (tint2 reads its
// configuration there; neither touches the person's). tint2 takes the tray
// only under a window manager.
class TrayPanel {
public:
    // Starts the panel on `display` and waits (up to 60 s) until it owns the
    // tray's selection; Running() tells whether it did.
    TrayPanel(const std::string& display, PanelKind kind)
        : home_(MakeHome()), process_(display, Command(kind, home_), Environment(home_)),
          connection_(XOpenDisplay(display.c_str())) {
        if (connection_ == nullptr) return;
        selection_ = XInternAtom(connection_, "_NET_SYSTEM_TRAY_S0", False);
        running_ = WaitFor([&] { return XGetSelectionOwner(connection_, selection_) != 0; });
    }
    ~TrayPanel() {
        Stop();
        if (connection_ != nullptr) XCloseDisplay(connection_);
        std::error_code ignored;
        if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
    }
    TrayPanel(const TrayPanel&) = delete;
    TrayPanel& operator=(const TrayPanel&) = delete;

    bool Running() const { return running_; }
    // Ends the panel and waits (up to 60 s) until the tray's selection is free.
    bool Stop() {
        process_.Stop();
        if (connection_ == nullptr || !running_) return true;
        running_ = false;
        return WaitFor([&] { return XGetSelectionOwner(connection_, selection_) == 0; });
    }

private:
    template <class Done>
    static bool WaitFor(Done done) {
        for (int tries = 0; tries < 6000; ++tries) {
            if (done()) return true;
            const timespec pause{0, 10'000'000};
            ::nanosleep(&pause, nullptr);
        }
        return done();
    }
    static std::string MakeHome() {
        std::string folder = (std::filesystem::temp_directory_path() / "zem-panel-XXXXXX").string();
        if (::mkdtemp(folder.data()) == nullptr) return {};
        // A panel of one system tray, 30 pixels high, at the bottom right.
        std::ofstream(folder + "/tint2rc") << "panel_items = S\n"
                                              "panel_position = bottom right horizontal\n"
                                              "panel_size = 200 30\n"
                                              "panel_dock = 0\n"
                                              "wm_menu = 0\n"
                                              "systray_padding = 2 2 4\n"
                                              "systray_icon_size = 0\n";
        return folder;
    }
    static std::vector<std::string> Command(PanelKind kind, const std::string& home) {
        if (kind == PanelKind::Tint2) return {"tint2", "-c", home + "/tint2rc"};
        return {"trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "200",
                "--height", "30", "--SetPartialStrut", "false"};
    }
    static std::vector<std::string> Environment(const std::string& home) {
        return {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config", "XDG_CACHE_HOME=" + home + "/cache",
                "XDG_DATA_HOME=" + home + "/data", "XDG_RUNTIME_DIR=" + home};
    }

    std::string home_;
    TestChildProcess process_;
    Display* connection_;
    Atom selection_ = 0;
    bool running_ = false;
};

}  // namespace zem::testing
