// A process launcher for tests: records every command line instead of
// starting it, and can be told to refuse.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system/process.h"

namespace zem::testing {

class RecordingLauncher : public platform::ProcessLauncher {
public:
    DWORD Start(std::string_view commandLine, int showMode) override {
        started.emplace_back(commandLine, showMode);
        if (onStart) onStart();
        if (fail) throw platform::FileNotFoundError("refused by the test");
        return 4242;
    }
    std::vector<std::pair<std::string, int>> started;
    bool fail = false;
    // Runs at each start, after it is recorded: a test looks at the state then.
    std::function<void()> onStart;
};

}  // namespace zem::testing
