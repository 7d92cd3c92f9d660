#include "platform/forms/program.h"

#include <cmath>
#include <cstdint>

#include "platform/base/clock.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/runtime_error.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {
namespace {
// Module state of the program object.
std::string title;
std::string command;
bool ended = false;
// How many RunMessageLoop calls are running (a wake is only for them).
int runningLoops = 0;
std::function<void()> endAction;
// The runtime's random sequence: x' = (x * 1140671485 + 12820163) mod 2^24.
std::uint32_t randomState = 0x50000;

constexpr std::uint32_t kRandomModulus = 1u << 24;
}  // namespace

const std::string& App::Title() { return title; }
void App::SetTitle(std::string newTitle) { title = std::move(newTitle); }
std::string App::Path() {
    std::string folder = platform::ProgramFolder();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}
bool App::PrevInstance() { return platform::PreviousInstanceRunning(); }

const std::string& Command() { return command; }
void SetCommand(std::string arguments) { command = std::move(arguments); }
void SetCommand(int argc, char** argv) {
    std::string arguments;
    for (int index = 1; index < argc; ++index) {
        if (index > 1) arguments += ' ';
        arguments += argv[index];
    }
    SetCommand(std::move(arguments));
}

double Shell(const std::string& commandLine, int windowStyle) {
    try {
        return static_cast<double>(platform::StartCommandLine(commandLine, windowStyle));
    } catch (const platform::FileNotFoundError&) {
        throw RuntimeError(errFileNotFound);
    }
}

std::string Dir(const std::string& path) { return platform::Dir(path); }

void DoEvents() { platform::ProcessPendingMessages(); }

float Screen::Width() { return static_cast<float>(platform::CurrentDesktop().width * TwipsPerPixel); }
float Screen::Height() { return static_cast<float>(platform::CurrentDesktop().height * TwipsPerPixel); }

void Randomize(double seed) {
    // The seed's bits are folded into the middle of the state, keeping its low byte.
    std::uint64_t bits = 0;
    const double whole = std::floor(std::fabs(seed));
    bits = static_cast<std::uint64_t>(std::fmod(whole, 4294967296.0));
    const std::uint32_t mixed = static_cast<std::uint32_t>((bits & 0xFFFF) ^ (bits >> 16));
    randomState = ((mixed << 8) | (randomState & 0xFF)) % kRandomModulus;
}

void Randomize() { Randomize(static_cast<double>(platform::CurrentClock().Now())); }

float Rnd() {
    randomState = static_cast<std::uint32_t>((static_cast<std::uint64_t>(randomState) * 1140671485u + 12820163u) %
                                             kRandomModulus);
    return static_cast<float>(randomState) / static_cast<float>(kRandomModulus);
}

void End() {
    if (ended) return;
    ended = true;
    if (endAction) endAction();
}

bool Ended() { return ended; }
void SetEndAction(std::function<void()> action) { endAction = std::move(action); }
void ResetProgramState() { ended = false; }

int RunProgram(const std::function<void()>& startUp) {
    ResetProgramState();
    SetEndAction([] {
        UnloadAllFormsSilently();
        PostQuitMessage(0);
    });
    RunEventHandler(startUp);
    const int exitCode = RunMessageLoop();
    DiscardAllForms();
    SetEndAction(nullptr);
    return exitCode;
}

void WakeProgramLoop() {
    if (runningLoops > 0) PostMessageA(nullptr, WM_NULL, 0, 0);
}

int RunMessageLoop() {
    struct Running {
        Running() { ++runningLoops; }
        ~Running() { --runningLoops; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running;
    FreeUnloadedForms();
    int exitCode = 0;
    const ManualLoopBound bound;
    // Forms that were never shown (a tray menu's holder) keep no program running.
    while (!Ended() && AnyFormKeepsProgramRunning()) {
        bound.Check();
        const LoopStep step = RunOneLoopStep();
        FreeUnloadedForms();
        if (step == LoopStep::Idle) break;  // nothing can ever arrive
        if (step == LoopStep::Quit) {
            MSG quit{};
            if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) exitCode = static_cast<int>(quit.wParam);
            break;
        }
    }
    return exitCode;
}

}  // namespace zem::forms
