// The version text and the updater's argument: any fetched text gives a
// version or none; the updater splits whatever argument it is handed; and the
// argument the start builds from a version splits back into that version and
// its mode word, so no server text can shift the updater's fields.
#include "fuzz_support.h"
#include "updater/updater_argument.h"
#include "windows/version_check.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {
using zem::fuzz::Require;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto split = zem::updater::ParseUpdaterArgument(text);
    if (split) {
        Require(split->version.find(zem::updater::kFieldSeparator) == std::string::npos, "a version holds no separator");
        Require(split->mode.find(zem::updater::kFieldSeparator) == std::string::npos, "a mode holds no separator");
        Require(split->version.size() + split->mode.size() + 3 <= size, "the fields come from the argument");
    }

    const auto version = 版本检查::ServerVersion(text);
    if (!version) return 0;
    Require(version->size() <= 6 * 4, "a version is at most six characters");
    (void)版本检查::ServerVersionIsNewer("1.0", *version);
    for (std::string_view mode : {版本检查::UpgradeMode, 版本检查::CurrentMode}) {
        const std::string line = 版本检查::UpdateCommandLine(*version, mode);
        const std::string argument = line.substr(line.find("update.exe ") + 11);
        const auto parsed = zem::updater::ParseUpdaterArgument(argument);
        Require(parsed.has_value() && parsed->version == *version && parsed->mode == mode,
                "the updater reads back the version and mode it was given");
    }
    return 0;
}
