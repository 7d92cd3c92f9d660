// Module 配置信息: the settings file Config.ini and the process services both
// programs share. The routines hold no state of their own.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace 配置信息 {

// The image names of the external players and of the player itself, in the
// order in which they are ended.
inline constexpr std::array<std::string_view, 5> AllPlayerImageNames{
    "BaiduP2PService.exe", "QvodPlayer.exe", "QvodTerminal.exe", "zemplayer.exe", "bofangqi.exe"};
// The same without the player's own image.
inline constexpr std::array<std::string_view, 4> PlayerHelperImageNames{
    "BaiduP2PService.exe", "QvodPlayer.exe", "QvodTerminal.exe", "bofangqi.exe"};

// The size of ReadConfig's buffer: a value of up to 32766 GBK bytes comes back whole.
inline constexpr unsigned ConfigBufferSize = 32767;

// The program folder followed by "\zemskin\Config.ini" (through ProgramPath).
std::string ConfigPath();

// The value of the key in the section of Config.ini, or the default when the
// file, the section or the key is missing. A longer value comes back cut at its
// first 32766 GBK bytes, less a character cut in two.
std::string ReadConfig(std::string_view section, std::string_view key,
                       std::string_view defaultValue);

// Stores the value under the key in the section; false when it could not be
// stored (the old file is then left whole). Callers that cannot go on
// without the value say so; the others let it pass.
bool WriteConfig(std::string_view section, std::string_view key, std::string_view value);

// Ends every process of the image name, with a hidden window, without waiting.
// Raises the runtime's file-not-found error (53) when the command cannot be started.
void KillVodSoft(std::string_view SoftName);

// KillVodSoft for the five image names in their order; the fourth ends the player.
void KillAllPlayers();

// KillVodSoft for the external players only; the player keeps running.
void KillPlayerHelpers();

// Opens the address in the web browser, window minimized and activated, without
// waiting; when no browser can be found, says so on standard error and returns.
void OpenInIE(std::string_view address);

}  // namespace 配置信息
