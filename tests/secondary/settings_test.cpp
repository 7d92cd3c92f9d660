// The settings window and its tip strip, and the about window: what they read
// from and write to Config.ini, their buttons and links under real input, and
// the tip strip's 3000 ms on the manual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/drawing/bitmap.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/shell/shell_execute.h"
#include "platform/window/user32.h"
#include "platform/base/text.h"
#include "shell/config_info.h"
#include "site/sample_server.h"
#include "tests/secondary/secondary_fixture.h"
#include "windows/frm_app_tip.h"
#include "windows/shezhigy.h"
#include "windows/shezhitip.h"
#include "windows/version_check.h"

namespace zem::secondary_testing {
namespace {

using forms::FormInstance;

// Valve and state text of the five switches, top to bottom.
struct Shown {
    std::vector<bool> valves;
    std::vector<std::string> texts;
};
Shown ShownBy(const shezhitip& window) {
    Shown shown;
    for (const shezhitip::Setting& setting : window.Settings()) {
        shown.valves.push_back(setting.control->Valve());
        shown.texts.push_back(setting.state->Caption());
    }
    return shown;
}

const std::vector<std::string> kOnTexts{"最小化到托盘", "已添加开机启动", "任务栏显示", "显示视频库窗口", "为我自动升级新版本"};
const std::vector<std::string> kOffTexts{"退出程序", "设置开机启动", "在托盘显示", "显示播放器窗口", "不自动升级信版本"};

class SettingsTest : public SecondaryFixture {
protected:
    shezhitip& OpenSettings() {
        shezhitip& window = FormInstance<shezhitip>::Get();
        window.Show();
        forms::DoEvents();
        return window;
    }
    // A click in the middle of the switch of this row.
    void ClickSwitch(const shezhitip& window, std::size_t row) {
        const RECT& place = window.Settings()[row].control->PixelBounds();
        ClickAt(window, place.left + 16, place.top + 9);
    }
};

TEST_F(SettingsTest, LoadShowsEachStoredSwitchAndAnythingButATruthValueAsOff) {
    struct Case {
        std::string file;  // Config.ini, or empty for none
        std::vector<bool> valves;
    };
    const Case cases[] = {
        {"[form]\r\nform=True\r\nrun=True\r\nrenwulan=True\r\nshipinku=True\r\nupdate=True\r\n",
         {true, true, true, true, true}},
        {"[form]\r\nform=False\r\nrun=False\r\nrenwulan=False\r\nshipinku=False\r\nupdate=False\r\n",
         {false, false, false, false, false}},
        {"[form]\r\nform=true\r\nrun=yes\r\nrenwulan=\r\nshipinku=1\r\n", {true, false, false, true, false}},
        {"[Version]\r\nVersion=1.3\r\n", {false, false, false, false, false}},
        {"", {false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(ConfigFile());
        if (!c.file.empty()) WriteConfigFile(c.file);
        const std::string before = c.file.empty() ? "" : ConfigBytes();
        const Shown shown = ShownBy(OpenSettings());
        EXPECT_EQ(shown.valves, c.valves) << c.file;
        for (std::size_t row = 0; row < 5; ++row)
            EXPECT_EQ(shown.texts[row], c.valves[row] ? kOnTexts[row] : kOffTexts[row]) << c.file << " row " << row;
        // Loading writes nothing.
        EXPECT_EQ(std::filesystem::exists(ConfigFile()), !c.file.empty());
        if (!c.file.empty()) {
            EXPECT_EQ(ConfigBytes(), before);
        }
        FormInstance<shezhitip>::Unload();
        forms::FreeUnloadedForms();
    }
}

// The settings file the program folder ships: each switch stored as the
// window shows it to a new user (no Config.ini), the version the sample
// server publishes as the program reads it, GBK text with CR LF line ends.
TEST_F(SettingsTest, TheShippedSettingsFileHoldsWhatANewUserSeesAndThePublishedVersion) {
    std::filesystem::remove(ConfigFile());
    const Shown newUser = ShownBy(OpenSettings());
    FormInstance<shezhitip>::Unload();
    forms::FreeUnloadedForms();

    std::filesystem::copy_file(ZEM_SHIPPED_SETTINGS_FILE, ConfigFile());
    const Shown shipped = ShownBy(OpenSettings());
    EXPECT_EQ(shipped.valves, newUser.valves);
    EXPECT_EQ(shipped.texts, newUser.texts);
    for (const shezhitip::Setting& setting : FormInstance<shezhitip>::Get().Settings())
        EXPECT_EQ(配置信息::ReadConfig("form", setting.key, ""), setting.control->Valve() ? "True" : "False")
            << setting.key;

    std::ifstream published(site::DefaultContentFolder() + "/vant/app/wen.txt", std::ios::binary);
    const std::string versionText{std::istreambuf_iterator<char>(published), std::istreambuf_iterator<char>()};
    const std::optional<std::string> version = 版本检查::ServerVersion(platform::GbkToUtf8(versionText));
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), *version);

    const std::string bytes = ConfigBytes();
    EXPECT_EQ(platform::Utf8ToGbk(platform::GbkToUtf8(bytes)), bytes);
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] == '\r') {
            EXPECT_EQ(bytes[at + 1], '\n') << at;
        }
        if (bytes[at] == '\n') {
            EXPECT_EQ(bytes[at - 1], '\r') << at;
        }
    }
}

TEST_F(SettingsTest, EachClickStoresItsKeyAtOnceAndAReopenedWindowShowsIt) {
    WriteConfigFile("[Version]\r\nVersion=1.3\r\n[form]\r\nform=True\r\nrun=True\r\nrenwulan=True\r\nshipinku=True\r\nupdate=True\r\n");
    const char* keys[] = {"form", "run", "renwulan", "shipinku", "update"};
    for (std::size_t row = 0; row < 5; ++row) {
        shezhitip& window = OpenSettings();
        ClickSwitch(window, row);
        EXPECT_EQ(配置信息::ReadConfig("form", keys[row], ""), "False") << keys[row];
        EXPECT_EQ(window.Settings()[row].state->Caption(), kOffTexts[row]);
        for (std::size_t other = 0; other < 5; ++other)
            if (other > row) {
                EXPECT_EQ(配置信息::ReadConfig("form", keys[other], ""), "True") << keys[other];
            }
        FormInstance<shezhitip>::Unload();
        forms::FreeUnloadedForms();
        EXPECT_FALSE(OpenSettings().Settings()[row].control->Valve()) << keys[row];
        FormInstance<shezhitip>::Unload();
        forms::FreeUnloadedForms();
    }
    // A second click writes again: the earlier value is back.
    shezhitip& window = OpenSettings();
    ClickSwitch(window, 4);
    EXPECT_EQ(配置信息::ReadConfig("form", "update", ""), "True");
    ClickSwitch(window, 4);
    EXPECT_EQ(配置信息::ReadConfig("form", "update", ""), "False");
    EXPECT_EQ(window.Settings()[4].state->Caption(), "不自动升级信版本");
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.3");
}

TEST_F(SettingsTest, AClickOnANewFileWritesTheExactTexts) {
    shezhitip& window = OpenSettings();  // every switch off
    ClickSwitch(window, 0);
    ClickSwitch(window, 2);
    EXPECT_EQ(ConfigBytes(), "[form]\r\nform=True\r\nrenwulan=True\r\n");
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenStaysWholeAndTheWindowGoesOn) {
    const std::string text = "[form]\r\nform=True\r\nrun=False\r\n";
    for (const bool readOnly : {true, false}) {
        std::filesystem::remove_all(ConfigFile());
        if (readOnly) {
            WriteConfigFile(text);
            std::filesystem::permissions(ConfigFile(), std::filesystem::perms(0444));
        } else {
            std::filesystem::create_directory(ConfigFile());  // a folder where the file belongs
        }
        shezhitip& window = OpenSettings();
        EXPECT_EQ(window.Settings()[0].control->Valve(), readOnly);
        ClickSwitch(window, 0);
        ClickSwitch(window, 1);
        EXPECT_EQ(window.Settings()[1].state->Caption(), "已添加开机启动");  // the failure goes unnoticed
        if (readOnly) {
            EXPECT_EQ(ConfigBytes(), platform::Utf8ToGbk(text));
        } else {
            EXPECT_TRUE(std::filesystem::is_directory(ConfigFile()));
        }
        FormInstance<shezhitip>::Unload();
        forms::FreeUnloadedForms();
    }
    EXPECT_EQ(std::vector<std::filesystem::path>(std::filesystem::directory_iterator(folder.Path() / "zemskin"),
                                                 std::filesystem::directory_iterator()),
              std::vector<std::filesystem::path>{ConfigFile()});  // no temporary file left behind
}

TEST_F(SettingsTest, SaveShowsTheTipForThreeSecondsAndClosesWithoutWriting) {
    WriteConfigFile("[form]\r\nform=True\r\n");
    const std::string before = ConfigBytes();
    shezhitip& window = OpenSettings();
    ClickAt(window, 330, 250);  // the save button's disc
    EXPECT_FALSE(FormInstance<shezhitip>::Loaded());
    EXPECT_EQ(ConfigBytes(), before);

    ASSERT_TRUE(FormInstance<FrmAppTip>::Loaded());
    FrmAppTip& tip = FormInstance<FrmAppTip>::Get();
    EXPECT_TRUE(tip.Visible());
    EXPECT_EQ(tip.Label1.Caption(), "设置成功 下次启动生效");
    const RECT place = platform::WindowScreenRect(tip.hWnd());
    const platform::DesktopSettings screen = platform::CurrentDesktop();
    EXPECT_EQ((std::vector<LONG>{place.left, place.top, place.right - place.left, place.bottom - place.top}),
              (std::vector<LONG>{(screen.width - 356) / 2, (screen.height - 33) / 2, 356, 33}));
    EXPECT_TRUE(GetWindowLongA(tip.hWnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(tip.Owner(), nullptr);
    // White text on the grey strip.
    forms::DoEvents();
    const platform::Bitmap strip = platform::ComposeWindow(tip.hWnd());
    EXPECT_EQ(platform::ColorFromPixel(strip.At(3, 3)), 0x808080u);
    bool white = false;
    for (int y = 5; y < 30; ++y)
        for (int x = 8; x < 348; ++x) white = white || platform::ColorFromPixel(strip.At(x, y)) == 0xFFFFFFu;
    EXPECT_TRUE(white);

    desktop.clock().Advance(2999);
    EXPECT_TRUE(tip.Visible());
    desktop.clock().Advance(1);
    EXPECT_FALSE(tip.Visible());
    EXPECT_FALSE(tip.Timer1.Enabled());
    EXPECT_TRUE(FormInstance<FrmAppTip>::Loaded());  // it stays loaded, hidden

    // A second save shows the same strip again for its 3000 ms.
    ClickAt(OpenSettings(), 330, 250);
    EXPECT_TRUE(tip.Visible());
    desktop.clock().Advance(2999);
    EXPECT_TRUE(tip.Visible());
    desktop.clock().Advance(1);
    EXPECT_FALSE(tip.Visible());
}

TEST_F(SettingsTest, CloseKeepsEveryStoredChangeAndShowsNoTip) {
    shezhitip& window = OpenSettings();
    ClickSwitch(window, 3);
    ClickAt(window, 363, 21);  // the close cross
    EXPECT_FALSE(FormInstance<shezhitip>::Loaded());
    EXPECT_FALSE(FormInstance<FrmAppTip>::Loaded());
    EXPECT_EQ(配置信息::ReadConfig("form", "shipinku", ""), "True");
}

// Whether the window shows the picture where the image lies (rows above the
// frame's bottom line only).
bool Shows(const forms::Form& form, const forms::Image& image, const forms::Image& look) {
    forms::DoEvents();
    const platform::Bitmap window = platform::ComposeWindow(form.hWnd());
    const platform::Bitmap& picture = look.Picture()->Pixels();
    const RECT& place = image.PixelBounds();
    for (int y = 0; y < picture.Height() && place.top + y < window.Height() - 1; ++y)
        for (int x = 0; x < picture.Width() && place.left + x < window.Width() - 1; ++x)
            if (window.At(place.left + x, place.top + y) != picture.At(x, y)) return false;
    return true;
}

TEST_F(SettingsTest, ButtonsShowTheirPointerPictureUntilThePointerCrossesTheBackground) {
    struct Window {
        forms::Form& form;
        forms::Image& save;
        forms::Image& saveRest;
        forms::Image& saveHover;
        forms::Image& close;
        forms::Image& closeRest;
        forms::Image& closeHover;
    };
    shezhitip& settings = OpenSettings();
    shezhigy& about = FormInstance<shezhigy>::Get();
    about.Show();
    about.Move(0, 0);
    settings.Move(6000, 0);
    for (const Window& w : {Window{settings, settings.Image2, settings.Image3, settings.Image4, settings.Image5,
                                   settings.Image6, settings.Image7},
                            Window{about, about.Image2, about.Image3, about.Image4, about.Image5, about.Image6,
                                   about.Image7}}) {
        const std::string name = w.form.Caption();
        EXPECT_TRUE(Shows(w.form, w.save, w.saveRest)) << name;
        EXPECT_FALSE(Shows(w.form, w.save, w.saveHover)) << name;
        EXPECT_TRUE(Shows(w.form, w.close, w.closeRest)) << name;
        MoveTo(w.form, 330, 250);
        EXPECT_TRUE(Shows(w.form, w.save, w.saveHover)) << name;
        MoveTo(w.form, 363, 21);
        EXPECT_TRUE(Shows(w.form, w.close, w.closeHover)) << name;
        EXPECT_TRUE(Shows(w.form, w.save, w.saveHover)) << name;  // still: only the background resets
        MoveTo(w.form, 40, 240);
        EXPECT_TRUE(Shows(w.form, w.save, w.saveRest)) << name;
        EXPECT_TRUE(Shows(w.form, w.close, w.closeRest)) << name;
    }
}

TEST_F(SettingsTest, TheDesignedLookHasTheSwitchesTextsAndFrame) {
    shezhitip& window = OpenSettings();
    const RECT place = platform::WindowScreenRect(window.hWnd());
    EXPECT_EQ(place.right - place.left, 391);
    EXPECT_EQ(place.bottom - place.top, 271);
    EXPECT_TRUE(GetWindowLongA(window.hWnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const std::vector<LONG> switchTops{64, 96, 128, 160, 192};
    const std::vector<LONG> stateTops{68, 99, 131, 163, 194};
    for (std::size_t row = 0; row < 5; ++row) {
        const shezhitip::Setting& setting = window.Settings()[row];
        EXPECT_EQ(setting.control->PixelBounds().left, 88);
        EXPECT_EQ(setting.control->PixelBounds().top, switchTops[row]);
        EXPECT_EQ(setting.state->PixelBounds().top, stateTops[row]);
        EXPECT_FALSE(setting.state->Enabled());
    }
    EXPECT_EQ(window.Label1.Caption(), "软件设置");
    // The frame: one pixel of the scroll-bar colour on each edge.
    const platform::Bitmap image = platform::ComposeWindow(window.hWnd());
    const COLORREF frame = GetSysColor(COLOR_SCROLLBAR);
    for (const auto& [x, y] : {std::pair{0, 100}, std::pair{200, 0}, std::pair{390, 100}, std::pair{100, 270}})
        EXPECT_EQ(platform::ColorFromPixel(image.At(x, y)), frame) << x << "," << y;
}

TEST_F(SettingsTest, APressOfAnyButtonOnTheBackgroundOrTitleDragsTheWindow) {
    struct Surface {
        bool about;
        POINT point;
        platform::MouseButton button;
    };
    const Surface surfaces[] = {
        {false, {40, 240}, platform::MouseButton::Left}, {false, {30, 18}, platform::MouseButton::Right},
        {true, {40, 240}, platform::MouseButton::Middle}, {true, {30, 18}, platform::MouseButton::Left},
    };
    for (const Surface& surface : surfaces) {
        forms::Form& window = surface.about ? static_cast<forms::Form&>(FormInstance<shezhigy>::Get())
                                            : static_cast<forms::Form&>(OpenSettings());
        window.Show();
        const RECT before = platform::WindowScreenRect(window.hWnd());
        const POINT start = OnScreen(window, surface.point.x, surface.point.y);
        const POINT end{start.x - 25, start.y + 15};
        desktop.clock().Advance(2000);
        platform::QueueInput({platform::InputEvent::Kind::Press, start, surface.button});
        platform::QueueInput({platform::InputEvent::Kind::Move, end, surface.button});
        platform::QueueInput({platform::InputEvent::Kind::Release, end, surface.button});
        forms::DoEvents();
        const RECT after = platform::WindowScreenRect(window.hWnd());
        EXPECT_EQ(after.left - before.left, -25) << surface.about << " " << surface.point.x;
        EXPECT_EQ(after.top - before.top, 15) << surface.about << " " << surface.point.x;
        EXPECT_EQ(window.MousePointer(), forms::vbCustom);
        window.Unload();
        forms::FreeUnloadedForms();
    }
}

class AboutTest : public SecondaryFixture {
protected:
    shezhigy& OpenAbout() {
        shezhigy& window = FormInstance<shezhigy>::Get();
        window.Show();
        forms::DoEvents();
        return window;
    }
};

// Records every address handed to the desktop; can be told to refuse.
class RecordingUrlOpener : public platform::UrlOpener {
public:
    bool OpenUri(const std::string& uri) override {
        opened.push_back(uri);
        return !refuse;
    }
    std::vector<std::string> opened;
    bool refuse = false;
};

TEST_F(AboutTest, ALinkOpensExactlyItsCaptionAndTheWindowStays) {
    RecordingUrlOpener opener;
    platform::ScopedUrlOpener scope(opener);
    shezhigy& window = OpenAbout();
    ClickAt(window, 180, 176);
    ClickAt(window, 180, 176);
    ClickAt(window, 180, 200);
    EXPECT_EQ(opener.opened, (std::vector<std::string>{window.Label18.Caption(), window.Label18.Caption(),
                                                       window.Label4.Caption()}));
    EXPECT_EQ(window.Label18.Caption(), shezhigy::MainSiteAddress());
    EXPECT_EQ(window.Label4.Caption(), shezhigy::DownloadSiteAddress());
    EXPECT_TRUE(FormInstance<shezhigy>::Loaded());
    EXPECT_TRUE(launcher.started.empty());

    // An address the desktop cannot open leaves no trace either.
    opener.refuse = true;
    ClickAt(window, 180, 176);
    EXPECT_EQ(opener.opened.size(), 4u);
    EXPECT_TRUE(FormInstance<shezhigy>::Loaded());
    EXPECT_FALSE(forms::Ended());
}

TEST_F(AboutTest, TheMainSiteLinkTurnsRedUnderThePointerAndBlueOnTheBackground) {
    shezhigy& window = OpenAbout();
    EXPECT_EQ(window.Label18.ForeColor(), 0xFF0000u);
    MoveTo(window, 180, 176);
    EXPECT_EQ(window.Label18.ForeColor(), 0x0000FFu);
    MoveTo(window, 180, 200);  // the download link changes nothing
    EXPECT_EQ(window.Label18.ForeColor(), 0x0000FFu);
    EXPECT_EQ(window.Label4.ForeColor(), 0xFF0000u);
    MoveTo(window, 60, 120);
    EXPECT_EQ(window.Label18.ForeColor(), 0xFF0000u);
}

TEST_F(AboutTest, OkAndCloseBothUnloadAndStoreNothing) {
    for (const POINT button : {POINT{330, 250}, POINT{363, 21}}) {
        shezhigy& window = OpenAbout();
        MoveTo(window, 180, 176);
        ClickAt(window, button.x, button.y);
        EXPECT_FALSE(FormInstance<shezhigy>::Loaded());
        EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
        // Shown again, it is made anew from its design.
        EXPECT_EQ(OpenAbout().Label18.ForeColor(), 0xFF0000u);
        FormInstance<shezhigy>::Unload();
        forms::FreeUnloadedForms();
    }
}

}  // namespace
}  // namespace zem::secondary_testing
