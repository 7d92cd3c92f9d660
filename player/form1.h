// Form1: the player's main window. The start-up window shows it once its
// version check ends without an upgrade; it is never unloaded.
#pragma once

#include "platform/forms/form.h"

class Form1 : public zem::forms::Form {
public:
    Form1();
};
