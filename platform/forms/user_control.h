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

    AmbientProperties Ambient() const { return AmbientProperties(Parent()); }

protected:
    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(const PropertyBag& bag) { (void)bag; }
    virtual void UserControl_WriteProperties(PropertyBag& bag) { (void)bag; }
    virtual void UserControl_Resize() {}
    virtual void UserControl_Paint() {}
    // Tells the host that a property changed, so that it is saved again.
    void PropertyChanged(const std::string& name) { changed_.insert(name); }
    // Raises one of the control's events to the host, at once; the host's
    // handler runs before RaiseEvent returns.
    template <class Handler, class... Arguments>
    void RaiseEvent(const Handler& handler, Arguments&&... arguments) {
        if (handler) handler(std::forward<Arguments>(arguments)...);
    }

    void RaisePaint() override;
    void RaiseResize() override;

private:
    std::set<std::string> changed_;
};

}  // namespace zem::forms
