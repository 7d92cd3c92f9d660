// For tests that end processes by name: the case runs again in a process
// namespace of its own (`unshare --pid --fork --mount-proc`), where /proc shows
// only the processes it started, so a fault that ends more than it should
// reaches no process outside. Also the starting and bounded waiting of child
// programs such tests need.
#pragma once

#include <gtest/gtest.h>

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

enum class NamespaceRun { Unavailable, Passed, Failed, DidNotEnd };

// Runs this test program's cases that match `filter` again, in a process
// namespace of their own, and waits for them (a whole program run's bound).
// Unavailable where the machine allows no such namespace.
inline NamespaceRun RerunInOwnProcessNamespace(const std::string& filter) {
    const pid_t probe = SpawnProgram({"unshare", "--pid", "--fork", "--mount-proc", "--", "true"});
    const std::optional<int> probed = probe > 0 ? WaitForExit(probe, kEventWaitMilliseconds) : std::nullopt;
    if (!probed || !WIFEXITED(*probed) || WEXITSTATUS(*probed) != 0) return NamespaceRun::Unavailable;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const pid_t inside = SpawnProgram({"unshare", "--pid", "--fork", "--mount-proc", "--", self, "--gtest_filter=" + filter},
                                      {std::string(kOwnProcessNamespaceMark) + "=1"});
    if (inside <= 0) return NamespaceRun::Failed;
    const std::optional<int> status = WaitForExit(inside, kProgramRunMilliseconds);
    if (!status) return NamespaceRun::DidNotEnd;
    return WIFEXITED(*status) && WEXITSTATUS(*status) == 0 ? NamespaceRun::Passed : NamespaceRun::Failed;
}

}  // namespace zem::testing

// At the start of a test's body: outside the namespace, runs the cases that
// match `filter` again inside one (or skips the test where none can be made),
// checks that they passed and returns; inside, the body goes on.
#define ZEM_RUN_IN_OWN_PROCESS_NAMESPACE(filter)                                                              \
    if (!zem::testing::InsideOwnProcessNamespace()) {                                                         \
        const auto run = zem::testing::RerunInOwnProcessNamespace(filter);                                    \
        if (run == zem::testing::NamespaceRun::Unavailable)                                                   \
            GTEST_SKIP() << "no process namespace can be made here (unshare --pid --fork --mount-proc)";      \
        EXPECT_EQ(run, zem::testing::NamespaceRun::Passed) << "the namespaced run failed or did not end";     \
        return;                                                                                               \
    }
