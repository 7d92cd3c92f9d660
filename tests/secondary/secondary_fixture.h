// The player's secondary windows, headless: the start's fixture (a test
// desktop on the manual clock, a fresh program folder, a recording launcher,
// scripted answers, a sample server on demand) with real input at a window's
// own coordinates.
#pragma once

#include <filesystem>
#include <string>

#include "platform/forms/form.h"
#include "platform/system/files.h"
#include "platform/window/window_system.h"
#include "tests/startup/start_fixture.h"

namespace zem::secondary_testing {

class SecondaryFixture : public startup_testing::StartFixture {
protected:
    // A point of a window's client area on the screen.
    static POINT OnScreen(const forms::Form& form, int x, int y) {
        const RECT place = platform::WindowScreenRect(form.hWnd());
        return POINT{place.left + x, place.top + y};
    }
    // A left click at a window's point, far enough from the last one not to
    // be a double click; forms unloaded by it are freed afterwards.
    void ClickAt(const forms::Form& form, int x, int y, platform::MouseButton button = platform::MouseButton::Left) {
        desktop.clock().Advance(2000);
        const POINT point = OnScreen(form, x, y);
        platform::Click(button, point.x, point.y);
        forms::FreeUnloadedForms();
    }
    void MoveTo(const forms::Form& form, int x, int y) {
        const POINT point = OnScreen(form, x, y);
        platform::MovePointer(point.x, point.y);
    }

    std::filesystem::path ConfigFile() const { return folder.Path() / "zemskin" / "Config.ini"; }
    void WriteConfigFile(const std::string& utf8) const { WriteBytes(ConfigFile(), platform::Utf8ToGbk(utf8)); }
    std::string ConfigBytes() const { return folder.Read("zemskin/Config.ini"); }
};

}  // namespace zem::secondary_testing
