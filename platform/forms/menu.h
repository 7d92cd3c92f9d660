// Menus: a top menu of items with captions, separators ("-"), check marks and
// one handler per item, popped up as a modal step.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zem::forms {

class MenuItem {
public:
    MenuItem(std::string name, std::string caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsSeparator() const { return caption_ == "-"; }

    // The item's Click handler, run when the item is chosen.
    std::function<void()> OnClick;

    // Sub-items; a top menu is an item with sub-items.
    MenuItem& Add(std::string name, std::string caption);
    const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
    MenuItem* Find(const std::string& nameOrCaption);
    MenuItem& operator[](const std::string& name);

private:
    std::string name_;
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

using Menu = MenuItem;

// Pops the menu up and waits until it closes (the modal step), then runs the
// chosen item's Click handler through the event boundary. Returns the chosen
// item, or nullptr when the menu closed without a choice. Separators, and
// disabled or hidden items, cannot be chosen. In a test the installed
// ScopedModalScript chooses; in a run without a presenter the menu closes
// without a choice.
MenuItem* TrackPopupMenu(MenuItem& menu);

}  // namespace zem::forms
