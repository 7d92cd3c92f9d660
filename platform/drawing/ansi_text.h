// UTF-8 decoding into code points for text layout: whole, or one character
// at a time in either direction, with DrawText's prefix marks applied, so that
// a layout reads only as much of a text as it places.
#pragma once

#include <cstddef>
#include <string_view>

namespace zem::platform::drawing_text {

// The character at `at` (`at` moves past it). A malformed sequence becomes
// U+FFFD, one per byte.
char32_t DecodeNext(std::string_view utf8, std::size_t& at);

// One character of a text with its prefix mark: "&x" underlines x, "&&" is one '&'.
struct MarkedCharacter {
    char32_t character = 0;
    bool underlined = false;
};

// Reads a text forward from a character boundary.
class ForwardCharacters {
public:
    ForwardCharacters(std::string_view utf8, std::size_t at, bool prefixes)
        : text_(utf8), at_(at), prefixes_(prefixes) {}
    // The next character, or false at the end (a lone '&' at the end is no character).
    bool Next(MarkedCharacter& next);
    // The byte position of the next character: a boundary to start reading from again.
    std::size_t Position() const { return at_; }

private:
    std::string_view text_;
    std::size_t at_;
    bool prefixes_;
};

// Reads the characters of [begin, end) from the last to the first, the same
// characters ForwardCharacters gives from `begin` (both ends boundaries).
class BackwardCharacters {
public:
    BackwardCharacters(std::string_view utf8, std::size_t begin, std::size_t end, bool prefixes)
        : text_(utf8), begin_(begin), end_(end), prefixes_(prefixes) {}
    bool Previous(MarkedCharacter& previous);

private:
    // The start of the character that ends at end_, read as from the front.
    std::size_t LastStart() const;

    std::string_view text_;
    std::size_t begin_;
    std::size_t end_;
    bool prefixes_;
    std::size_t ampersands_ = 0;  // '&' characters of a "&&" run still to give
};

}  // namespace zem::platform::drawing_text
