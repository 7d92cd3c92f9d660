// The modal steps of the forms runtime, answered by a person through the
// display's windows. A test's script still comes first (the runtime asks it
// before any presenter).
#include "platform/display/display.h"
#include "platform/display/message_box.h"
#include "platform/forms/presenter.h"

namespace zem::platform {
namespace {

class DisplayPresenter final : public forms::ModalPresenter {
public:
    forms::ScopedModalScript::Answer Present(const forms::ModalQuestion& question) override {
        if (question.kind == forms::ModalQuestion::Kind::MessageBox)
            return ShowMessageBoxWindow(question.text, question.title, question.buttons);
        // Pop-up menus are not shown yet: they close without a choice.
        return forms::ScopedModalScript::MenuChoice{};
    }
};

DisplayPresenter g_presenter;

}  // namespace

void InstallDisplayPresenter() { forms::SetModalPresenter(&g_presenter); }
void RemoveDisplayPresenter() { forms::SetModalPresenter(nullptr); }

}  // namespace zem::platform
