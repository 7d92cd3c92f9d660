// For tests of what a person sees: an X server of the test program's own
// (Xvfb on a display number it picks), alive until the program ends.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace zem::testing {

class XvfbServer {
public:
    // Starts the server and points DISPLAY at it; an empty Display() when it
    // could not start.
    XvfbServer() {
        int channel[2];
        if (pipe(channel) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            // The server ends with the test program, however that ends.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(channel[0]);
            dup2(channel[1], 3);
            if (channel[1] != 3) close(channel[1]);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            dup2(quiet, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        std::string number;
        char c = 0;
        while (pid_ > 0 && read(channel[0], &c, 1) == 1 && c != '\n') number += c;
        close(channel[0]);
        if (number.empty()) return;
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace zem::testing
