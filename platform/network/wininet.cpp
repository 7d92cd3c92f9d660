#include "platform/network/wininet.h"

#include "platform/network/curl_session.h"

BOOL InternetCheckConnectionA(const char* lpszUrl, DWORD /*dwFlags*/, DWORD /*dwReserved*/) {
    using namespace zem::platform;
    if (!lpszUrl || !*lpszUrl) return FALSE;
    CurlEasy request = NewCurlRequest(lpszUrl, kConnectionCheckTimeoutMilliseconds);
    if (!request) return FALSE;
    CURL* easy = request.get();
    curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, kConnectionCheckTimeoutMilliseconds);
    return curl_easy_perform(easy) == CURLE_OK ? TRUE : FALSE;
}
