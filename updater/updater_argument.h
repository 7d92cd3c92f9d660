// The updater's one command-line argument: the offered version, "###", the
// mode word and "###". Pure, so that any text can be thrown at it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zem::updater {

inline constexpr std::string_view kFieldSeparator = "###";

struct UpdaterArgument {
    std::string version;  // field 0
    std::string mode;     // field 1, compared exactly, with case
};

// Fields 0 and 1 of the argument split at "###"; the trailing "###" only
// makes an empty third field, which is not used. Nothing for an empty
// argument, and nothing for one without "###": such a text has no mode word,
// and the updater then ends quietly rather than with a run-time error.
std::optional<UpdaterArgument> ParseUpdaterArgument(std::string_view argument);

}  // namespace zem::updater
