// Module 版本检查: the version text the content server publishes, the saved
// copy "/zem.ini", the comparison of versions and the updater's command line.
// The start-up window and the menu window's manual check share it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace 版本检查 {

// The mark before the server version in the version text.
inline constexpr std::string_view VersionMarker = "== ";
// The updater's mode words: a newer version exists / the installed one is current.
inline constexpr std::string_view UpgradeMode = "shengji";
inline constexpr std::string_view CurrentMode = "wu";

// The content server's fixed host followed by "/vant/app/wen.txt".
std::string VersionTextAddress();

// The server version: from the first marker on, 6 characters, and of those
// what follows their first blank (so up to 3 characters after the marker).
// Nothing when the text holds no marker, or when the version holds a control
// character, a blank or "#" (it would shift the fields of the updater's argument).
std::optional<std::string> ServerVersion(std::string_view versionText);

// Versions compare as texts, ordinally: the server's is newer only when the
// installed text is the lesser. An empty server version is never newer.
bool ServerVersionIsNewer(std::string_view installed, std::string_view server);

// The program folder followed by "/zem.ini".
std::string SavedVersionTextPath();

// Writes the whole fetched text and one CR LF to "/zem.ini" in the ANSI code
// page, replacing the earlier file at once; false (old file kept) on failure.
bool SaveVersionText(std::string_view versionText);

// The program folder followed by "\update.exe ", the server version, "###",
// the mode word and "###". The path is not quoted: the launcher tells a path
// in the program folder from its argument by the folder itself, so blanks in
// the folder reach nobody's argument.
std::string UpdateCommandLine(std::string_view serverVersion, std::string_view mode);

// Whether a directory lookup finds "\update.exe" in the program folder.
bool UpdaterPresent();

}  // namespace 版本检查
