// The transfer library's handles, with the options every request shares.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>

namespace zem::platform {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlMultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;

struct CurlHeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHeaderList = std::unique_ptr<curl_slist, CurlHeaderListDeleter>;

// A handle for `url`: http and https only (redirects too, at most 10 followed),
// no signals, loopback never through a proxy, and a bounded connect time.
// Empty when the library cannot give one.
CurlEasy NewCurlRequest(const std::string& url, long connectTimeoutMilliseconds);

// The HTTP status of the finished request (0 when none arrived).
long CurlResponseCode(CURL* handle);

}  // namespace zem::platform
