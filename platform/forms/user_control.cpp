#include "platform/forms/user_control.h"

#include "platform/forms/runtime_error.h"

namespace zem::forms {

UserControl::UserControl(Container& parent, std::string name) : PictureBox(parent, std::move(name)) {
    // The ambient font is the starting font of the control's own face.
    SetFont(parent.Font() ? parent.Font()->Clone() : StdFont::Create());
}

void UserControl::InitNew() {
    RunEventHandler([this] { UserControl_InitProperties(); });
    changed_.clear();
}

void UserControl::Load(const PropertyBag& bag) {
    RunEventHandler([&] { UserControl_ReadProperties(bag); });
    changed_.clear();
}

PropertyBag UserControl::Save() {
    PropertyBag bag;
    RunEventHandler([&] { UserControl_WriteProperties(bag); });
    changed_.clear();
    return bag;
}

void UserControl::RaisePaint() {
    PictureBox::RaisePaint();
    RunEventHandler([this] { UserControl_Paint(); });
}

void UserControl::RaiseResize() {
    PictureBox::RaiseResize();
    RunEventHandler([this] { UserControl_Resize(); });
}

}  // namespace zem::forms
