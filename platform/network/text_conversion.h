// Text conversions the network layer needs at its boundaries.
#pragma once

#include <string>
#include <string_view>

namespace zem::platform {

// A body read in the ANSI code page (GBK) as UTF-8. Bytes that are not GBK
// become U+FFFD, so a damaged body still yields valid text.
std::string NetworkTextFromAnsi(std::string_view gbk);

// UTF-8 as UTF-16 (for status texts); malformed bytes become U+FFFD.
std::u16string NetworkUtf16FromUtf8(std::string_view utf8);

}  // namespace zem::platform
