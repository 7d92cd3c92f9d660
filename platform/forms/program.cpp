#include "platform/forms/program.h"

namespace zem::forms {
namespace {
// Module state of the program object.
std::string title;
bool ended = false;
std::function<void()> endAction;
}  // namespace

const std::string& App::Title() { return title; }
void App::SetTitle(std::string newTitle) { title = std::move(newTitle); }

void End() {
    if (ended) return;
    ended = true;
    if (endAction) endAction();
}

bool Ended() { return ended; }
void SetEndAction(std::function<void()> action) { endAction = std::move(action); }
void ResetProgramState() { ended = false; }

}  // namespace zem::forms
