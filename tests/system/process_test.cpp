#include "platform/system/process.h"

#include "platform/system/files.h"
#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/system/argument_reporter.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

extern char** environ;

namespace zem::platform {
namespace {

using zem::testing::ArgumentReporter;
using zem::testing::ScopedEnvironment;
using zem::testing::TempFolder;

TEST(ImageNames, MatchWithoutCaseAndWithOrWithoutTheExeEnding) {
    struct Case {
        std::string process, image;
        bool matches;
    };
    const Case cases[] = {
        {"zemplayer", "zemplayer.exe", true},  {"zemplayer.exe", "zemplayer.exe", true},
        {"ZemPlayer", "zemplayer.EXE", true},  {"zemplayer", "zemplayer", true},
        {"zemplayer2", "zemplayer.exe", false}, {"zemplayer.exe", "zemplayer", false},
        {"", ".exe", false},                    {"bofangqi", "QvodPlayer.exe", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ImageNameMatches(c.process, c.image), c.matches) << c.process << " / " << c.image;
    }
}

// The folder's name holds blanks, CJK characters and a backslash; the line
// names the program through ProgramPath or with the folder and a backslash.
TEST(NativeProcessLauncher, StartsAProgramOfTheProgramFolderWithItsArgumentUnchanged) {
    TempFolder folder("program folder 影音\\盘");
    ScopedProgramFolder programFolder(folder.Path().string());
    for (const std::string& program : {ProgramPath("\\update.exe"), folder.Path().string() + "\\update.exe"}) {
        SCOPED_TRACE(program);
        ArgumentReporter reporter(folder, "update");
        NativeProcessLauncher launcher;
        const DWORD id = launcher.Start(program + " 1.3###shengji###", SW_SHOWNORMAL);
        EXPECT_GT(id, 0u);
        EXPECT_EQ(reporter.Report(), "1\n[1.3###shengji###]\n");
        std::filesystem::remove(folder.File("out.fifo"));
    }
}

TEST(NativeProcessLauncher, OpensAnAddressWithTheUrlOpenerAndNeverThroughAShell) {
    TempFolder folder;
    ArgumentReporter reporter(folder, "xdg-open");
    ScopedEnvironment path("PATH", folder.Path().string());
    NativeProcessLauncher launcher;
    const std::string address = "http://127.0.0.1/a b;touch $(echo pwned)&c=`id`";
    launcher.Start("C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe " + address, SW_SHOWMINIMIZED);
    EXPECT_EQ(reporter.Report(), "1\n[" + address + "]\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "pwned"));
}

TEST(NativeProcessLauncher, ReportsFileNotFoundForWhatItCannotStart) {
    TempFolder folder;
    ScopedEnvironment path("PATH", folder.Path().string());  // no URL opener here
    ScopedProgramFolder programFolder(folder.Path().string());
    NativeProcessLauncher launcher;
    const std::string lines[] = {
        "C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe http://127.0.0.1/",
        folder.Path().string() + "\\update.exe 1.3###wu###",
        "cmd.exe /c del /q *",
        "",
    };
    for (const std::string& line : lines) {
        EXPECT_THROW(launcher.Start(line, SW_HIDE), FileNotFoundError) << line;
    }
    // Taskkill itself is there; arguments it would refuse end nothing.
    EXPECT_EQ(launcher.Start("cmd.exe /c taskkill /im a b /f", SW_HIDE), 0u);
    EXPECT_EQ(launcher.Start("cmd.exe /c taskkill", SW_HIDE), 0u);
}

// A copy of /bin/sleep under a name no other process has, started by the test.
class UniqueSleeper {
public:
    explicit UniqueSleeper(const TempFolder& folder) {
        std::random_device random;
        name_ = "zemsleep" + std::to_string(getpid()) + "x" + std::to_string(random() % 100000);
        path_ = folder.File(name_);
        std::filesystem::copy_file("/bin/sleep", path_);
    }
    pid_t Start() const {
        char* arguments[] = {const_cast<char*>(path_.c_str()), const_cast<char*>("600"), nullptr};
        pid_t id = 0;
        EXPECT_EQ(posix_spawn(&id, path_.c_str(), nullptr, nullptr, arguments, environ), 0);
        return id;
    }
    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }

private:
    std::string name_;
    std::string path_;
};

int WaitForEnd(pid_t id) {
    int status = 0;
    EXPECT_EQ(waitpid(id, &status, 0), id);
    return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST(NativeProcessLauncher, TaskkillEndsEveryProcessOfTheImageNameAndNothingElse) {
    TempFolder folder;
    UniqueSleeper sleeper(folder);
    const pid_t first = sleeper.Start();
    const pid_t second = sleeper.Start();
    std::vector<pid_t> found = FindProcessesByImageName(sleeper.Name() + ".exe");
    std::sort(found.begin(), found.end());
    std::vector<pid_t> started{first, second};
    std::sort(started.begin(), started.end());
    EXPECT_EQ(found, started);
    EXPECT_EQ(FindProcessesOfExecutable(sleeper.Path()), found);

    NativeProcessLauncher launcher;
    EXPECT_EQ(launcher.Start("cmd.exe /c taskkill /im " + sleeper.Name() + ".exe /f", SW_HIDE), 0u);
    EXPECT_EQ(WaitForEnd(first), SIGKILL);
    EXPECT_EQ(WaitForEnd(second), SIGKILL);
    EXPECT_TRUE(FindProcessesByImageName(sleeper.Name()).empty());
}

// The programs of the program folder are ended by their file, not by their
// name: "update" is a common name of other programs. A stand-in (a copy of
// sleep) named after each, started from the program folder, another started
// there before an upgrade replaced the file, and one of the same name in
// another folder; only the last keeps running. The caller, when it runs the
// folder's file, is told. Run in a process namespace of its own, so that a
// fault ends nothing outside it.
TEST(EndingOwnImageNames, EndsOnlyTheProcessesOfTheProgramFoldersFile) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("EndingOwnImageNames.*")

    for (const std::string name : {"update", "zemplayer"}) {
        SCOPED_TRACE(name);
        TempFolder programFolder("程序 目录"), elsewhere;
        ScopedProgramFolder scope(programFolder.Path().string());
        const auto start = [](const std::string& path) {
            return zem::testing::SpawnProgram({path, "600"});
        };
        std::filesystem::copy_file("/bin/sleep", programFolder.File(name));
        const pid_t beforeUpgrade = start(programFolder.File(name));
        std::filesystem::copy_file("/bin/sleep", programFolder.File(name + ".new"));
        std::filesystem::rename(programFolder.File(name + ".new"), programFolder.File(name));
        const pid_t current = start(programFolder.File(name));
        std::filesystem::copy_file("/bin/sleep", elsewhere.File(name));
        const pid_t other = start(elsewhere.File(name));

        NativeProcessLauncher launcher;
        EXPECT_EQ(launcher.Start("cmd.exe /c taskkill /im " + name + ".exe /f", SW_HIDE), 0u);
        const auto endedByKill = [](pid_t id) {
            const std::optional<int> status = zem::testing::WaitForExit(id, zem::testing::kEventWaitMilliseconds);
            if (status) return WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL;
            kill(id, SIGKILL);  // still running: the test has failed, and ends it
            zem::testing::WaitForExit(id, zem::testing::kEventWaitMilliseconds);
            return false;
        };
        EXPECT_TRUE(endedByKill(current));
        EXPECT_TRUE(endedByKill(beforeUpgrade));
        EXPECT_FALSE(zem::testing::WaitForExit(other, 0).has_value()) << "the other folder's program was ended";
        kill(other, SIGKILL);
        zem::testing::WaitForExit(other, zem::testing::kEventWaitMilliseconds);
    }

    // The caller is one of them when it runs the folder's file (the updater
    // ending "update.exe" ends itself): it is told, not killed.
    TempFolder programFolder;
    ScopedProgramFolder scope(programFolder.Path().string());
    EXPECT_FALSE(EndOtherProcessesByImageName("update.exe"));
    std::filesystem::create_symlink(std::filesystem::read_symlink("/proc/self/exe"), programFolder.File("update"));
    EXPECT_TRUE(EndOtherProcessesByImageName("update.exe"));
    EXPECT_TRUE(EndOtherProcessesByImageName("UPDATE.EXE"));
    EXPECT_FALSE(EndOtherProcessesByImageName("zemplayer.exe"));
}

TEST(ProcessLauncher, ScopedOverrideReplacesAndRestoresTheLauncher) {
    struct Recorder : ProcessLauncher {
        std::vector<std::pair<std::string, int>> started;
        DWORD Start(std::string_view commandLine, int showMode) override {
            started.emplace_back(commandLine, showMode);
            return 7;
        }
    };
    ProcessLauncher* const native = &CurrentProcessLauncher();
    Recorder outer, inner;
    {
        ScopedProcessLauncher outerScope(outer);
        {
            ScopedProcessLauncher innerScope(inner);
            EXPECT_EQ(StartCommandLine("a b", SW_HIDE), 7u);
        }
        StartCommandLine("c", SW_SHOWMINIMIZED);
    }
    EXPECT_EQ(&CurrentProcessLauncher(), native);
    EXPECT_EQ(inner.started, (std::vector<std::pair<std::string, int>>{{"a b", SW_HIDE}}));
    EXPECT_EQ(outer.started, (std::vector<std::pair<std::string, int>>{{"c", SW_SHOWMINIMIZED}}));
}

// A process of the probe program, talked to through pipes on its input and output.
class InstanceProbe {
public:
    InstanceProbe() {
        int input[2];
        int output[2];
        EXPECT_EQ(pipe2(input, O_CLOEXEC), 0);
        EXPECT_EQ(pipe2(output, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        char* arguments[] = {const_cast<char*>(ZEM_INSTANCE_PROBE), nullptr};
        EXPECT_EQ(posix_spawn(&id_, ZEM_INSTANCE_PROBE, &actions, nullptr, arguments, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        input_ = input[1];
        output_ = output[0];
    }
    ~InstanceProbe() {
        close(input_);  // the probe ends
        waitpid(id_, nullptr, 0);
        close(output_);
    }
    InstanceProbe(const InstanceProbe&) = delete;
    InstanceProbe& operator=(const InstanceProbe&) = delete;

    void Check() { EXPECT_EQ(write(input_, "g", 1), 1); }
    // '1' when the probe found a previous instance, '0' when not; '?' when it
    // gave no answer in a test's wait for an event.
    char Answer() {
        pollfd entry{output_, POLLIN, 0};
        char answer = '?';
        if (poll(&entry, 1, zem::testing::kEventWaitMilliseconds) == 1 && read(output_, &answer, 1) != 1) answer = '?';
        return answer;
    }

private:
    pid_t id_ = 0;
    int input_ = -1;
    int output_ = -1;
};

// Started one right after the other, often within the same clock tick, two
// instances both run; the later one asks first and the earlier one after it,
// yet only the later one finds a previous instance.
TEST(PreviousInstance, OfTwoInstancesStartedTogetherOnlyTheLaterOneFindsTheOther) {
    {
        InstanceProbe alone;
        alone.Check();
        EXPECT_EQ(alone.Answer(), '0');
    }
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        InstanceProbe earlier;
        InstanceProbe later;
        later.Check();
        EXPECT_EQ(later.Answer(), '1');
        earlier.Check();
        EXPECT_EQ(earlier.Answer(), '0');
    }
}

TEST(PreviousInstance, ScopedAnswerReplacesAndRestoresTheRealOne) {
    const bool real = PreviousInstanceRunning();
    {
        ScopedPreviousInstance running(true);
        EXPECT_TRUE(PreviousInstanceRunning());
        {
            ScopedPreviousInstance alone(false);
            EXPECT_FALSE(PreviousInstanceRunning());
        }
        EXPECT_TRUE(PreviousInstanceRunning());
    }
    EXPECT_EQ(PreviousInstanceRunning(), real);
}

}  // namespace
}  // namespace zem::platform
