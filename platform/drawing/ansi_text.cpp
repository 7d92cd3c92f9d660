#include "platform/drawing/ansi_text.h"

namespace zem::platform::drawing_text {

std::u32string DecodeUtf8(std::string_view utf8) {
    std::u32string result;
    result.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t value = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) valid = false;
            value = (value << 6) | (next & 0x3F);
        }
        if (valid && (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))) valid = false;
        if (!valid) {
            result.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        result.push_back(value);
        i += static_cast<std::size_t>(length);
    }
    return result;
}

}  // namespace zem::platform::drawing_text
