// A desktop program a test starts on its own virtual X server (a window
// manager, a panel): its child, quiet, ended with the object (or, as Xvfb,
// with the test program however that ends).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace zem::testing {

// Ends a child of the test (SIGTERM) and waits for it; `pid` is -1 after.
inline void EndChildProcess(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
}

class TestChildProcess {
public:
    // Runs `arguments` (the program first, found on PATH) with DISPLAY set to
    // `display` and the other variables of `variables` ("NAME=value") in
    // place of the test's own.
    TestChildProcess(const std::string& display, std::vector<std::string> arguments,
                     const std::vector<std::string>& variables = {}) {
        // The environment is made before the fork: the child only execs.
        std::vector<std::string> environment{"DISPLAY=" + display};
        environment.insert(environment.end(), variables.begin(), variables.end());
        for (char** each = environ; *each != nullptr; ++each) {
            const char* equals = std::strchr(*each, '=');
            const std::string name(*each, equals != nullptr ? static_cast<std::size_t>(equals - *each) : 0);
            bool replaced = name == "DISPLAY";
            for (const std::string& variable : variables) replaced = replaced || variable.rfind(name + "=", 0) == 0;
            if (!replaced) environment.emplace_back(*each);
        }
        std::vector<char*> environmentPointers;
        for (std::string& each : environment) environmentPointers.push_back(each.data());
        environmentPointers.push_back(nullptr);
        std::vector<char*> argumentPointers;
        for (std::string& each : arguments) argumentPointers.push_back(each.data());
        argumentPointers.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 1);
            ::dup2(quiet, 2);
            ::execvpe(argumentPointers[0], argumentPointers.data(), environmentPointers.data());
            ::_exit(127);
        }
    }
    ~TestChildProcess() { Stop(); }
    TestChildProcess(const TestChildProcess&) = delete;
    TestChildProcess& operator=(const TestChildProcess&) = delete;

    // Whether the child was started and has not yet ended.
    bool Alive() {
        if (pid_ <= 0) return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return true;
        pid_ = -1;
        return false;
    }
    // Ends the child and waits for it.
    void Stop() { EndChildProcess(pid_); }
    // Stops the child (SIGSTOP) and waits until it has stopped; Resume continues it.
    void Suspend() {
        if (pid_ <= 0 || ::kill(pid_, SIGSTOP) != 0) return;
        int status = 0;
        ::waitpid(pid_, &status, WUNTRACED);
    }
    void Resume() {
        if (pid_ > 0) ::kill(pid_, SIGCONT);
    }

private:
    pid_t pid_ = -1;
};

}  // namespace zem::testing
