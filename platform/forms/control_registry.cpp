#include "platform/forms/control_registry.h"

#include <map>

#include "platform/forms/controls.h"
#include "platform/forms/runtime_error.h"

namespace zem::forms {
namespace {
std::map<std::string, ControlFactory>& Factories() {
    static std::map<std::string, ControlFactory> factories;
    return factories;
}
}  // namespace

void RegisterControlClass(const std::string& classId, ControlFactory factory) {
    Factories()[classId] = std::move(factory);
}

bool IsControlClassRegistered(const std::string& classId) { return Factories().count(classId) != 0; }

const ControlFactory& ControlFactoryFor(const std::string& classId) {
    auto found = Factories().find(classId);
    if (found == Factories().end()) throw RuntimeError(429, "ActiveX component can't create object: " + classId);
    return found->second;
}

std::unique_ptr<Control> CreateControl(const std::string& classId, Container& parent, const std::string& name) {
    std::unique_ptr<Control> control = ControlFactoryFor(classId)(parent, name);
    // A class that leaves its window to its creator (a user control) gets it
    // now that the object is whole; one that has it already keeps it.
    if (auto* windowed = dynamic_cast<WindowedControl*>(control.get())) windowed->CreateChildWindow();
    return control;
}

std::vector<std::string> RegisteredControlClasses() {
    std::vector<std::string> ids;
    for (const auto& [id, factory] : Factories()) ids.push_back(id);
    return ids;
}

}  // namespace zem::forms
