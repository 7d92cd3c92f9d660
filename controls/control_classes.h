// The class identifiers of the player's self-drawn controls, and their
// registration with the forms runtime, so that a form makes them by
// identifier: CreateControl("Velisto.SFPlayList", form, "SFPlayList1").
#pragma once

namespace zem::controls {

inline constexpr const char* kScrollBarClassId = "Velisto.SFVScrollBar";
inline constexpr const char* kPlayListClassId = "Velisto.SFPlayList";
inline constexpr const char* kSwitchClassId = "Velisto.an";

// Registers the three classes; a program calls it once at start (a second
// call registers them again, harmlessly).
void RegisterControlClasses();

}  // namespace zem::controls
