#include "platform/webview/web_view.h"

#include "platform/webview/engine_loop.h"
#include "platform/webview/webkit_view.h"

namespace zem::platform::webview {
namespace {

ViewFactory& InstalledFactory() {
    static ViewFactory factory;
    return factory;
}

class HeadlessFrame final : public Frame {
public:
    std::shared_ptr<Document> CurrentDocument() override { return nullptr; }
};

class HeadlessView final : public View {
public:
    explicit HeadlessView(ViewClient& client) : client_(client) {}

    void Navigate(const std::string& url) override {
        bool cancel = false;
        client_.BeforeNavigate(frame_, url, "", cancel);
        if (!cancel) location_ = url;
    }
    void Refresh() override {}
    void Stop() override {}
    void GoBack() override {}
    void GoForward() override {}
    std::string LocationURL() const override { return location_; }
    bool Busy() const override { return false; }
    void SetSilent(bool) override {}
    Frame& TopFrame() override { return frame_; }
    void WindowChanged() override {}

private:
    ViewClient& client_;
    HeadlessFrame frame_;
    std::string location_;
};

}  // namespace

std::unique_ptr<View> CreateHeadlessView(HWND, ViewClient& client) {
    return std::make_unique<HeadlessView>(client);
}

std::unique_ptr<View> CreateView(HWND window, ViewClient& client, View* related) {
    if (InstalledFactory()) return InstalledFactory()(window, client, related);
    if (EngineAvailable()) return CreateWebKitView(window, client, related);
    return CreateHeadlessView(window, client);
}

ScopedViewFactory::ScopedViewFactory(ViewFactory factory) : previous_(std::move(InstalledFactory())) {
    InstalledFactory() = std::move(factory);
}

ScopedViewFactory::~ScopedViewFactory() { InstalledFactory() = std::move(previous_); }

}  // namespace zem::platform::webview
