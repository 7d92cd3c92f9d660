// UTF-16 status texts of the download callback.
#pragma once

#include <string>
#include <string_view>

namespace zem::platform {

// UTF-8 as UTF-16 (for status texts); malformed bytes become U+FFFD.
std::u16string NetworkUtf16FromUtf8(std::string_view utf8);
// UTF-16 as UTF-8 (status texts as a callback reads them); an unpaired
// surrogate becomes U+FFFD.
std::string NetworkUtf8FromUtf16(std::u16string_view utf16);

}  // namespace zem::platform
