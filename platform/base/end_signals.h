// The signals that end a desktop session's programs: SIGTERM (a logout, a
// shutdown), SIGHUP (the terminal that started the program went) and SIGINT
// (Ctrl+C in it). By default each ends the process at once, and nothing the
// program holds only in memory survives. While an EndSignals lives, the
// signal handler only notes the signal; the program's own end runs in the
// event loop's wait, on the user-interface thread, like any notifier: also
// inside a modal step's loop and inside DoEvents, since those wait there too.
#pragma once

#include <signal.h>

#include <array>
#include <functional>
#include <optional>

#include "platform/base/event_loop.h"

namespace zem::platform {

class EndSignals {
public:
    // `ended` runs once, at the first of the signals; a signal that comes
    // while it runs, or after, only waits for the end it already started,
    // so an impatient second Ctrl+C cannot cut a save short. One EndSignals
    // at a time (the handler writes to its pipe).
    explicit EndSignals(std::function<void(int signal)> ended);
    // Gives the signals their dispositions from before back.
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // The signal that came first, once its end has begun.
    std::optional<int> Received() const { return received_; }

private:
    void Drain();

    std::function<void(int)> ended_;
    std::optional<int> received_;
    std::array<struct sigaction, 3> previous_{};  // of SIGTERM, SIGHUP, SIGINT
    int readEnd_ = -1;
    int writeEnd_ = -1;
    ScopedNotifier notifier_;
};

// Ends the process as the signal's default action would, so that whoever
// waits for it sees it ended by that signal. A process that is first in its
// process namespace is not ended by its own signal; it exits with 128 + the
// signal's number instead, as a shell reports such an end.
[[noreturn]] void EndAsBySignal(int signal);

}  // namespace zem::platform
