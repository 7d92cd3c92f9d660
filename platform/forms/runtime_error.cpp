#include "platform/forms/runtime_error.h"

#include "platform/forms/modal.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/program.h"

namespace zem::forms {

std::string RuntimeError::StandardText(int number) {
    switch (number) {
        case errInvalidCall: return "Invalid procedure call or argument";
        case errOverflow: return "Overflow";
        case errSubscriptOutOfRange: return "Subscript out of range";
        case errFileNotFound: return "File not found";
        case errObjectNotSet: return "Object variable or With block variable not set";
        case errInvalidPropertyValue: return "Invalid property value";
        case errResourceNotFound: return "Resource not found";
        case errControlArrayElementMissing: return "Control array element doesn't exist";
        case errControlArrayElementExists: return "Object already loaded";
        case errObjectUnloaded: return "Object was unloaded";
        case errCannotCreateObject: return "ActiveX component can't create object";
        case errInvalidPicture: return "Invalid picture";
        default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description.empty() ? StandardText(number) : description), number_(number) {}

RuntimeError::RuntimeError(int number) : RuntimeError(number, StandardText(number)) {}

namespace {
void EndWithMessage(const std::string& text) {
    MsgBox(text, vbCritical);
    End();
}
}  // namespace

void RunEventHandler(const std::function<void()>& handler) {
    if (!handler || Ended()) return;
    try {
        handler();
    } catch (const UnscriptedModalStep&) {
        throw;
    } catch (const RuntimeError& error) {
        EndWithMessage("Run-time error '" + std::to_string(error.Number()) + "':\n\n" + error.what());
    } catch (const std::exception& error) {
        EndWithMessage(std::string("Run-time error:\n\n") + error.what());
    }
}

bool SkipOnError(const std::function<void()>& statement) {
    try {
        statement();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace zem::forms
