// GLib's main context (the web engine's and the toolkit's sources) as part of
// the program's one event loop: one wait covers GLib's descriptors and the
// loop's own time-out, and what is ready is dispatched on the user-interface
// thread. Only the web view code includes the toolkit; this header does not.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace zem::platform::webview {

// True once the toolkit runs on this display; false without an X display or
// with ZEM_HEADLESS=1 (the views are then headless). The first call starts it.
bool EngineAvailable();

// Waits up to `timeout` (nothing: until a source is ready) for GLib's
// descriptors and timers, then dispatches what is ready. Returns at once when
// something already is.
void RunEngineEvents(std::optional<std::chrono::milliseconds> timeout);

// A nested loop for a synchronous answer from the engine: runs GLib's sources
// (and nothing of the window system) until `done` or `limit` has passed.
// Returns done().
bool RunEngineUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace zem::platform::webview
