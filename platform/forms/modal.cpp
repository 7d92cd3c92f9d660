#include "platform/forms/modal.h"

namespace zem::forms {
namespace {
ScopedModalScript* innermost = nullptr;
}

ScopedModalScript::ScopedModalScript() : outer_(innermost) { innermost = this; }
ScopedModalScript::~ScopedModalScript() { innermost = outer_; }

ScopedModalScript& ScopedModalScript::AnswerMessageBox(int button) {
    answers_.emplace_back(button);
    return *this;
}

ScopedModalScript& ScopedModalScript::ChooseMenuItem(std::string nameOrCaption) {
    answers_.emplace_back(MenuChoice{std::move(nameOrCaption)});
    return *this;
}

ScopedModalScript& ScopedModalScript::DismissMenu() {
    answers_.emplace_back(MenuChoice{});
    return *this;
}

bool ScopedModalScript::Active() { return innermost != nullptr; }

ScopedModalScript::Answer ScopedModalScript::Take(const ModalQuestion& question) {
    ScopedModalScript* script = innermost;
    const char* what = question.kind == ModalQuestion::Kind::MessageBox ? "message box" : "popup menu";
    if (script == nullptr) throw UnscriptedModalStep(std::string("no script for ") + what);
    script->questions_.push_back(question);
    if (script->answers_.empty())
        throw UnscriptedModalStep(std::string("unanswered ") + what + ": \"" + question.text + "\"");
    Answer answer = std::move(script->answers_.front());
    script->answers_.pop_front();
    const bool wantsButton = question.kind == ModalQuestion::Kind::MessageBox;
    if (wantsButton != std::holds_alternative<int>(answer))
        throw UnscriptedModalStep(std::string("scripted answer does not fit the ") + what + ": \"" +
                                  question.text + "\"");
    return answer;
}

}  // namespace zem::forms
