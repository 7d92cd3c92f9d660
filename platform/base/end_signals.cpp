#include "platform/base/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <stdexcept>

namespace zem::platform {
namespace {

constexpr std::array<int, 3> kEndSignals{SIGTERM, SIGHUP, SIGINT};

// The pipe the handler writes to. A signal handler can reach nothing but
// process-wide state; this is the one such value, set while an EndSignals lives.
std::atomic<int> handlerPipe{-1};

// Any thread may run it: it only writes the signal's number, which is safe
// in a handler, and keeps errno for the code it interrupted.
void NoteSignal(int signal) {
    const int saved = errno;
    const int descriptor = handlerPipe.load();
    const char number = static_cast<char>(signal);
    // A full pipe already holds a signal: nothing is lost.
    if (descriptor >= 0) {
        [[maybe_unused]] const ssize_t written = write(descriptor, &number, 1);
    }
    errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void(int signal)> ended) : ended_(std::move(ended)) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("no pipe for the end signals");
    int expected = -1;
    if (!handlerPipe.compare_exchange_strong(expected, ends[1])) {
        close(ends[0]);
        close(ends[1]);
        throw std::logic_error("one EndSignals at a time");
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    notifier_ = ScopedNotifier(readEnd_, POLLIN, [this](short) { Drain(); });
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls elsewhere go on: only the loop's wait notices.
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < std::size(kEndSignals); ++index)
        sigaction(kEndSignals[index], &action, &previous_[index]);
}

EndSignals::~EndSignals() {
    for (std::size_t index = 0; index < std::size(kEndSignals); ++index)
        sigaction(kEndSignals[index], &previous_[index], nullptr);
    notifier_.Release();
    handlerPipe.store(-1);
    close(readEnd_);
    close(writeEnd_);
}

void EndSignals::Drain() {
    char numbers[64];
    ssize_t count = 0;
    int first = 0;
    while ((count = read(readEnd_, numbers, sizeof numbers)) > 0)
        if (first == 0) first = numbers[0];
    if (first == 0 || received_) return;
    received_ = first;
    if (ended_) ended_(first);
}

void EndAsBySignal(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);
}

}  // namespace zem::platform
