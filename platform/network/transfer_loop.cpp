#include "platform/network/transfer_loop.h"

#include <algorithm>

#include "platform/network/curl_session.h"

namespace zem::platform {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Watches the bytes of the answer (head and body) arrive and tells when the
// server has kept the caller waiting too long.
class ArrivalWatch {
public:
    ArrivalWatch(CURL* easy, const WaitBounds& bounds)
        : easy_(easy), bounds_(bounds), start_(steady_clock::now()), lastArrival_(start_) {}

    bool Overdue() {
        const steady_clock::time_point now = steady_clock::now();
        const curl_off_t arrived = ArrivedBytes();
        if (arrived != arrived_) {
            arrived_ = arrived;
            lastArrival_ = now;
        }
        if (arrived_ == 0) return Passed(bounds_.firstByte, now - start_);
        return Passed(bounds_.stall, now - lastArrival_);
    }

private:
    static bool Passed(milliseconds bound, steady_clock::duration waited) {
        return bound > milliseconds::zero() && waited >= bound;
    }

    curl_off_t ArrivedBytes() const {
        long head = 0;
        curl_off_t body = 0;
        curl_easy_getinfo(easy_, CURLINFO_HEADER_SIZE, &head);
        curl_easy_getinfo(easy_, CURLINFO_SIZE_DOWNLOAD_T, &body);
        return static_cast<curl_off_t>(head) + body;
    }

    CURL* easy_;
    WaitBounds bounds_;
    steady_clock::time_point start_;
    steady_clock::time_point lastArrival_;
    curl_off_t arrived_ = 0;
};

// The loop's longest sleep: the wake interval, or a shorter bound, so that a
// bound is kept to within one sleep.
int PollMilliseconds(const WaitBounds& bounds, milliseconds wakeInterval) {
    milliseconds sleep = std::max(wakeInterval, milliseconds(1));
    for (const milliseconds bound : {bounds.firstByte, bounds.stall}) {
        if (bound > milliseconds::zero()) sleep = std::min(sleep, bound);
    }
    return static_cast<int>(sleep.count());
}

}  // namespace

WaitBounds UncancellableWaitBounds(const DownloadLimits& limits) {
    return {milliseconds(limits.uncancellableFirstByteMilliseconds),
            milliseconds(limits.uncancellableStallMilliseconds)};
}

CURLcode RunTransfer(CURL* easy, const WaitBounds& bounds, milliseconds wakeInterval,
                     const std::function<bool()>& wake) {
    CurlMulti multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
    ArrivalWatch watch(easy, bounds);
    const int pollMilliseconds = PollMilliseconds(bounds, wakeInterval);
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
                if (message->msg == CURLMSG_DONE) result = message->data.result;
            }
            break;
        }
        // Judged after the library has taken in what the last sleep brought.
        if (watch.Overdue()) {
            result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        if (wake && !wake()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, pollMilliseconds, nullptr);
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

}  // namespace zem::platform
