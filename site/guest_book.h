// The sample server's guest book: the messages people leave on its guest-book
// page, kept in memory while the server runs and shown newest first.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

namespace zem::site {

// Stands in the guest-book page where the messages go.
inline constexpr const char* kMessagesMark = "<!--MESSAGES-->";

class GuestBook {
public:
    static constexpr std::size_t kMessageLimit = 200;
    static constexpr std::size_t kNameBytes = 60;
    static constexpr std::size_t kTextBytes = 2000;

    // Keeps a message (name and text cut to their limits at a character's
    // start; a blank name signs as a guest). False for a blank text.
    bool Add(std::string_view name, std::string_view text);
    // The messages as HTML list items, newest first, every character of the
    // people's text escaped; a line saying there are none when empty.
    std::string Render() const;

private:
    struct Message {
        std::string name;
        std::string text;
    };
    mutable std::mutex mutex_;
    std::deque<Message> messages_;
};

// `text` with &, <, >, " and ' as character references.
std::string EscapeHtml(std::string_view text);

}  // namespace zem::site
