// User controls: a control class of its own with a child window, constituent
// controls, the extender its container sees (place, size, visibility in the
// container's units), the property bag and the ambient properties.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "platform/forms/controls.h"
#include "platform/forms/property_bag.h"

namespace zem::forms {

// What the container offers its controls.
class AmbientProperties {
public:
    explicit AmbientProperties(const Container& container) : container_(&container) {}
    const FontRef& Font() const { return container_->Font(); }
    COLORREF BackColor() const { return container_->BackColor(); }
    COLORREF ForeColor() const { return container_->ForeColor(); }
    // A user control runs in a program, never in a designer.
    bool UserMode() const { return true; }

private:
    const Container* container_;
};

// The life of a user control:
//  - construction: its properties hold the new-instance values; the window
//    is not made yet. On a container whose window already exists, the window
//    is made by the most derived constructor (EnsureWindow), by CreateControl
//    or by ControlArray::Load; otherwise with the container's window.
//  - its window made: the constituent controls' windows, then
//    UserControl_Initialize (the window exists; a hook installed here sees
//    every later message first), then the first sizing: WM_SIZE through the
//    window's procedure as it then is, and the Resize event.
//  - the host's property step, InitNew or Load(bag), whenever the host asks:
//    before the window (a form's design properties) or after it. A control
//    keeps its properties apart from what it makes for its window, and makes
//    the latter from the former in UserControl_Initialize.
//  - before its window goes (the container unloads, or the control is
//    destroyed): UserControl_Terminate. A class that frees things there
//    calls DestroyChildWindow() in its own destructor, so that the
//    termination runs while the whole object still exists.
class UserControl : public PictureBox {
public:
    UserControl(Container& parent, std::string name);

    // The property-bag lifecycle, driven by the host: a new instance gets
    // InitProperties; one restored from saved properties gets ReadProperties;
    // saving asks WriteProperties.
    void InitNew();
    void Load(const PropertyBag& bag);
    PropertyBag Save();
    // Whether a property changed since the last load or save, and which.
    bool PropertiesChanged() const { return !changed_.empty(); }
    const std::set<std::string>& ChangedProperties() const { return changed_; }
    // The host's side of PropertyChanged: told every key, in order, as the
    // control reports it.
    std::function<void(const std::string& name)> OnPropertyChanged;

    AmbientProperties Ambient() const { return AmbientProperties(Parent()); }

protected:
    virtual void UserControl_Initialize() {}
    virtual void UserControl_Terminate() {}
    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(const PropertyBag& bag) { (void)bag; }
    virtual void UserControl_WriteProperties(PropertyBag& bag) { (void)bag; }
    virtual void UserControl_Resize() {}
    virtual void UserControl_Paint() {}
    // The mouse on the control's own surface (not on a constituent control):
    // Button, Shift, X, Y in the control's scale units. They are the
    // control's, not its host's: the host sees only what the control raises.
    virtual void UserControl_MouseDown(int, int, float, float) {}
    virtual void UserControl_MouseMove(int, int, float, float) {}
    virtual void UserControl_MouseUp(int, int, float, float) {}
    virtual void UserControl_Click() {}
    virtual void UserControl_DblClick() {}

    // Tells the host that a property changed, so that it is saved again.
    void PropertyChanged(const std::string& name);
    // Raises one of the control's events to the host, at once; the host's
    // handler runs before RaiseEvent returns, as an event handler of the
    // runtime (an untrapped error there shows the runtime's message and ends).
    template <class Handler, class... Arguments>
    void RaiseEvent(const Handler& handler, Arguments&&... arguments) {
        if (handler) RunEventHandler([&] { handler(std::forward<Arguments>(arguments)...); });
    }

    void RaisePaint() override;
    void RaiseResize() override;
    void RaiseMouse(UINT kind, int button, int shift, float x, float y) override;
    void RaiseClick(bool doubleClick) override;
    void WindowCreated() override;
    void BeforeWindowDestroyed() override;

private:
    std::set<std::string> changed_;
    bool initialized_ = false;
};

}  // namespace zem::forms
