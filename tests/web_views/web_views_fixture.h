// The main window headless, on the start's fixture (a test desktop on the
// manual clock, a fresh program folder, a recording launcher, scripted
// answers, a sample server for the fixed host), with a test engine behind its
// web views and the published base address of the test's choosing.
#pragma once

#include <string>
#include <vector>

#include "player/form1.h"
#include "tests/startup/start_fixture.h"
#include "tests/web_views/fake_engine.h"

namespace zem::web_views_testing {

inline constexpr const char* kBase = "http://127.0.0.1:9/Base";

class WebViewsFixture : public startup_testing::StartFixture {
protected:
    WebViewsFixture() { ServeContent(); }

    // Form1 loaded as the start-up window shows it, with "/zem.ini" naming
    // `base` and the countdown off.
    Form1& ShowMainWindow(const std::string& base = kBase) {
        WriteBytes(folder.Path() / "zem.ini",
                   platform::Utf8ToGbk("[CONFIG]\r\nurl=" + base + "\r\nname=zemplayer\r\n[huangchong]\r\n"
                                       "huangchong=0\r\n[da]\r\nda=3\r\n"));
        Form1& form = forms::FormInstance<Form1>::Get();
        form.Show();
        launcher.started.clear();
        return form;
    }
    static FakeView& View(forms::WebBrowser& browser) { return FakeEngine::Of(browser); }

    // The command lines started since the window showed.
    std::vector<std::string> Started() const {
        std::vector<std::string> lines;
        for (const auto& [line, show] : launcher.started) lines.push_back(line);
        return lines;
    }
    // The four taskkill lines of the external P2P players.
    static std::vector<std::string> HelpersEnded() {
        std::vector<std::string> lines;
        for (std::string_view name : 配置信息::PlayerHelperImageNames)
            lines.push_back("cmd.exe /c taskkill /im " + std::string(name) + " /f");
        return lines;
    }

    FakeEngine engine;
};

}  // namespace zem::web_views_testing
