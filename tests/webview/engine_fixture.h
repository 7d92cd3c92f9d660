// For tests of the web-browser control on the real engine: an X server of
// the test program's own on which the program's windows are real X windows
// and input comes through XTest, the sample content server on 127.0.0.1
// serving the test pages, a form with two web-browser controls, and a pump
// that runs the window system and the engine until a condition holds.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/web_browser.h"
#include "platform/webview/engine_loop.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "site/sample_server.h"
#include "tests/system/scoped_environment.h"
#include "tests/support/program_display.h"
#include "tests/support/pump_until.h"
#include "tests/support/xvfb_server.h"

namespace zem::forms {

// Messages and the engine run through the program's event loop until a
// condition holds, or for a while (for what must not happen).
using testing::PumpFor;
using testing::PumpUntil;

class BrowserForm : public Form {
public:
    static FormDesign Design() {
        FormDesign design;
        design.clientWidth = 640;
        design.clientHeight = 260;  // a strip of the form's own below the views
        return design;
    }
    BrowserForm() : Form(Design()) {
        SetScaleMode(vbPixels);
        View.Move(0, 0, 320, 240);
        Other.Move(320, 0, 320, 240);
    }
    void Form_Click() override { ++clicks; }
    int clicks = 0;
    WebBrowser View{*this, "View"};
    WebBrowser Other{*this, "Other"};
};

class EngineTest : public ::testing::Test {
protected:
    // One server per test program, for the toolkit's whole life; the screen
    // of the program's default desktop.
    static testing::XvfbServer& Xvfb() {
        static testing::XvfbServer server("1366x768x24");
        return server;
    }
    static void SetUpTestSuite() {
        Xvfb().Export();
        static testing::ScopedEnvironment visible("ZEM_HEADLESS", std::nullopt);
    }

    void SetUp() override {
        ASSERT_TRUE(platform::webview::EngineAvailable()) << "no X server for the engine";
        ASSERT_TRUE(display_.Started()) << "the program's windows are not on the X server";
        ASSERT_NE(Server(), nullptr);
        form_ = &FormInstance<BrowserForm>::Get();
        form_->Show();
    }
    ~EngineTest() override { DiscardAllForms(); }

    // One content server for the test program, left to end with it: stopping
    // it would wait out the engine's kept-alive connections.
    static site::SampleServer* Server() {
        static site::SampleServer* server = [] {
            site::ServerOptions options;
            options.contentFolder = ZEM_WEBVIEW_PAGES;
            options.testRoutes = true;
            auto* started = new site::SampleServer(options);
            return started->Start() ? started : nullptr;
        }();
        return server;
    }
    static std::string Page(const std::string& name) { return Server()->Address() + "/" + name; }
    BrowserForm& form() { return *form_; }

    // Navigates and waits for the top document of that address to complete;
    // a late completion of the page before (an error page) does not count.
    bool Load(WebBrowser& browser, const std::string& url) {
        bool complete = false;
        auto previous = browser.OnDocumentComplete;
        browser.OnDocumentComplete = [&](WebBrowserObject& pDisp, const std::string& completed) {
            if (pDisp.Browser() == &browser && completed == url) complete = true;
        };
        browser.Navigate(url);
        const bool loaded = PumpUntil([&] { return complete; });
        browser.OnDocumentComplete = previous;
        return loaded;
    }

    // The colour on screen at a point of the control (0x00RRGGBB), once its
    // pixels have been painted into its window surface.
    static platform::Pixel PixelAt(WebBrowser& browser, int x, int y) {
        platform::Bitmap* surface = platform::WindowSurface(browser.hWnd());
        return surface != nullptr && surface->Contains(x, y) ? surface->At(x, y) : 0xFFFFFFFFu;
    }
    static bool WaitForPixel(WebBrowser& browser, int x, int y, platform::Pixel colour) {
        return PumpUntil([&] { return PixelAt(browser, x, y) == colour; });
    }

    // A person's click (XTest) at a point of the control, once the form shows
    // there at the server; the program has read it on return.
    void ClickAt(WebBrowser& browser, int x, int y, platform::MouseButton button = platform::MouseButton::Left) {
        const unsigned xButton = button == platform::MouseButton::Left    ? 1
                                 : button == platform::MouseButton::Right ? 3
                                                                          : 2;
        ASSERT_TRUE(display_.Click(browser.hWnd(), x, y, xButton)) << "the click did not arrive";
    }
    testing::ProgramDisplay& display() { return display_; }

    platform::TestDesktop desktop_;
    testing::ProgramDisplay display_{Xvfb().Name()};
    BrowserForm* form_ = nullptr;
};

}  // namespace zem::forms
