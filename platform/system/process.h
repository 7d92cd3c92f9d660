// Processes: starting command lines with a show mode, ending processes by image
// name, and the previous-instance test.
//
// A command line is never handed to a shell. The launcher serves the few forms
// the programs use natively:
//   "cmd.exe /c taskkill /im NAME /f"  ends every process of image name NAME
//                                       (for the program folder's own programs,
//                                       only the processes of the folder's file);
//   "...\IEXPLORE.exe ADDRESS"          opens ADDRESS with the desktop's URL opener;
//   "PROGRAM ARGUMENT"                  starts PROGRAM with ARGUMENT as its one argument.
#pragma once

#include "platform/base/win32_types.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace zem::platform {

// The program of a command line cannot be found (the forms runtime turns it
// into its file-not-found error).
class FileNotFoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Starts command lines. Start returns at once, without waiting for what it
// started, and gives the new process's id (0 when no process was needed).
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual DWORD Start(std::string_view commandLine, int showMode) = 0;
};

// The real launcher: the forms above, served natively. The show mode cannot be
// imposed on a Linux program's windows and is not passed on.
class NativeProcessLauncher final : public ProcessLauncher {
public:
    DWORD Start(std::string_view commandLine, int showMode) override;
};

// The launcher in use: the native one unless a ScopedProcessLauncher is alive.
ProcessLauncher& CurrentProcessLauncher();

// Replaces the launcher for its lifetime (tests); restores the previous one.
class ScopedProcessLauncher {
public:
    explicit ScopedProcessLauncher(ProcessLauncher& launcher);
    ~ScopedProcessLauncher();
    ScopedProcessLauncher(const ScopedProcessLauncher&) = delete;
    ScopedProcessLauncher& operator=(const ScopedProcessLauncher&) = delete;

private:
    ProcessLauncher* previous_;
};

// Starts the command line through the current launcher.
DWORD StartCommandLine(std::string_view commandLine, int showMode);

// Whether a process's name (its executable's file name) is the image name
// `imageName`, without letter case; "x.exe" also names "x".
bool ImageNameMatches(std::string_view processName, std::string_view imageName);

// The image names of the programs the program folder ships.
inline constexpr std::array<std::string_view, 2> ProgramFolderImageNames{"zemplayer.exe", "update.exe"};

// For one of ProgramFolderImageNames (any letter case), its file in the
// program folder (the name without ".exe"); nothing for any other name.
std::optional<std::string> ProgramFolderImageFile(std::string_view imageName);

// The processes of an image name, the caller included. For a program of the
// program folder, only the processes of that folder's file
// (FindProcessesOfExecutable): "update" is a common name of other programs.
// For any other name, every process whose executable's file name (or, when
// that cannot be read, its command name) is the image name, in /proc order.
std::vector<pid_t> FindProcessesByImageName(std::string_view imageName);

// Sends SIGKILL to every process of the image name except the caller, and
// returns whether the caller is one of them (the caller ends itself then).
bool EndOtherProcessesByImageName(std::string_view imageName);

// Whether another process running the same executable file as this one
// started before it (start times compared, a tie going to the lower process
// id), so that of two instances started at the same moment exactly one goes
// on; the answer of a live ScopedPreviousInstance instead, if any.
bool PreviousInstanceRunning();

// Sets the previous-instance answer for its lifetime (tests: the cases of one
// test program run side by side as processes of the same file); restores the
// previous one.
class ScopedPreviousInstance {
public:
    explicit ScopedPreviousInstance(bool running);
    ~ScopedPreviousInstance();
    ScopedPreviousInstance(const ScopedPreviousInstance&) = delete;
    ScopedPreviousInstance& operator=(const ScopedPreviousInstance&) = delete;

private:
    std::optional<bool> previous_;
};

// Processes (the caller included) whose executable is the file at `path`, or
// lay at `path` when they started and has been replaced or removed since (an
// upgrade replaced the program while it ran).
std::vector<pid_t> FindProcessesOfExecutable(std::string_view path);

// The file `name` in a folder of PATH that the caller may execute, or "".
std::string FindOnPath(std::string_view name);

}  // namespace zem::platform
