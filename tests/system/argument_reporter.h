// A program of the test's own that reports its arguments through a FIFO beside
// it; reading the FIFO waits for the program, so no test sleeps.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

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
    // The program's report: the count of its arguments, then each in brackets.
    std::string Report() const { return folder_.Read("out.fifo"); }

private:
    const TempFolder& folder_;
};

}  // namespace zem::testing
