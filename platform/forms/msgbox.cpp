#include "platform/forms/msgbox.h"

#include <variant>

#include "platform/forms/presenter.h"
#include "platform/forms/program.h"

namespace zem::forms {

int DecliningButton(int buttons) {
    switch (buttons & 7) {
        case vbOKCancel:
        case vbYesNoCancel:
        case vbRetryCancel: return vbCancel;
        case vbAbortRetryIgnore: return vbIgnore;
        case vbYesNo: return vbNo;
        default: return vbOK;
    }
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    ModalQuestion question;
    question.kind = ModalQuestion::Kind::MessageBox;
    question.text = prompt;
    question.title = title.empty() ? App::Title() : title;
    question.buttons = buttons;
    return std::get<int>(AnswerModalStep(question));
}

}  // namespace zem::forms
