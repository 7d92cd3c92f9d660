#include "site/guest_book.h"

namespace zem::site {
namespace {

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// At most `limit` bytes, never ending inside a UTF-8 sequence.
std::string_view CutToCharacters(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char character : text) {
        switch (character) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += character;
        }
    }
    return escaped;
}

bool GuestBook::Add(std::string_view name, std::string_view text) {
    if (IsBlank(text)) return false;
    Message message{IsBlank(name) ? std::string("游客") : std::string(CutToCharacters(name, kNameBytes)),
                    std::string(CutToCharacters(text, kTextBytes))};
    const std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_front(std::move(message));
    if (messages_.size() > kMessageLimit) messages_.pop_back();
    return true;
}

std::string GuestBook::Render() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (messages_.empty()) return "<li class=\"none\">还没有留言。</li>";
    std::string html;
    for (const Message& message : messages_)
        html += "<li><b>" + EscapeHtml(message.name) + "</b>：" + EscapeHtml(message.text) + "</li>\n";
    return html;
}

}  // namespace zem::site
