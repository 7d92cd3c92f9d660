// The real `update` program under a virtual X server of the test's own,
// started as the player starts it (the player's command line through the
// process launcher, from a folder whose name holds a blank and CJK
// characters), with the content server's fixed host pointed at the test's
// server; and what the test reads back of its window from the X server.
#pragma once

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/system/files.h"
#include "platform/system/process.h"
#include "shell/config_info.h"
#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xtest_input.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "windows/version_check.h"

namespace zem::updater_display_testing {

// The first X event the root's substructure reports that `wanted` accepts,
// waiting for it at most a test's wait for an event.
template <class Wanted>
std::optional<XEvent> WaitForEvent(Display* display, Wanted wanted) {
    const auto deadline = std::chrono::steady_clock::now() + zem::testing::kEventWait;
    XSync(display, False);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (wanted(event)) return event;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, zem::testing::MillisecondsUntil(deadline));
    }
}

// The real updater on an Xvfb of its own, from a program folder whose
// Config.ini holds 1.3, the content server's fixed host pointed at `host`.
struct UpdaterOnDisplay {
    explicit UpdaterOnDisplay(const std::string& address)
        : programFolder(folder.Path().string()),
          observer(XOpenDisplay(xvfb.Name().c_str())),
          input(xvfb.Name()),
          display("DISPLAY", xvfb.Name()),
          host("ZEM_HOST", address),
          headless("ZEM_HEADLESS", std::nullopt) {
        std::filesystem::copy_file(ZEM_UPDATE_PROGRAM, folder.Path() / "update");
        std::filesystem::create_directories(folder.Path() / "zemskin");
        配置信息::WriteConfig("Version", "Version", "1.3");
        if (observer == nullptr) return;
        XSelectInput(observer, DefaultRootWindow(observer), SubstructureNotifyMask);
        XSync(observer, False);
    }
    ~UpdaterOnDisplay() {
        // An updater that a case left running (a cancelled upgrade waits out
        // its balloon) is ended here.
        if (updater > 0 && !zem::testing::WaitForExit(updater, 0)) {
            kill(updater, SIGKILL);
            zem::testing::WaitForExit(updater, zem::testing::kEventWaitMilliseconds);
        }
        if (observer != nullptr) XCloseDisplay(observer);
    }
    UpdaterOnDisplay(const UpdaterOnDisplay&) = delete;
    UpdaterOnDisplay& operator=(const UpdaterOnDisplay&) = delete;

    // Starts the updater with the offered version 1.4 and the mode word (as a
    // child of the test's own, whose wait status the test reads, when
    // `ownChild`).
    bool Launch(std::string_view mode, bool ownChild = false) {
        if (observer == nullptr || !input.Connected() || !版本检查::UpdaterPresent()) return false;
        const std::string argument = "1.4###" + std::string(mode) + "###";
        updater = ownChild ? zem::testing::SpawnProgram({(folder.Path() / "update").string(), argument})
                           : static_cast<pid_t>(zem::platform::StartCommandLine(
                                 版本检查::UpdateCommandLine("1.4", mode), SW_SHOWNORMAL));
        return updater > 0;
    }
    // Starts it; true once its window is mapped (without a window manager).
    bool Start(std::string_view mode = 版本检查::UpgradeMode, bool ownChild = false) {
        if (!Launch(mode, ownChild)) return false;
        window = zem::testing::WaitForMappedWindow(observer, 550, 401, zem::testing::kEventWaitMilliseconds);
        if (!window) return false;
        place = zem::testing::RootRect(observer, *window);
        return true;
    }
    // A click at a point of the window, in its own coordinates.
    void ClickAt(int x, int y) { input.Click(static_cast<int>(place.left) + x, static_cast<int>(place.top) + y); }
    // Waits until the window is unmapped.
    bool WaitForUnmap() {
        return WaitForEvent(observer, [&](XEvent& event) {
                   return event.type == UnmapNotify && event.xunmap.window == *window;
               }).has_value();
    }

    zem::testing::TempFolder folder{"程序 目录"};
    zem::platform::ScopedProgramFolder programFolder;
    zem::testing::XvfbServer xvfb;
    Display* observer;
    zem::testing::XTestInput input;
    zem::testing::ScopedEnvironment display;
    zem::testing::ScopedEnvironment host;
    zem::testing::ScopedEnvironment headless;
    pid_t updater = -1;
    std::optional<Window> window;
    RECT place{};
};

}  // namespace zem::updater_display_testing
