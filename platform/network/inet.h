// The Internet Transfer Control: fetches a whole page as text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zem::platform {

class Inet {
public:
    // Seconds a fetch may take in all before it fails.
    long RequestTimeout = 60;

    // The whole body of `url` (http or https), read in the ANSI code page
    // (GBK) and returned as UTF-8. Nothing when the address cannot be
    // reached, the server answers an HTTP error, the body arrives short or
    // exceeds kMaximumBodyBytes, the time-out passes, or the server keeps
    // the caller waiting past the DownloadLimits of a call nobody can cancel
    // (the first byte late, or a stall).
    std::optional<std::string> OpenURL(const std::string& url) const;

    // A page is small text; a larger body is refused rather than held.
    static constexpr std::size_t kMaximumBodyBytes = 16 * 1024 * 1024;
};

}  // namespace zem::platform
