#include "platform/system/process.h"

#include "platform/base/text.h"
#include "platform/system/files.h"

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

extern char** environ;

namespace zem::platform {
namespace {

ProcessLauncher*& LauncherOverride() {
    static ProcessLauncher* launcher = nullptr;
    return launcher;
}

bool EqualsIgnoringAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t index = 0; index < left.size(); ++index) {
        const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (fold(left[index]) != fold(right[index])) return false;
    }
    return true;
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// The Linux executable a program path names: the path itself, or without its
// ".exe" ending; "" when neither exists.
std::string ResolveExecutable(std::string_view program) {
    const std::string posix(program);
    if (IsExecutableFile(posix)) return posix;
    if (EndsWithIgnoringAsciiCase(posix, ".exe")) {
        const std::string stem = posix.substr(0, posix.size() - 4);
        if (IsExecutableFile(stem)) return stem;
    }
    return "";
}

std::vector<pid_t> AllProcessIds() {
    std::vector<pid_t> ids;
    DIR* directory = opendir("/proc");
    if (directory == nullptr) return ids;
    while (const dirent* entry = readdir(directory)) {
        char* end = nullptr;
        const long id = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && id > 0) ids.push_back(static_cast<pid_t>(id));
    }
    closedir(directory);
    return ids;
}

// The file name of a process's executable; its command name when the
// executable cannot be read (another user's process); nothing when it is gone.
std::optional<std::string> ProcessName(pid_t id) {
    const std::string folder = "/proc/" + std::to_string(id);
    char buffer[PATH_MAX];
    const ssize_t length = readlink((folder + "/exe").c_str(), buffer, sizeof buffer - 1);
    if (length > 0) {
        std::string_view path(buffer, static_cast<std::size_t>(length));
        // A running program whose file was replaced (by an update) still has its name.
        constexpr std::string_view deleted = " (deleted)";
        if (path.ends_with(deleted)) path.remove_suffix(deleted.size());
        return std::string(FileNameOf(path));
    }
    std::ifstream comm(folder + "/comm");
    std::string name;
    if (!std::getline(comm, name)) return std::nullopt;
    return name;
}

struct ParsedCommandLine {
    std::string program;
    std::string argument;
};

bool IsKnownProgram(std::string_view program) {
    const std::string_view name = FileNameOf(program);
    return EqualsIgnoringAsciiCase(name, "cmd.exe") || EqualsIgnoringAsciiCase(name, "iexplore.exe") ||
           !ResolveExecutable(program).empty();
}

// Splits a command line into its program and the rest, its one argument
// (unchanged, blanks included). A quoted program ends at its closing quote. An
// unquoted one is read as the programs write it: a path in the program folder
// ends at the first blank after the folder, however many blanks the folder
// holds; otherwise the shortest blank-ended prefix that names a program wins.
ParsedCommandLine ParseCommandLine(std::string_view line) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    const auto split = [&](std::size_t end, std::size_t restStart) {
        ParsedCommandLine parsed{std::string(line.substr(0, end)), ""};
        if (restStart < line.size()) parsed.argument = std::string(line.substr(restStart));
        return parsed;
    };
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos) return {std::string(line.substr(1)), ""};
        ParsedCommandLine parsed = split(close, close + 2);
        parsed.program.erase(0, 1);
        return parsed;
    }
    const std::string folder = ProgramFolder();
    for (const char separator : {'\\', '/'}) {
        const std::string prefix = folder + separator;
        if (line.starts_with(prefix)) {
            const std::size_t blank = line.find(' ', prefix.size());
            ParsedCommandLine parsed = blank == std::string_view::npos ? split(line.size(), line.size())
                                                                       : split(blank, blank + 1);
            // The folder stays as it is; only what the programs wrote after it converts.
            parsed.program = ProgramPath(std::string_view(parsed.program).substr(folder.size()));
            return parsed;
        }
    }
    for (std::size_t blank = line.find(' '); blank != std::string_view::npos;
         blank = line.find(' ', blank + 1)) {
        if (IsKnownProgram(line.substr(0, blank))) return split(blank, blank + 1);
    }
    return split(line.size(), line.size());
}

pid_t Spawn(const std::string& executable, const std::string& argument) {
    std::vector<char*> arguments{const_cast<char*>(executable.c_str())};
    if (!argument.empty()) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    // The program starts with the signals' default actions and none blocked,
    // whatever this process set for its own end (an ignored SIGPIPE of a
    // library, a thread's mask) would otherwise pass on through the exec.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, SIGPIPE}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t id = 0;
    const int error = posix_spawn(&id, executable.c_str(), nullptr, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) throw FileNotFoundError("cannot start " + executable);
    // The caller never waits; a reaper collects the child's exit so that it
    // leaves no zombie behind.
    std::thread([id] {
        int status = 0;
        while (waitpid(id, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return id;
}

struct TaskkillCommand {
    bool isTaskkill = false;  // "/c taskkill ..."
    std::string imageName;    // from "/im NAME /f"; "" when the arguments are malformed
};

TaskkillCommand ParseTaskkill(std::string_view rest) {
    std::vector<std::string> tokens;
    for (const std::string& word : Split(rest, " ")) {
        if (!word.empty()) tokens.push_back(word);
    }
    TaskkillCommand command;
    command.isTaskkill = tokens.size() >= 2 && EqualsIgnoringAsciiCase(tokens[0], "/c") &&
                         EqualsIgnoringAsciiCase(tokens[1], "taskkill");
    if (command.isTaskkill && tokens.size() == 5 && EqualsIgnoringAsciiCase(tokens[2], "/im") &&
        EqualsIgnoringAsciiCase(tokens[4], "/f")) {
        command.imageName = tokens[3];
    }
    return command;
}

// A started taskkill ends the caller a moment after the call returned; the
// caller meanwhile goes on, so commands it starts right after (the next image
// name of a list) still run, as they would beside a separate process.
// The first process of a PID namespace (a container's program) is immune to
// the signals it sends itself: the kill returns and it still runs, so it then
// exits, with the status a shell gives a process ended by SIGKILL.
void EndCallerShortly() {
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(getpid(), SIGKILL);
        _exit(128 + SIGKILL);
    }).detach();
}

}  // namespace

DWORD NativeProcessLauncher::Start(std::string_view commandLine, int /*showMode*/) {
    const ParsedCommandLine parsed = ParseCommandLine(commandLine);
    const std::string_view name = FileNameOf(parsed.program);
    if (EqualsIgnoringAsciiCase(name, "cmd.exe")) {
        // Only taskkill is served; any other command has no interpreter here.
        const TaskkillCommand taskkill = ParseTaskkill(parsed.argument);
        if (!taskkill.isTaskkill) throw FileNotFoundError("no command interpreter for: " + parsed.argument);
        // Malformed taskkill arguments end nothing, as taskkill would refuse them
        // in its hidden window.
        if (!taskkill.imageName.empty() && EndOtherProcessesByImageName(taskkill.imageName)) {
            EndCallerShortly();
        }
        return 0;
    }
    if (EqualsIgnoringAsciiCase(name, "iexplore.exe")) {
        const std::string opener = FindOnPath("xdg-open");
        if (opener.empty()) throw FileNotFoundError("no URL opener (xdg-open) on PATH");
        return static_cast<DWORD>(Spawn(opener, parsed.argument));
    }
    const std::string executable = ResolveExecutable(parsed.program);
    if (executable.empty()) throw FileNotFoundError("program not found: " + parsed.program);
    return static_cast<DWORD>(Spawn(executable, parsed.argument));
}

ProcessLauncher& CurrentProcessLauncher() {
    static NativeProcessLauncher native;
    ProcessLauncher* launcher = LauncherOverride();
    return launcher != nullptr ? *launcher : native;
}

ScopedProcessLauncher::ScopedProcessLauncher(ProcessLauncher& launcher)
    : previous_(LauncherOverride()) {
    LauncherOverride() = &launcher;
}

ScopedProcessLauncher::~ScopedProcessLauncher() { LauncherOverride() = previous_; }

DWORD StartCommandLine(std::string_view commandLine, int showMode) {
    return CurrentProcessLauncher().Start(commandLine, showMode);
}

bool ImageNameMatches(std::string_view processName, std::string_view imageName) {
    if (processName.empty()) return false;
    if (EqualsIgnoringAsciiCase(processName, imageName)) return true;
    return EndsWithIgnoringAsciiCase(imageName, ".exe") &&
           EqualsIgnoringAsciiCase(processName, imageName.substr(0, imageName.size() - 4));
}

std::optional<std::string> ProgramFolderImageFile(std::string_view imageName) {
    for (const std::string_view own : ProgramFolderImageNames) {
        if (!EqualsIgnoringAsciiCase(imageName, own)) continue;
        // As the launcher reads the name: the file as named, else without ".exe"
        // (also when neither is there now: the program may have been replaced).
        const std::string named = ProgramPath("/" + std::string(own));
        const std::string executable = ResolveExecutable(named);
        return executable.empty() ? named.substr(0, named.size() - 4) : executable;
    }
    return std::nullopt;
}

std::vector<pid_t> FindProcessesByImageName(std::string_view imageName) {
    if (const std::optional<std::string> file = ProgramFolderImageFile(imageName)) {
        return FindProcessesOfExecutable(*file);
    }
    std::vector<pid_t> found;
    for (const pid_t id : AllProcessIds()) {
        const std::optional<std::string> name = ProcessName(id);
        if (name && ImageNameMatches(*name, imageName)) found.push_back(id);
    }
    return found;
}

bool EndOtherProcessesByImageName(std::string_view imageName) {
    const pid_t self = getpid();
    bool callerIncluded = false;
    for (const pid_t id : FindProcessesByImageName(imageName)) {
        if (id == self) {
            callerIncluded = true;
        } else {
            kill(id, SIGKILL);
        }
    }
    return callerIncluded;
}

std::vector<pid_t> FindProcessesOfExecutable(std::string_view path) {
    std::vector<pid_t> found;
    struct stat wanted {};
    const bool exists = stat(std::string(path).c_str(), &wanted) == 0;
    // A program whose file was replaced while it ran (an upgrade) still
    // counts: its executable link names the path, marked deleted.
    std::error_code error;
    const std::string replaced = std::filesystem::weakly_canonical(std::string(path), error).string() + " (deleted)";
    for (const pid_t id : AllProcessIds()) {
        const std::string link = "/proc/" + std::to_string(id) + "/exe";
        struct stat status {};
        if (exists && stat(link.c_str(), &status) == 0 && status.st_dev == wanted.st_dev &&
            status.st_ino == wanted.st_ino) {
            found.push_back(id);
            continue;
        }
        char buffer[PATH_MAX];
        const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer);
        if (!error && length > 0 && std::string_view(buffer, static_cast<std::size_t>(length)) == replaced)
            found.push_back(id);
    }
    return found;
}

std::optional<bool>& PreviousInstanceOverride() {
    static std::optional<bool> running;
    return running;
}

ScopedPreviousInstance::ScopedPreviousInstance(bool running) : previous_(PreviousInstanceOverride()) {
    PreviousInstanceOverride() = running;
}

ScopedPreviousInstance::~ScopedPreviousInstance() { PreviousInstanceOverride() = previous_; }

namespace {

// When the process started, in clock ticks since boot; nothing once it is gone.
std::optional<unsigned long long> ProcessStartTime(pid_t id) {
    std::ifstream file("/proc/" + std::to_string(id) + "/stat");
    std::string line;
    if (!std::getline(file, line)) return std::nullopt;
    // The command name in parentheses may hold blanks and parentheses itself;
    // the fields after its last ')' start with the state (field 3), and the
    // start time is field 22.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::size_t position = close + 1;
    for (int field = 3; field < 22; ++field) {
        position = line.find(' ', position + 1);
        if (position == std::string::npos) return std::nullopt;
    }
    char* end = nullptr;
    const unsigned long long ticks = std::strtoull(line.c_str() + position + 1, &end, 10);
    if (end == line.c_str() + position + 1) return std::nullopt;
    return ticks;
}

}  // namespace

bool PreviousInstanceRunning() {
    if (const std::optional<bool> running = PreviousInstanceOverride()) return *running;
    const pid_t self = getpid();
    const std::optional<unsigned long long> selfStart = ProcessStartTime(self);
    for (const pid_t id : FindProcessesOfExecutable("/proc/self/exe")) {
        if (id == self) continue;
        const std::optional<unsigned long long> start = ProcessStartTime(id);
        // One that has ended meanwhile, or started later, is no previous instance.
        if (!start || !selfStart) continue;
        if (*start < *selfStart || (*start == *selfStart && id < self)) return true;
    }
    return false;
}

std::string FindOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr || name.empty()) return "";
    for (const std::string& folder : Split(path, ":")) {
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + std::string(name);
        if (IsExecutableFile(candidate)) return candidate;
    }
    return "";
}

}  // namespace zem::platform
