// A process launcher that records every command line instead of starting it;
// it can be told to refuse, and to tell the test of each start as it comes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/system/process.h"

namespace zem::testing {

class RecordingLauncher : public platform::ProcessLauncher {
public:
    DWORD Start(std::string_view commandLine, int showMode) override {
        started.emplace_back(commandLine, showMode);
        if (onStart) onStart(std::string(commandLine));
        if (fail) throw platform::FileNotFoundError("refused by the test");
        return 4242;
    }
    std::vector<std::pair<std::string, int>> started;
    std::function<void(const std::string&)> onStart;
    bool fail = false;
};

}  // namespace zem::testing
