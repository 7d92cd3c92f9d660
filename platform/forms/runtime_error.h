// Run-time errors of the forms runtime and the boundary at which an event
// handler's untrapped error ends the program.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace zem::forms {

// Error numbers the system code can meet, with the runtime's own messages.
enum ErrorNumber : int {
    errInvalidCall = 5,
    errOverflow = 6,
    errSubscriptOutOfRange = 9,
    errFileNotFound = 53,
    errObjectNotSet = 91,
    errResourceNotFound = 326,
    errControlArrayElementMissing = 340,
    errControlArrayElementExists = 360,
    errObjectUnloaded = 364,
    errInvalidPropertyValue = 380,
    errCannotCreateObject = 429,
    errInvalidPicture = 481,
};

// An error raised by the runtime or by system code. A handler that wants to
// skip a failing statement catches it; one that does not lets it reach the
// event boundary, where it ends the program.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description);
    explicit RuntimeError(int number);
    int Number() const { return number_; }
    // The runtime's standard text for an error number ("File not found").
    static std::string StandardText(int number);

private:
    int number_;
};

// Runs one event handler. An untrapped RuntimeError (or any other standard
// exception, which stands for a failure of the platform underneath) shows the
// runtime's message box with the error's text and ends the program, as the
// original runtime does; the call then returns normally so that the message
// dispatch unwinds cleanly. Errors that stand for a broken test (an unanswered
// modal step) are not caught here.
void RunEventHandler(const std::function<void()>& handler);

// Runs a statement and ignores a RuntimeError it raises: the "skip a failing
// statement and go on" rule of some handlers. Returns whether it succeeded.
bool SkipOnError(const std::function<void()>& statement);

}  // namespace zem::forms
