// For tests of what a person sees: a virtual X server of the test's own
// (`Xvfb -displayfd 3 -noreset`), since test programs run side by side and
// XTest moves a display's one pointer. It ends with the object.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace display_test {

class XvfbServer {
public:
    explicit XvfbServer(const char* screen = "1024x768x24") {
        int ends[2];
        if (::pipe(ends) != 0) return;
        // Both ends above 3, so that placing the write end at 3 closes neither.
        for (int& end : ends) {
            const int moved = ::fcntl(end, F_DUPFD_CLOEXEC, 10);
            ::close(end);
            end = moved;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::string screenArgument = screen;
        const char* arguments[] = {"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp",
                                   "-screen", "0", screenArgument.c_str(), nullptr};
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(arguments), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        std::string number;
        char byte;
        while (pid_ > 0 && ::read(ends[0], &byte, 1) == 1 && byte != '\n') number += byte;
        ::close(ends[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The display name (":n"), empty when the server did not start.
    const std::string& Name() const { return name_; }
    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace display_test
