// The modal steps of the forms runtime, answered by a person through the
// display's windows. A test's script still comes first (the runtime asks it
// before any presenter).
#include "platform/display/display.h"
#include "platform/display/menu_window.h"
#include "platform/display/message_box.h"
#include "platform/window/user32.h"
#include "platform/forms/presenter.h"

namespace zem::platform {
namespace {

class DisplayPresenter final : public forms::ModalPresenter {
public:
    forms::ScopedModalScript::Answer Present(const forms::ModalQuestion& question) override {
        if (question.kind == forms::ModalQuestion::Kind::MessageBox)
            return ShowMessageBoxWindow(question.text, question.title, question.buttons);
        std::vector<MenuWindowItem> items;
        for (const auto& entry : question.entries) items.push_back({entry.caption, entry.enabled, entry.checked});
        POINT at{};
        GetCursorPos(&at);
        const int chosen = ShowMenuWindow(items, at);
        if (chosen < 0) return forms::ScopedModalScript::MenuChoice{};
        return forms::ScopedModalScript::MenuChoice{items[static_cast<std::size_t>(chosen)].caption};
    }
};

DisplayPresenter g_presenter;

}  // namespace

void InstallDisplayPresenter() { forms::SetModalPresenter(&g_presenter); }
void RemoveDisplayPresenter() { forms::SetModalPresenter(nullptr); }

}  // namespace zem::platform
