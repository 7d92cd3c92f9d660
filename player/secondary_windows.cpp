#include "player/secondary_windows.h"

#include <utility>

namespace zem::player {
namespace {

SecondaryWindows& Registered() {
    static SecondaryWindows windows;
    return windows;
}

}  // namespace

void RegisterSecondaryWindows(SecondaryWindows windows) { Registered() = std::move(windows); }

const SecondaryWindows& RegisteredSecondaryWindows() { return Registered(); }

}  // namespace zem::player
