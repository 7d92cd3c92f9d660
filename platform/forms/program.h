// The program object: its title, its end, and (with the window layer) its
// folder, command line, processes and message loop.
#pragma once

#include <functional>
#include <string>

namespace zem::forms {

class App {
public:
    // The program's title: the default title of its message boxes.
    static const std::string& Title();
    static void SetTitle(std::string title);
};

// Ends the program at once, as the runtime's End does: no Unload events run,
// every form goes and the message loop returns.
void End();
bool Ended();

// For the program start and for tests: what End does besides marking the
// program ended (the forms layer installs the unloading of every form and
// the quit of the message loop), and the return to the running state.
void SetEndAction(std::function<void()> action);
void ResetProgramState();

}  // namespace zem::forms
