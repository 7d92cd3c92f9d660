// A test engine for the web-browser control: every view it makes records what
// the program asks of it (navigations, reloads, history steps, the silent
// switch) in one shared log, and lets the test raise the view's download
// start. A step named in `failing` throws, as an engine's call that fails.
#pragma once

#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/forms/runtime_error.h"
#include "platform/webview/web_view.h"

namespace zem::secondary_testing {

class RecordingView final : public platform::webview::View, public platform::webview::Frame {
public:
    struct Log {
        std::vector<std::string> steps;   // "Navigate <url>", "Refresh", "GoBack", "GoForward", "Silent 1"
        std::vector<RecordingView*> views;  // the live views, in creation order
        std::set<std::string> failing;
    };

    RecordingView(HWND window, platform::webview::ViewClient& client, Log& log)
        : window_(window), client_(client), log_(log) {
        log_.views.push_back(this);
    }
    ~RecordingView() override { std::erase(log_.views, this); }

    void Navigate(const std::string& url) override {
        Step("Navigate " + url);
        bool cancel = false;
        client_.BeforeNavigate(*this, url, "", cancel);
        if (!cancel) location_ = url;
    }
    void Refresh() override { Step("Refresh"); }
    void Stop() override { Step("Stop"); }
    void GoBack() override { Step("GoBack"); }
    void GoForward() override { Step("GoForward"); }
    std::string LocationURL() const override { return location_; }
    bool Busy() const override { return false; }
    void SetSilent(bool silent) override {
        silent_ = silent;
        log_.steps.push_back(std::string("Silent ") + (silent ? "1" : "0"));
    }
    Frame& TopFrame() override { return *this; }
    void WindowChanged() override {}
    std::shared_ptr<platform::webview::Document> CurrentDocument() override { return nullptr; }

    // What the engine tells its client when a page starts to download.
    void BeginDownload() { client_.DownloadBegin(); }
    bool Silent() const { return silent_; }
    HWND Window() const { return window_; }
    // What this view alone was asked.
    std::vector<std::string> steps;

    // A factory for ScopedViewFactory that makes recording views on `log`.
    static platform::webview::ViewFactory Factory(Log& log) {
        return [&log](HWND window, platform::webview::ViewClient& client, platform::webview::View*) {
            return std::make_unique<RecordingView>(window, client, log);
        };
    }

private:
    void Step(const std::string& step) {
        log_.steps.push_back(step);
        steps.push_back(step);
        if (log_.failing.count(step.substr(0, step.find(' '))) != 0) throw forms::RuntimeError(forms::errInvalidCall, step + " failed");
    }

    HWND window_;
    platform::webview::ViewClient& client_;
    Log& log_;
    std::string location_;
    bool silent_ = false;
};

}  // namespace zem::secondary_testing
