#include "windows/form2.h"

#include "player/form1.h"

using namespace zem::forms;

namespace {

// Never shown, with no taskbar entry.
FormDesign Form2Design() {
    FormDesign design;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    return design;
}

}  // namespace

Form2::Form2() : Form(Form2Design()) { display.OnClick = [this] { display_Click(); }; }

void Form2::display_Click() {
    Form1& main = FormInstance<Form1>::Get();
    main.SetVisible(!main.Visible());
}
