// The program object: its title, folder, command line and previous instance,
// the runtime's statements that reach the system (Shell, Dir, DoEvents,
// Randomize and Rnd, the screen), its end, and the run from a start-up object
// through the message loop.
#pragma once

#include <functional>
#include <string>

namespace zem::forms {

class App {
public:
    // The program's title: the default title of its message boxes.
    static const std::string& Title();
    static void SetTitle(std::string title);
    // The program folder, without a trailing separator.
    static std::string Path();
    // Whether another instance of this program is running.
    static bool PrevInstance();
};

// The command-line argument text of the run (what follows the program name).
const std::string& Command();
void SetCommand(std::string arguments);
// The same from a program's main: its arguments after the name, joined by blanks.
void SetCommand(int argc, char** argv);

// Starts a program with a window style (vbNormalFocus...); returns its task
// id. A program that cannot be found raises run-time error 53.
inline constexpr int vbHide = 0;
inline constexpr int vbNormalFocus = 1;
inline constexpr int vbMinimizedFocus = 2;
inline constexpr int vbMaximizedFocus = 3;
inline constexpr int vbNormalNoFocus = 4;
inline constexpr int vbMinimizedNoFocus = 6;
double Shell(const std::string& commandLine, int windowStyle = vbMinimizedFocus);

// The first normal file matching the path (its name may hold * and ?), or "".
std::string Dir(const std::string& path);

// Lets everything pending run, never waiting: queued messages (input, paints,
// due timers), then what the event loop has ready (the display's X events and
// presentation, the engine's sources, due loop timers).
void DoEvents();

// The screen's size in twips.
class Screen {
public:
    static float Width();
    static float Height();
};

// The runtime's random numbers: a 24-bit sequence, reseeded from the clock
// by Randomize. Rnd gives a number in [0, 1).
void Randomize();
void Randomize(double seed);
float Rnd();

// Ends the program at once, as the runtime's End does: no Unload events run,
// every form goes and the message loop returns.
void End();
bool Ended();

// Runs a program: the start-up object (Sub Main, or the showing of the
// start-up form), then the message loop until no form that was ever shown is
// loaded (AnyFormKeepsProgramRunning) or the program ends. Returns the exit
// code.
int RunProgram(const std::function<void()>& startUp);
// The loop of RunProgram, after its start-up object: runs until End, the
// unload of the last form that keeps the program running, WM_QUIT or a moment
// when nothing can ever arrive, freeing unloaded forms between steps; the
// forms stay. Returns the exit code.
int RunMessageLoop();

// Wakes a running RunMessageLoop that waits for messages, so that it looks
// again whether a form keeps the program running: a form may unload inside
// the wait (a window manager's close comes with the X events read there).
void WakeProgramLoop();

// For the program start and for tests: what End does besides marking the
// program ended, and the return to the running state.
void SetEndAction(std::function<void()> action);
void ResetProgramState();

}  // namespace zem::forms
