// For tests of what a person sees: a virtual X server of the test's own
// (`Xvfb -displayfd 3 -noreset` on a display number it picks), since test
// programs run side by side and XTest moves a display's one pointer. It ends
// with the object, or with the test program however that ends.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "tests/support/test_child_process.h"

namespace zem::testing {

class XvfbServer {
public:
    // Starts the server; an empty Name() when it could not start.
    explicit XvfbServer(const char* screen = "1024x768x24") {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls until exec: the test program may
            // already run threads.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            ::dup2(ends[1], 3);  // dup2 clears close-on-exec on the copy
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 1);
            ::dup2(quiet, 2);
            ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", screen,
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(ends[1]);
        std::string number;
        char byte = 0;
        while (pid_ > 0 && ::read(ends[0], &byte, 1) == 1 && byte != '\n') number += byte;
        ::close(ends[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The display name (":n"), empty when the server did not start.
    const std::string& Name() const { return name_; }
    // Points DISPLAY at this server, for code that reads it (the web engine).
    void Export() const {
        if (!name_.empty()) ::setenv("DISPLAY", name_.c_str(), 1);
    }
    void Stop() { EndChildProcess(pid_); }

private:
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace zem::testing
