// FrmAppTip: the tip strip. One line of text on a grey strip in the middle of
// the screen, hidden again 3000 ms after it was shown. A caller sets Label1,
// shows the strip and switches Timer1 on, in that order.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

class FrmAppTip : public zem::forms::Form {
public:
    FrmAppTip();

    zem::forms::Label Label1{*this, "Label1"};
    zem::forms::Timer Timer1{*this, "Timer1"};

private:
    void Timer1_Timer();
};
