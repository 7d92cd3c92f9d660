#include "platform/network/curl_session.h"

#include <cstdlib>

namespace zem::platform {

namespace {

// The library's process-wide set-up, done once before the first handle.
class CurlLibrary {
public:
    CurlLibrary() : ready_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}
    ~CurlLibrary() {
        if (ready_) curl_global_cleanup();
    }
    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;
    bool Ready() const { return ready_; }

private:
    bool ready_;
};

bool EnsureCurlLibrary() {
    static CurlLibrary library;
    return library.Ready();
}

// Loopback addresses are always reached directly; the user's own exceptions
// (no_proxy) still apply to everything else.
std::string NoProxyList() {
    std::string list = "localhost,127.0.0.1,::1";
    const char* own = std::getenv("no_proxy");
    if (!own || !*own) own = std::getenv("NO_PROXY");
    if (own && *own) {
        list += ',';
        list += own;
    }
    return list;
}

}  // namespace

CurlEasy NewCurlRequest(const std::string& url, long connectTimeoutMilliseconds) {
    if (!EnsureCurlLibrary()) return nullptr;
    CurlEasy handle(curl_easy_init());
    if (!handle) return nullptr;
    CURL* easy = handle.get();
    const std::string noProxy = NoProxyList();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMilliseconds);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "zemplayer");
    return handle;
}

long CurlResponseCode(CURL* handle) {
    long code = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &code);
    return code;
}

}  // namespace zem::platform
