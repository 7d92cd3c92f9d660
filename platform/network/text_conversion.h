// UTF-16 status texts of the download callback.
#pragma once

#include <string>
#include <string_view>

namespace zem::platform {

// UTF-8 as UTF-16 (for status texts); malformed bytes become U+FFFD.
std::u16string NetworkUtf16FromUtf8(std::string_view utf8);

}  // namespace zem::platform
