#include "platform/base/text.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <stdexcept>

namespace zem::platform {
namespace {

// One iconv conversion descriptor, opened once per thread and reset before each use.
class IconvDescriptor {
public:
    IconvDescriptor(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~IconvDescriptor() { iconv_close(handle_); }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    void Reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

    // Converts as much of [input, input + left) as it can, appending to `output`.
    // Returns 0 on success, else the errno that stopped it (EILSEQ or EINVAL);
    // `input` and `left` then point at the offending bytes.
    int Convert(const char*& input, std::size_t& left, std::string& output) {
        char buffer[4096];
        while (left > 0) {
            char* in = const_cast<char*>(input);
            char* out = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(handle_, &in, &left, &out, &room);
            const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            input = in;
            if (error != 0 && error != E2BIG) return error;
        }
        return 0;
    }

private:
    iconv_t handle_;
};

IconvDescriptor& Utf8ToGbkDescriptor() {
    thread_local IconvDescriptor descriptor("GBK", "UTF-8");
    descriptor.Reset();
    return descriptor;
}

IconvDescriptor& Gb18030ToUtf8Descriptor() {
    thread_local IconvDescriptor descriptor("UTF-8", "GB18030");
    descriptor.Reset();
    return descriptor;
}

// Length of the well-formed UTF-8 sequence at the start of `text` and its code
// point, or length 0 when the bytes there are malformed.
struct DecodedCharacter {
    std::size_t length = 0;
    char32_t code = 0;
};

DecodedCharacter DecodeUtf8(std::string_view text) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    if (text.empty()) return {};
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {1, lead};
    std::size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length) return {};
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0) != 0x80) return {};
        code = (code << 6) | (byte(index) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {length, code};
}

void AppendUtf8(std::string& output, char32_t code) {
    if (code < 0x80) {
        output += static_cast<char>(code);
    } else if (code < 0x800) {
        output += static_cast<char>(0xC0 | (code >> 6));
        output += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        output += static_cast<char>(0xE0 | (code >> 12));
        output += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        output += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        output += static_cast<char>(0xF0 | (code >> 18));
        output += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        output += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        output += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The UTF-8 locale whose character tables give the case mapping.
class CaseMappingLocale {
public:
    CaseMappingLocale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {}
    ~CaseMappingLocale() {
        if (locale_ != nullptr) freelocale(locale_);
    }
    CaseMappingLocale(const CaseMappingLocale&) = delete;
    CaseMappingLocale& operator=(const CaseMappingLocale&) = delete;

    char32_t Lower(char32_t code) const {
        if (code < 0x80) return (code >= 'A' && code <= 'Z') ? code + ('a' - 'A') : code;
        if (locale_ == nullptr) return code;
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(code), locale_));
    }

private:
    locale_t locale_;
};

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    std::string output;
    output.reserve(utf8.size());
    IconvDescriptor& descriptor = Utf8ToGbkDescriptor();
    const char* input = utf8.data();
    std::size_t left = utf8.size();
    while (descriptor.Convert(input, left, output) != 0) {
        // A character GBK lacks, or malformed bytes: one "?" and go on after it.
        const DecodedCharacter character = DecodeUtf8(std::string_view(input, left));
        const std::size_t skipped = character.length == 0 ? 1 : character.length;
        output += '?';
        input += skipped;
        left -= skipped;
        descriptor.Reset();
    }
    return output;
}

std::size_t AppendGbkAsUtf8(std::string_view piece, std::string& utf8) {
    IconvDescriptor& descriptor = Gb18030ToUtf8Descriptor();
    const char* input = piece.data();
    std::size_t left = piece.size();
    for (;;) {
        const int error = descriptor.Convert(input, left, utf8);
        if (error == 0 || error == EINVAL) break;  // EINVAL: a cut character at the end
        // 0x80 is no GB18030 character, but the code page's encoder gives it
        // for the euro sign, so what the programs write reads back.
        utf8 += static_cast<unsigned char>(*input) == 0x80 ? "\xE2\x82\xAC" : "\xEF\xBF\xBD";
        ++input;
        --left;
        descriptor.Reset();
    }
    return piece.size() - left;
}

std::string GbkToUtf8(std::string_view gbk) {
    std::string output;
    output.reserve(gbk.size() + gbk.size() / 2);
    AppendGbkAsUtf8(gbk, output);
    return output;
}

std::size_t GbkStartBefore(std::string_view gbk, std::size_t at, std::size_t reach) {
    at = std::min(at, gbk.size());
    const std::size_t floor = at > reach ? at - reach : 0;
    for (std::size_t position = at; position > floor && position > 0; --position) {
        const auto byte = static_cast<unsigned char>(gbk[position - 1]);
        if (byte < 0x30 || (byte > 0x39 && byte <= 0x80) || byte == 0xFF) return position;
    }
    return floor == 0 ? 0 : std::string_view::npos;
}

std::size_t CountCharacters(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t position = 0; position < utf8.size(); ++count) {
        const std::size_t length = DecodeUtf8(utf8.substr(position)).length;
        position += length == 0 ? 1 : length;
    }
    return count;
}

std::string_view SubstringCharacters(std::string_view utf8, std::size_t first, std::size_t count) {
    const auto advance = [&](std::size_t position, std::size_t characters) {
        while (characters > 0 && position < utf8.size()) {
            const std::size_t length = DecodeUtf8(utf8.substr(position)).length;
            position += length == 0 ? 1 : length;
            --characters;
        }
        return position;
    };
    const std::size_t begin = advance(0, first);
    const std::size_t end = advance(begin, count);
    return utf8.substr(begin, end - begin);
}

std::string ToLower(std::string_view utf8) {
    static const CaseMappingLocale caseMapping;
    std::string output;
    output.reserve(utf8.size());
    for (std::size_t position = 0; position < utf8.size();) {
        const DecodedCharacter character = DecodeUtf8(utf8.substr(position));
        if (character.length == 0) {  // malformed byte: kept as it is
            output += utf8[position++];
            continue;
        }
        AppendUtf8(output, caseMapping.Lower(character.code));
        position += character.length;
    }
    return output;
}

std::size_t FindText(std::string_view text, std::string_view sought, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    return text.find(sought, from);
}

std::string ReplaceAll(std::string_view text, std::string_view sought,
                       std::string_view replacement) {
    if (sought.empty()) return std::string(text);
    std::string output;
    output.reserve(text.size());
    std::size_t position = 0;
    for (std::size_t hit; (hit = text.find(sought, position)) != std::string_view::npos;) {
        output.append(text.substr(position, hit - position));
        output.append(replacement);
        position = hit + sought.size();
    }
    output.append(text.substr(position));
    return output;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> fields;
    if (text.empty()) return fields;
    if (separator.empty()) {
        fields.emplace_back(text);
        return fields;
    }
    std::size_t position = 0;
    for (std::size_t hit; (hit = text.find(separator, position)) != std::string_view::npos;) {
        fields.emplace_back(text.substr(position, hit - position));
        position = hit + separator.size();
    }
    fields.emplace_back(text.substr(position));
    return fields;
}

int CompareOrdinal(std::string_view left, std::string_view right) {
    // Byte order of UTF-8 is code-point order.
    const int result = left.compare(right);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

std::string_view TrimBlanks(std::string_view text) {
    // Plain comparisons: the profile reader trims every line of a file.
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::optional<bool> TextToBoolean(std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    const std::string lowered = ToLower(trimmed);
    if (lowered == "true") return true;
    if (lowered == "false") return false;
    std::string_view number = trimmed;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        number.remove_prefix(1);
    }
    // Only plain decimal numbers: from_chars would also take "inf" and "nan".
    if (number.empty() || !(number.front() == '.' || (number.front() >= '0' && number.front() <= '9'))) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
    return value != 0;
}

}  // namespace zem::platform
