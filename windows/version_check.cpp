#include "windows/version_check.h"

#include "platform/base/text.h"
#include "platform/forms/program.h"
#include "platform/network/content_server.h"
#include "platform/system/files.h"

namespace 版本检查 {

std::string VersionTextAddress() {
    return zem::content_server::Join(zem::content_server::FixedHost(), zem::content_server::kVersionTextPath);
}

std::optional<std::string> ServerVersion(std::string_view versionText) {
    const std::size_t marker = zem::platform::FindText(versionText, VersionMarker);
    if (marker == std::string_view::npos) return std::nullopt;
    const std::string_view slice = zem::platform::SubstringCharacters(versionText.substr(marker), 0, 6);
    std::string_view version = slice.substr(slice.find(' ') + 1);
    // A version shorter than three characters ends at its line's end: the
    // line break is no part of it, and carried on it would reach the
    // updater's argument and the installed version in Config.ini.
    version = version.substr(0, version.find_first_of("\r\n"));
    return std::string(version);
}

bool ServerVersionIsNewer(std::string_view installed, std::string_view server) {
    return zem::platform::CompareOrdinal(installed, server) < 0;
}

std::string SavedVersionTextPath() { return zem::platform::ProgramPath("/zem.ini"); }

bool SaveVersionText(std::string_view versionText) {
    std::string text(versionText);
    text += "\r\n";
    return zem::platform::WriteTextFile(SavedVersionTextPath(), text);
}

std::string UpdateCommandLine(std::string_view serverVersion, std::string_view mode) {
    std::string line = zem::platform::ProgramPath("\\update.exe") + " ";
    line.append(serverVersion).append("###").append(mode).append("###");
    return line;
}

bool UpdaterPresent() { return !zem::forms::Dir(zem::platform::ProgramPath("\\update.exe")).empty(); }

}  // namespace 版本检查
