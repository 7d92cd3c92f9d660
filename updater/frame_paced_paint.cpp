#include "updater/frame_paced_paint.h"

namespace zem::updater {

void FramePacedPaint::Request() {
    if (Pending()) return;
    const platform::Milliseconds now = platform::CurrentClock().Now();
    if (!lastPaint_ || now >= *lastPaint_ + kDisplayFrame) {
        PaintNow();
        return;
    }
    pending_ = platform::EventLoop::Get().RegisterTimer(*lastPaint_ + kDisplayFrame, [this] {
        pending_ = 0;
        PaintNow();
    });
}

void FramePacedPaint::Flush() {
    if (!Pending()) return;
    CancelPending();
    PaintNow();
}

void FramePacedPaint::PaintNow() {
    lastPaint_ = platform::CurrentClock().Now();
    if (paint_) paint_();
}

void FramePacedPaint::CancelPending() {
    if (pending_ != 0) platform::EventLoop::Get().UnregisterTimer(pending_);
    pending_ = 0;
}

}  // namespace zem::updater
