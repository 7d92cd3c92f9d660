#include "platform/forms/menu.h"

#include "platform/forms/msgbox.h"
#include "platform/forms/presenter.h"
#include "platform/forms/runtime_error.h"

namespace zem::forms {
namespace {
ModalPresenter* presenter = nullptr;
}

void SetModalPresenter(ModalPresenter* newPresenter) { presenter = newPresenter; }

ScopedModalScript::Answer AnswerModalStep(const ModalQuestion& question) {
    if (ScopedModalScript::Active()) return ScopedModalScript::Take(question);
    if (presenter != nullptr) return presenter->Present(question);
    if (question.kind == ModalQuestion::Kind::MessageBox) return DecliningButton(question.buttons);
    return ScopedModalScript::MenuChoice{};
}

MenuItem::MenuItem(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {}

MenuItem& MenuItem::Add(std::string name, std::string caption) {
    items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption)));
    return *items_.back();
}

MenuItem* MenuItem::Find(const std::string& nameOrCaption) {
    for (auto& item : items_)
        if (item->Name() == nameOrCaption) return item.get();
    for (auto& item : items_)
        if (item->Caption() == nameOrCaption) return item.get();
    for (auto& item : items_)
        if (MenuItem* inner = item->Find(nameOrCaption)) return inner;
    return nullptr;
}

MenuItem& MenuItem::operator[](const std::string& name) {
    MenuItem* item = Find(name);
    if (item == nullptr) throw RuntimeError(errInvalidCall, "no menu item " + name);
    return *item;
}

MenuItem* TrackPopupMenu(MenuItem& menu) {
    ModalQuestion question;
    question.kind = ModalQuestion::Kind::PopupMenu;
    question.text = menu.Caption();
    for (const auto& item : menu.Items())
        if (item->Visible()) {
            question.items.push_back(item->Caption());
            // An item that opens a further menu cannot be chosen from this one.
            question.entries.push_back({item->Caption(), item->Enabled() && item->Items().empty(), item->Checked()});
        }
    auto answer = AnswerModalStep(question);
    const auto& choice = std::get<ScopedModalScript::MenuChoice>(answer);
    if (choice.nameOrCaption.empty()) return nullptr;
    MenuItem* chosen = menu.Find(choice.nameOrCaption);
    if (chosen == nullptr || chosen->IsSeparator() || !chosen->Enabled() || !chosen->Visible() ||
        !chosen->Items().empty())
        throw UnscriptedModalStep("menu \"" + menu.Caption() + "\" has no choosable item \"" +
                                  choice.nameOrCaption + "\"");
    if (chosen->OnClick) RunEventHandler(chosen->OnClick);
    return chosen;
}

}  // namespace zem::forms
