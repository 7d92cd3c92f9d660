#include "updater/updater_argument.h"

namespace zem::updater {

std::optional<UpdaterArgument> ParseUpdaterArgument(std::string_view argument) {
    const std::size_t first = argument.find(kFieldSeparator);
    if (argument.empty() || first == std::string_view::npos) return std::nullopt;
    const std::string_view rest = argument.substr(first + kFieldSeparator.size());
    const std::size_t second = rest.find(kFieldSeparator);
    return UpdaterArgument{std::string(argument.substr(0, first)), std::string(rest.substr(0, second))};
}

}  // namespace zem::updater
