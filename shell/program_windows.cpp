#include "shell/program_windows.h"

namespace zem::shell {
namespace {
ProgramWindows registered;
}

void RegisterProgramWindows(ProgramWindows windows) { registered = std::move(windows); }
const ProgramWindows& RegisteredProgramWindows() { return registered; }

}  // namespace zem::shell
