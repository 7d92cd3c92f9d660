// UTF-8 decoding into code points for text layout.
#pragma once

#include <string>
#include <string_view>

namespace zem::platform::drawing_text {

// Malformed sequences become U+FFFD, one per byte.
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace zem::platform::drawing_text
