// The bounds every transfer keeps against a hostile or broken server.
#pragma once

#include <cstdint>
#include <limits>

namespace zem::platform {

// A call without a callback (a download nobody watches, a whole-body fetch)
// cannot be cancelled by anyone: its caller holds its window until it
// returns, so it also has time and size bounds of its own.
struct DownloadLimits {
    long uncancellableSeconds = 60;
    std::uint64_t uncancellableBytes = 16 * 1024 * 1024;
    // Such a call waits about as long as a person waits for a window: the
    // connection and the answer's first byte within this time, and never
    // this long without a byte.
    long uncancellableFirstByteMilliseconds = 10000;
    long uncancellableStallMilliseconds = 10000;
    // A transfer slower than this, held for lowSpeedSeconds, fails.
    long lowSpeedBytesPerSecond = 1024;
    long lowSpeedSeconds = 30;
    // A callback hears OnProgress at least this often, data or not, so a
    // window that pumps its messages there stays responsive while a server stalls.
    long idleProgressMilliseconds = 100;
    // No body written to a file grows past this (a program sets it to more
    // than anything it really downloads), nor past the free space of the
    // file's filesystem less freeSpaceMarginBytes.
    std::uint64_t maximumBytes = std::numeric_limits<std::uint64_t>::max();
    // What a download leaves free: a full disk breaks the system and the
    // user's other programs (logs, settings replaced through a temporary
    // copy), which need some tens of MiB to go on; 64 MiB covers that and is
    // small against any disk the programs run on.
    std::uint64_t freeSpaceMarginBytes = 64 * 1024 * 1024;
};

// The limits in force: the defaults, changed by LimitDownloadBytes or while
// a ScopedDownloadLimits is alive.
const DownloadLimits& CurrentDownloadLimits();

// Sets maximumBytes for every later download of the process (a program, once
// at its start).
void LimitDownloadBytes(std::uint64_t bytes);

// Sets the limits for its lifetime (tests); restores the previous ones.
class ScopedDownloadLimits {
public:
    explicit ScopedDownloadLimits(DownloadLimits limits);
    ~ScopedDownloadLimits();
    ScopedDownloadLimits(const ScopedDownloadLimits&) = delete;
    ScopedDownloadLimits& operator=(const ScopedDownloadLimits&) = delete;

private:
    DownloadLimits previous_;
};

}  // namespace zem::platform
