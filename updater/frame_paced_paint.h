// FramePacedPaint: runs a paint at most once per display frame on the
// platform clock. A request a frame or more after the last paint paints at
// once; later requests within that frame wait for its end, where one paint
// shows whatever the state is then, so the last values win.
#pragma once

#include <functional>
#include <optional>

#include "platform/base/clock.h"
#include "platform/base/event_loop.h"

namespace zem::updater {

// A display frame: a screen refreshed 60 times a second shows no more than
// one picture in this time, so more paints in it are never seen.
inline constexpr platform::Milliseconds kDisplayFrame = 16;

class FramePacedPaint {
public:
    explicit FramePacedPaint(std::function<void()> paint) : paint_(std::move(paint)) {}
    ~FramePacedPaint() { CancelPending(); }
    FramePacedPaint(const FramePacedPaint&) = delete;
    FramePacedPaint& operator=(const FramePacedPaint&) = delete;

    // Paints now when a frame has passed since the last paint, else at the
    // end of the frame (once, however many requests come meanwhile).
    void Request();
    // Paints a waiting request now.
    void Flush();
    bool Pending() const { return pending_ != 0; }

private:
    void PaintNow();
    void CancelPending();

    std::function<void()> paint_;
    std::optional<platform::Milliseconds> lastPaint_;
    platform::LoopTimerId pending_ = 0;
};

}  // namespace zem::updater
