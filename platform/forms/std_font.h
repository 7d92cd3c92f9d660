// The font object: a shared, mutable font description that tells its
// listeners when one of its properties changes.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

namespace zem::forms {

class StdFont;
// Font objects are shared by reference, as the runtime's objects are:
// `label.SetFont(font)` makes the label use that very object.
using FontRef = std::shared_ptr<StdFont>;

class StdFont {
public:
    StdFont() = default;
    StdFont(std::string name, double size, int charset = 0);
    static FontRef Create(std::string name = "宋体", double size = 9, int charset = 134);
    // A new object with the same description and no listeners.
    FontRef Clone() const;

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    // Size in points; kept as the platform keeps it, in 1/10000 of a point.
    double Size() const { return static_cast<double>(size_) / 10000.0; }
    void SetSize(double points);
    bool Bold() const { return weight_ >= 550; }
    void SetBold(bool bold);
    bool Italic() const { return italic_; }
    void SetItalic(bool italic);
    bool Underline() const { return underline_; }
    void SetUnderline(bool underline);
    bool Strikethrough() const { return strikethrough_; }
    void SetStrikethrough(bool strikethrough);
    int Weight() const { return weight_; }
    void SetWeight(int weight);
    int Charset() const { return charset_; }
    void SetCharset(int charset);

    bool SameAs(const StdFont& other) const;

    // The change notification: the listener gets the changed property's name
    // ("Name", "Size", "Bold", ...). It stays connected while the returned
    // connection object lives.
    using Listener = std::function<void(const std::string& propertyName)>;
    class Connection {
    public:
        Connection() = default;
        Connection(Connection&& other) noexcept;
        Connection& operator=(Connection&& other) noexcept;
        ~Connection();
        void Disconnect();

    private:
        friend class StdFont;
        std::weak_ptr<std::list<Listener>> listeners_;
        std::list<Listener>::iterator position_;
    };
    Connection OnFontChanged(Listener listener);

private:
    void Changed(const char* propertyName);

    std::string name_ = "宋体";
    std::int64_t size_ = 90000;
    int weight_ = 400;
    int charset_ = 134;
    bool italic_ = false;
    bool underline_ = false;
    bool strikethrough_ = false;
    std::shared_ptr<std::list<Listener>> listeners_ = std::make_shared<std::list<Listener>>();
};

}  // namespace zem::forms
