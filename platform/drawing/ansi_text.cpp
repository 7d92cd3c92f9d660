#include "platform/drawing/ansi_text.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace zem::platform::drawing_text {

namespace {

std::string Convert(std::string_view input, const char* to, const char* from, std::string_view replacement) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    std::unique_ptr<void, int (*)(iconv_t)> guard(converter, iconv_close);
    std::string output;
    char buffer[1024];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL: give up on one byte (GBK) or one UTF-8
            // sequence's lead byte and go on.
            output.append(replacement);
            ++in;
            --inLeft;
            if (std::string_view(from) == "UTF-8")
                while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) ++in, --inLeft;
        }
    }
    return output;
}

}  // namespace

std::string Utf8FromGbk(std::string_view gbk) { return Convert(gbk, "UTF-8", "GBK", "\xEF\xBF\xBD"); }

std::string GbkFromUtf8(std::string_view utf8) { return Convert(utf8, "GBK", "UTF-8", "?"); }

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
