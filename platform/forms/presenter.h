// The seam through which modal steps reach a real user: the desktop display
// installs a presenter; without one, and without a test script, the runtime's
// default answers apply.
#pragma once

#include "platform/forms/modal.h"

namespace zem::forms {

class ModalPresenter {
public:
    virtual ~ModalPresenter() = default;
    // Returns a button for a message box, or a MenuChoice for a popup menu.
    virtual ScopedModalScript::Answer Present(const ModalQuestion& question) = 0;
};

// Installs the presenter (not owned); nullptr removes it.
void SetModalPresenter(ModalPresenter* presenter);

// Answers a question: the test script first, then the presenter, then the
// default policy (the declining button, no menu choice).
ScopedModalScript::Answer AnswerModalStep(const ModalQuestion& question);

}  // namespace zem::forms
