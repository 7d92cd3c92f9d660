#include "platform/network/download_limits.h"

namespace zem::platform {

namespace {

DownloadLimits& LimitsInForce() {
    static DownloadLimits limits;
    return limits;
}

}  // namespace

const DownloadLimits& CurrentDownloadLimits() { return LimitsInForce(); }

void LimitDownloadBytes(std::uint64_t bytes) { LimitsInForce().maximumBytes = bytes; }

ScopedDownloadLimits::ScopedDownloadLimits(DownloadLimits limits) : previous_(LimitsInForce()) {
    LimitsInForce() = limits;
}

ScopedDownloadLimits::~ScopedDownloadLimits() { LimitsInForce() = previous_; }

}  // namespace zem::platform
