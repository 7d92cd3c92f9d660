#include "platform/network/text_conversion.h"

namespace zem::platform {

std::u16string NetworkUtf16FromUtf8(std::string_view utf8) {
    std::u16string result;
    result.reserve(utf8.size());
    size_t index = 0;
    while (index < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[index]);
        char32_t code = 0xFFFD;
        size_t length = 1;
        size_t extra = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        }
        if (extra > 0) {
            bool valid = true;
            for (size_t k = 1; valid && k <= extra; ++k) {
                if (index + k >= utf8.size()) {
                    valid = false;
                    break;
                }
                const auto next = static_cast<unsigned char>(utf8[index + k]);
                if ((next & 0xC0) != 0x80)
                    valid = false;
                else
                    code = (code << 6) | (next & 0x3F);
            }
            if (valid && code >= minimum && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                length = extra + 1;
            } else {
                code = 0xFFFD;
            }
        } else if (lead >= 0x80) {
            code = 0xFFFD;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
        index += length;
    }
    return result;
}

std::string NetworkUtf8FromUtf16(std::u16string_view utf16) {
    std::string result;
    result.reserve(utf16.size());
    for (size_t index = 0; index < utf16.size(); ++index) {
        char32_t code = utf16[index];
        if (code >= 0xD800 && code <= 0xDBFF && index + 1 < utf16.size() && utf16[index + 1] >= 0xDC00 &&
            utf16[index + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[index + 1] - 0xDC00);
            ++index;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            result.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (code >> 6)));
            result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (code >> 12)));
            result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (code >> 18)));
            result.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return result;
}

}  // namespace zem::platform
