// GBK <-> UTF-8 for the drawing calls' "A" boundary, and UTF-8 decoding
// into code points for text layout.
#pragma once

#include <string>
#include <string_view>

namespace zem::platform::drawing_text {

// Bytes that are not GBK become U+FFFD, one per byte.
std::string Utf8FromGbk(std::string_view gbk);
// Characters GBK lacks become '?'.
std::string GbkFromUtf8(std::string_view utf8);
// Malformed sequences become U+FFFD, one per byte.
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace zem::platform::drawing_text
