#include "platform/drawing/ansi_text.h"

namespace zem::platform::drawing_text {

char32_t DecodeNext(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    char32_t value = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && at + static_cast<std::size_t>(length) <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[at + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) valid = false;
        value = (value << 6) | (next & 0x3F);
    }
    if (valid && (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))) valid = false;
    if (!valid) {
        ++at;
        return U'\uFFFD';
    }
    at += static_cast<std::size_t>(length);
    return value;
}

bool ForwardCharacters::Next(MarkedCharacter& next) {
    if (at_ >= text_.size()) return false;
    next = {DecodeNext(text_, at_), false};
    if (!prefixes_ || next.character != U'&') return true;
    if (at_ >= text_.size()) return false;
    next.character = DecodeNext(text_, at_);
    next.underlined = next.character != U'&';
    return true;
}

// A byte that is no continuation byte always starts a character (a sequence's
// tail is continuation bytes only), so reading forward from the last such byte
// of the final four ends exactly at end_. Without one, the last byte is a
// stray continuation byte: a character of its own.
std::size_t BackwardCharacters::LastStart() const {
    const std::size_t floor = end_ - begin_ > 4 ? end_ - 4 : begin_;
    std::size_t start = end_ - 1;
    for (std::size_t at = end_; at > floor; --at)
        if ((static_cast<unsigned char>(text_[at - 1]) & 0xC0) != 0x80) {
            start = at - 1;
            break;
        }
    std::size_t last = start;
    for (std::size_t at = start; at < end_;) {
        last = at;
        DecodeNext(text_, at);
    }
    return last;
}

bool BackwardCharacters::Previous(MarkedCharacter& previous) {
    while (true) {
        if (ampersands_ > 0) {
            --ampersands_;
            previous = {U'&', false};
            return true;
        }
        if (end_ <= begin_) return false;
        std::size_t at = LastStart();
        const std::size_t start = at;
        previous = {DecodeNext(text_, at), false};
        end_ = start;
        if (!prefixes_) return true;
        // The run of '&' before a character pairs up from its front: each pair is
        // one '&', an odd one left over marks the character. A run at the very
        // end has nothing to mark: its odd one is dropped.
        const bool trailing = previous.character == U'&';
        if (trailing) ++end_;
        std::size_t run = end_;
        while (run > begin_ && text_[run - 1] == '&') --run;
        const std::size_t count = end_ - run;
        end_ = run;
        ampersands_ = count / 2;
        if (trailing) continue;
        previous.underlined = count % 2 == 1;
        return true;
    }
}

}  // namespace zem::platform::drawing_text
