// Runs one request of the transfer library on the calling thread, waking
// regularly, so that a caller can report progress, stop it, or bound how long
// it waits on a server that sends nothing.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <functional>

#include "platform/network/download_limits.h"

namespace zem::platform {

// How long a caller waits on the server; zero leaves a bound out.
struct WaitBounds {
    // From the start to the first byte of the answer (connecting included).
    std::chrono::milliseconds firstByte{0};
    // After that, the longest time without a byte.
    std::chrono::milliseconds stall{0};
};

// The bounds of a call nobody can cancel.
WaitBounds UncancellableWaitBounds(const DownloadLimits& limits);

// Runs `easy` to its end. The loop wakes at least every `wakeInterval`; then
// `wake`, when given, answers whether to go on (false stops the transfer with
// CURLE_ABORTED_BY_CALLBACK). A server that keeps the caller waiting past
// `bounds` stops it with CURLE_OPERATION_TIMEDOUT.
CURLcode RunTransfer(CURL* easy, const WaitBounds& bounds, std::chrono::milliseconds wakeInterval,
                     const std::function<bool()>& wake = nullptr);

}  // namespace zem::platform
