// For tests that end processes by name: the case runs again in a process
// namespace of its own (`unshare --pid --fork --mount-proc`), where /proc shows
// only the processes it started, so a fault that ends more than it should
// reaches no process outside. Also the starting and bounded waiting of child
// programs such tests need.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/event_wait.h"

extern char** environ;

namespace zem::testing {

// Starts a program (found on PATH) with arguments and extra environment
// entries ("NAME=value") before the inherited ones, its output and errors to
// `output` when that is a descriptor; its id, or -1.
inline pid_t SpawnProgram(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {},
                          int output = -1) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    for (char** entry = environ; *entry != nullptr; ++entry) envp.push_back(*entry);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output >= 0) {
        posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
    }
    pid_t child = -1;
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed != 0 ? -1 : child;
}

// Waits for the child's end, at most `milliseconds`, by its process descriptor;
// its wait status, or nothing when it still runs.
inline std::optional<int> WaitForExit(pid_t child, int milliseconds) {
    const int descriptor = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    if (descriptor >= 0) {
        pollfd ended{descriptor, POLLIN, 0};
        const int ready = poll(&ended, 1, milliseconds);
        close(descriptor);
        if (ready != 1) return std::nullopt;
    }
    int status = 0;
    // A child of the process launcher is reaped by the launcher itself: it
    // has ended all the same.
    if (waitpid(child, &status, 0) != child) return 0;
    return status;
}

inline constexpr const char* kOwnProcessNamespaceMark = "ZEM_OWN_PROCESS_NAMESPACE";

// Whether this run is the one inside the namespace.
inline bool InsideOwnProcessNamespace() { return std::getenv(kOwnProcessNamespaceMark) != nullptr; }

// Why no process namespace can be made here (a plain chroot, a container
// that allows no new namespaces), in unshare's own words; nothing when one can.
inline std::optional<std::string> ProcessNamespaceUnavailable() {
    const std::string tried = "unshare --pid --fork --mount-proc";
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return tried + ": no pipe for its answer";
    const pid_t probe = SpawnProgram({"unshare", "--pid", "--fork", "--mount-proc", "--", "true"}, {}, ends[1]);
    close(ends[1]);
    const std::optional<int> probed = probe > 0 ? WaitForExit(probe, kEventWaitMilliseconds) : std::nullopt;
    std::string said;
    char buffer[256];
    for (pollfd readable{ends[0], POLLIN, 0}; poll(&readable, 1, 0) == 1;) {
        const ssize_t count = read(ends[0], buffer, sizeof buffer);
        if (count <= 0) break;
        said.append(buffer, static_cast<std::size_t>(count));
    }
    close(ends[0]);
    if (probed && WIFEXITED(*probed) && WEXITSTATUS(*probed) == 0) return std::nullopt;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) said.pop_back();
    if (probe <= 0) return tried + " could not be started";
    if (!probed) return tried + " did not end";
    return tried + " failed" + (said.empty() ? std::string() : ": " + said);
}

enum class NamespaceRun { Passed, Failed, DidNotEnd };

// Runs this test program's cases that match `filter` again, in a process
// namespace of their own, and waits for them (a whole program run's bound,
// or a longer one for cases that run several programs one after another).
inline NamespaceRun RerunInOwnProcessNamespace(const std::string& filter, int milliseconds = kProgramRunMilliseconds) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const pid_t inside = SpawnProgram({"unshare", "--pid", "--fork", "--mount-proc", "--", self, "--gtest_filter=" + filter},
                                      {std::string(kOwnProcessNamespaceMark) + "=1"});
    if (inside <= 0) return NamespaceRun::Failed;
    const std::optional<int> status = WaitForExit(inside, milliseconds);
    if (!status) return NamespaceRun::DidNotEnd;
    return WIFEXITED(*status) && WEXITSTATUS(*status) == 0 ? NamespaceRun::Passed : NamespaceRun::Failed;
}

}  // namespace zem::testing

// At the start of a test's body: outside the namespace, runs the cases that
// match `filter` again inside one (or skips the test, saying why, where none
// can be made), checks that they passed and returns; inside, the body goes on.
// A bound in milliseconds may follow the filter.
#define ZEM_RUN_IN_OWN_PROCESS_NAMESPACE(filter, ...)                                                            \
    if (!zem::testing::InsideOwnProcessNamespace()) {                                                         \
        if (const auto unavailable = zem::testing::ProcessNamespaceUnavailable())                             \
            GTEST_SKIP() << "it ends processes by name, so it runs only in a PID namespace of its own, and "  \
                            "none can be made here: "                                                         \
                         << *unavailable;                                                                     \
        const auto run = zem::testing::RerunInOwnProcessNamespace(filter __VA_OPT__(, ) __VA_ARGS__);                                  \
        EXPECT_EQ(run, zem::testing::NamespaceRun::Passed) << "the namespaced run failed or did not end";     \
        return;                                                                                               \
    }
