// A text drawn in pieces: the bytes a caller holds and how a piece of them
// becomes the UTF-8 that is laid out, so a long text converts only what shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zem::platform::drawing_text {

class TextSegments {
public:
    explicit TextSegments(std::string_view bytes) : bytes_(bytes) {}
    virtual ~TextSegments() = default;
    TextSegments(const TextSegments&) = delete;
    TextSegments& operator=(const TextSegments&) = delete;

    std::string_view Bytes() const { return bytes_; }
    // Appends the UTF-8 of the characters of [from, to) that the piece holds
    // whole (`from` a character start); returns the bytes they take. Pieces
    // taken in turn from 0, the last to the end, convert as the whole text does.
    virtual std::size_t AppendFront(std::size_t from, std::size_t to, std::string& utf8) const = 0;
    // The UTF-8 of [from, end) (`from` a character start), as the whole text's end converts.
    virtual void AppendEnd(std::size_t from, std::string& utf8) const = 0;
    // A byte position in [at - reach, at] where the whole text surely starts a
    // character, the nearest to `at`; npos when there is none in reach.
    virtual std::size_t StartBefore(std::size_t at, std::size_t reach) const = 0;

private:
    std::string_view bytes_;
};

// GBK text, as the "A" calls take it.
class GbkSegments final : public TextSegments {
public:
    using TextSegments::TextSegments;
    std::size_t AppendFront(std::size_t from, std::size_t to, std::string& utf8) const override;
    void AppendEnd(std::size_t from, std::string& utf8) const override;
    std::size_t StartBefore(std::size_t at, std::size_t reach) const override;
};

// UTF-8 text shown as the "A" calls show it once converted to GBK: what GBK
// cannot hold, and each malformed byte, is "?".
class Utf8AsGbkSegments final : public TextSegments {
public:
    using TextSegments::TextSegments;
    std::size_t AppendFront(std::size_t from, std::size_t to, std::string& utf8) const override;
    void AppendEnd(std::size_t from, std::string& utf8) const override;
    std::size_t StartBefore(std::size_t at, std::size_t reach) const override;

private:
    bool SureStart(std::size_t at) const;
    bool Continuation(std::size_t at) const { return (static_cast<unsigned char>(Bytes()[at]) & 0xC0) == 0x80; }
};

}  // namespace zem::platform::drawing_text
