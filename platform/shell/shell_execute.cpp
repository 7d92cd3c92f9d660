#include "platform/shell/shell_execute.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system/process.h"

namespace {

HINSTANCE ResultOf(std::uintptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t index = 0; index < left.size(); ++index) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(left[index]) != lower(right[index])) return false;
    }
    return true;
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, const char* operation, const char* file, const char*, const char*, int showCommand) {
    if (operation != nullptr && *operation != '\0' && !EqualsIgnoringCase(operation, "open")) return ResultOf(31);
    if (file == nullptr || *file == '\0') return ResultOf(2);
    // The opener gets the address as its one argument, never through a shell.
    try {
        zem::platform::StartCommandLine("xdg-open " + std::string(file), showCommand);
    } catch (const zem::platform::FileNotFoundError&) {
        return ResultOf(2);
    }
    return ResultOf(42);
}
