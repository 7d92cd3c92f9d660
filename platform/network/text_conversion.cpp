#include "platform/network/text_conversion.h"

#include <iconv.h>

#include <cerrno>

namespace zem::platform {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One iconv descriptor for the length of one conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(descriptor_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return descriptor_; }

private:
    iconv_t descriptor_;
};

}  // namespace

// Kept behind this one function so that the platform's own GBK conversion can
// replace it without touching any caller.
std::string NetworkTextFromAnsi(std::string_view gbk) {
    Converter converter("UTF-8", "GBK");
    if (!converter.Valid()) return std::string(gbk);
    std::string result;
    result.reserve(gbk.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(gbk.data());
    size_t inLeft = gbk.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<size_t>(out - buffer));
        if (done != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or cut-off sequence: replace one byte and go on.
        result.append(kReplacement);
        ++in;
        --inLeft;
        iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return result;
}

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

}  // namespace zem::platform
