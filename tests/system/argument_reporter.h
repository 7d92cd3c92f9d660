// A program of the test's own that reports its arguments through a FIFO beside
// it; reading the FIFO waits for the program, so no test sleeps. The wait is
// bounded (a test's wait for an event): a program that never starts fails
// the test instead of holding it until the test runner's time-out.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include <filesystem>
#include <string>

#include "tests/support/event_wait.h"
#include "tests/system/temp_folder.h"

namespace zem::testing {

class ArgumentReporter {
public:
    ArgumentReporter(const TempFolder& folder, const std::string& name) : folder_(folder) {
        const std::string path = folder.File(name);
        folder.Write(name,
                     "#!/bin/sh\n"
                     "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done; } > \"${0%/*}/out.fifo\"\n");
        std::filesystem::permissions(path, std::filesystem::perms(0755));
        EXPECT_EQ(mkfifo(folder.File("out.fifo").c_str(), 0600), 0);
    }
    // The program's report: the count of its arguments, then each in brackets;
    // what arrived so far (usually nothing) when the program has not written
    // and closed it within a test's wait for an event.
    std::string Report() const {
        const int fifo = open(folder_.File("out.fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fifo < 0) return "";
        const auto deadline = std::chrono::steady_clock::now() + zem::testing::kEventWait;
        std::string report;
        bool written = false;  // a writer came and went
        while (!written) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                ADD_FAILURE() << "the program did not report";
                break;
            }
            pollfd entry{fifo, POLLIN, 0};
            if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
            char buffer[4096];
            const ssize_t count = read(fifo, buffer, sizeof buffer);
            if (count > 0) {
                report.append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || (entry.revents & POLLHUP) != 0) {
                written = true;
            }
        }
        close(fifo);
        return report;
    }

private:
    const TempFolder& folder_;
};

}  // namespace zem::testing
