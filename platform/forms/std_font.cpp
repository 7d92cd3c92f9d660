#include "platform/forms/std_font.h"

#include <cmath>

namespace zem::forms {

StdFont::StdFont(std::string name, double size, int charset) : name_(std::move(name)), charset_(charset) {
    size_ = std::llround(size * 10000.0);
}

FontRef StdFont::Create(std::string name, double size, int charset) {
    return std::make_shared<StdFont>(std::move(name), size, charset);
}

FontRef StdFont::Clone() const {
    auto copy = std::make_shared<StdFont>();
    copy->name_ = name_;
    copy->size_ = size_;
    copy->weight_ = weight_;
    copy->charset_ = charset_;
    copy->italic_ = italic_;
    copy->underline_ = underline_;
    copy->strikethrough_ = strikethrough_;
    return copy;
}

void StdFont::SetName(std::string name) {
    if (name == name_) return;
    name_ = std::move(name);
    Changed("Name");
}

void StdFont::SetSize(double points) {
    std::int64_t size = std::llround(points * 10000.0);
    if (size == size_) return;
    size_ = size;
    Changed("Size");
}

void StdFont::SetBold(bool bold) { SetWeight(bold ? 700 : 400); }

void StdFont::SetWeight(int weight) {
    if (weight == weight_) return;
    const bool wasBold = Bold();
    weight_ = weight;
    Changed("Weight");
    if (wasBold != Bold()) Changed("Bold");
}

void StdFont::SetItalic(bool italic) {
    if (italic == italic_) return;
    italic_ = italic;
    Changed("Italic");
}

void StdFont::SetUnderline(bool underline) {
    if (underline == underline_) return;
    underline_ = underline;
    Changed("Underline");
}

void StdFont::SetStrikethrough(bool strikethrough) {
    if (strikethrough == strikethrough_) return;
    strikethrough_ = strikethrough;
    Changed("Strikethrough");
}

void StdFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed("Charset");
}

bool StdFont::SameAs(const StdFont& other) const {
    return name_ == other.name_ && size_ == other.size_ && weight_ == other.weight_ &&
           charset_ == other.charset_ && italic_ == other.italic_ && underline_ == other.underline_ &&
           strikethrough_ == other.strikethrough_;
}

StdFont::Connection StdFont::OnFontChanged(Listener listener) {
    Connection connection;
    listeners_->push_back(std::move(listener));
    connection.listeners_ = listeners_;
    connection.position_ = std::prev(listeners_->end());
    return connection;
}

void StdFont::Changed(const char* propertyName) {
    // A listener may disconnect itself (or others) while it runs: walk a copy
    // of the current listeners, holding the list alive.
    auto keep = listeners_;
    std::list<Listener> snapshot = *keep;
    for (auto& listener : snapshot) listener(propertyName);
}

StdFont::Connection::Connection(Connection&& other) noexcept
    : listeners_(std::move(other.listeners_)), position_(other.position_) {
    other.listeners_.reset();
}

StdFont::Connection& StdFont::Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        Disconnect();
        listeners_ = std::move(other.listeners_);
        position_ = other.position_;
        other.listeners_.reset();
    }
    return *this;
}

StdFont::Connection::~Connection() { Disconnect(); }

void StdFont::Connection::Disconnect() {
    if (auto list = listeners_.lock()) list->erase(position_);
    listeners_.reset();
}

}  // namespace zem::forms
