#include "platform/network/inet.h"

#include "platform/base/text.h"
#include "platform/network/curl_session.h"
#include "platform/network/download_limits.h"
#include "platform/network/transfer_loop.h"

namespace zem::platform {

namespace {

constexpr long kConnectTimeoutMilliseconds = 30000;
constexpr std::chrono::milliseconds kWakeInterval(100);

struct Body {
    std::string bytes;
    bool tooLarge = false;
};

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* target) {
    auto* body = static_cast<Body*>(target);
    const std::size_t length = size * count;
    if (body->bytes.size() + length > Inet::kMaximumBodyBytes) {
        body->tooLarge = true;
        return 0;
    }
    body->bytes.append(data, length);
    return length;
}

}  // namespace

std::optional<std::string> Inet::OpenURL(const std::string& url) const {
    CurlEasy request = NewCurlRequest(url, kConnectTimeoutMilliseconds);
    if (!request) return std::nullopt;
    Body body;
    CURL* easy = request.get();
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, RequestTimeout > 0 ? RequestTimeout : 60L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    // The caller (a window, at the start or from a menu) cannot cancel the
    // fetch, so a server that stalls is given up as a download nobody watches is.
    const WaitBounds bounds = UncancellableWaitBounds(CurrentDownloadLimits());
    if (RunTransfer(easy, bounds, kWakeInterval) != CURLE_OK) return std::nullopt;
    const long status = CurlResponseCode(easy);
    if (status != 0 && (status < 200 || status > 299)) return std::nullopt;
    return GbkToUtf8(body.bytes);
}

}  // namespace zem::platform
