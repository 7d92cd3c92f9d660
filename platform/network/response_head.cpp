#include "platform/network/response_head.h"

#include <cctype>
#include <optional>

namespace zem::platform {

namespace {

std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

bool EqualIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (std::tolower(static_cast<unsigned char>(text[index])) != lower[index]) return false;
    }
    return true;
}

// The value of a header line named `lowerName`, or nothing for another line.
std::optional<std::string_view> HeaderValue(std::string_view line, std::string_view lowerName) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !EqualIgnoringCase(line.substr(0, colon), lowerName))
        return std::nullopt;
    return line.substr(colon + 1);
}

// Calls `each` with every trimmed member of a comma-separated list.
template <typename Each>
void ForEachListMember(std::string_view list, Each each) {
    for (;;) {
        const std::size_t comma = list.find(',');
        each(TrimmedBlanks(list.substr(0, comma)));
        if (comma == std::string_view::npos) return;
        list.remove_prefix(comma + 1);
    }
}

// A decimal number of at most 18 digits (so it fits), or nothing.
std::optional<std::int64_t> DecimalNumber(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    return value;
}

}  // namespace

void ResponseHead::Read(std::string_view line) {
    if (line.substr(0, 5) == "HTTP/") {
        ReadStatusLine(line);
    } else if (const auto lengths = HeaderValue(line, "content-length")) {
        ReadLengths(*lengths);
    } else if (const auto codings = HeaderValue(line, "transfer-encoding")) {
        ReadTransferCodings(*codings);
    }
}

bool ResponseHead::Delimited() const {
    return announced_ >= 0 || chunked_ || versionMajor_ >= 2 || status_ == 204 || status_ == 304;
}

// "HTTP/1.1 200 OK", "HTTP/2 200".
void ResponseHead::ReadStatusLine(std::string_view line) {
    *this = ResponseHead();
    line.remove_prefix(5);
    versionMajor_ = !line.empty() && line.front() >= '0' && line.front() <= '9' ? line.front() - '0' : 0;
    const std::size_t blank = line.find(' ');
    if (blank != std::string_view::npos) {
        status_ = static_cast<int>(DecimalNumber(line.substr(blank + 1, 3)).value_or(0));
    }
}

// A header may repeat the length as a list ("10, 10"), and a head may hold
// several; all must be the same number.
void ResponseHead::ReadLengths(std::string_view values) {
    ForEachListMember(values, [this](std::string_view value) {
        const std::optional<std::int64_t> length = DecimalNumber(value);
        if (!length || (announced_ >= 0 && announced_ != *length)) {
            contradictory_ = true;
            return;
        }
        announced_ = *length;
    });
}

// The last coding decides: only a chunked one ends the body by itself.
void ResponseHead::ReadTransferCodings(std::string_view values) {
    ForEachListMember(values, [this](std::string_view coding) {
        if (!coding.empty()) chunked_ = EqualIgnoringCase(coding, "chunked");
    });
}

}  // namespace zem::platform
