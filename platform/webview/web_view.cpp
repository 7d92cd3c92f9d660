#include "platform/webview/web_view.h"

#include <unistd.h>

#include <algorithm>

#include "platform/webview/engine_loop.h"
#include "platform/webview/webkit_view.h"

namespace zem::platform::webview {
namespace {

ViewFactory& InstalledFactory() {
    static ViewFactory factory;
    return factory;
}

WebProcessMemory& InstalledMemory() {
    static WebProcessMemory memory = DefaultWebProcessMemory();
    return memory;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

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

std::string AddressScheme(std::string_view url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(url[0])) return {};
    std::string scheme;
    for (const char c : url.substr(0, colon)) {
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return {};
        scheme += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return scheme;
}

bool IsWebAddress(std::string_view url) {
    const std::string scheme = AddressScheme(url);
    return scheme == "http" || scheme == "https";
}

WebProcessMemory DefaultWebProcessMemory() {
    constexpr unsigned kLimitMiB = 1536;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const unsigned long long machineMiB =
        pages > 0 && pageSize > 0
            ? (static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize)) >> 20
            : 0;
    const unsigned limit =
        machineMiB > 0 ? static_cast<unsigned>(std::min<unsigned long long>(kLimitMiB, machineMiB / 4)) : kLimitMiB;
    return {limit, 3.0};
}

WebProcessMemory CurrentWebProcessMemory() { return InstalledMemory(); }

ScopedWebProcessMemory::ScopedWebProcessMemory(WebProcessMemory memory) : previous_(InstalledMemory()) {
    InstalledMemory() = memory;
}

ScopedWebProcessMemory::~ScopedWebProcessMemory() { InstalledMemory() = previous_; }

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
