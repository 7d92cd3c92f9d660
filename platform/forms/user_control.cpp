#include "platform/forms/user_control.h"

#include "platform/forms/runtime_error.h"
#include "platform/window/user32.h"

namespace zem::forms {

UserControl::UserControl(Container& parent, std::string name)
    : PictureBox(parent, std::move(name), WindowLater{}) {
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

void UserControl::PropertyChanged(const std::string& name) {
    changed_.insert(name);
    if (OnPropertyChanged) RunEventHandler([&] { OnPropertyChanged(name); });
}

void UserControl::RaisePaint() {
    PictureBox::RaisePaint();
    RunEventHandler([this] { UserControl_Paint(); });
}

void UserControl::RaiseResize() {
    PictureBox::RaiseResize();
    RunEventHandler([this] { UserControl_Resize(); });
}

void UserControl::RaiseMouse(UINT kind, int button, int shift, float x, float y) {
    if (!Enabled()) return;
    RunEventHandler([&] {
        if (kind == WM_LBUTTONDOWN)
            UserControl_MouseDown(button, shift, x, y);
        else if (kind == WM_LBUTTONUP)
            UserControl_MouseUp(button, shift, x, y);
        else
            UserControl_MouseMove(button, shift, x, y);
    });
}

void UserControl::RaiseClick(bool doubleClick) {
    if (!Enabled()) return;
    RunEventHandler([&] {
        if (doubleClick)
            UserControl_DblClick();
        else
            UserControl_Click();
    });
}

// Initialize and Terminate are the control's own steps, not handlers of the
// host: they run even after End, so that what Initialize made is always freed.
void UserControl::WindowCreated() {
    ForgetSize();
    CreateChildWindows();
    initialized_ = true;
    UserControl_Initialize();
    RECT client{};
    GetClientRect(hWnd(), &client);
    SendMessageA(hWnd(), WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
    // A hook may keep WM_SIZE for itself; the Resize event comes all the same.
    CheckResize();
}

void UserControl::BeforeWindowDestroyed() {
    if (initialized_) {
        initialized_ = false;
        UserControl_Terminate();
    }
    PictureBox::BeforeWindowDestroyed();
}

}  // namespace zem::forms
