// Class identifiers of user controls ("Velisto.SFPlayList") and the
// factories that make them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zem::forms {

class Container;
class Control;

using ControlFactory = std::function<std::unique_ptr<Control>(Container& parent, const std::string& name)>;

// Registers a factory under an identifier (a second registration replaces
// the first). Programs register their control classes at start.
void RegisterControlClass(const std::string& classId, ControlFactory factory);
bool IsControlClassRegistered(const std::string& classId);
// The factory of a class; an unknown identifier raises error 429.
const ControlFactory& ControlFactoryFor(const std::string& classId);
// Makes a control of the class, with its window when its container has one;
// an unknown identifier raises error 429.
std::unique_ptr<Control> CreateControl(const std::string& classId, Container& parent, const std::string& name);
std::vector<std::string> RegisteredControlClasses();

}  // namespace zem::forms
