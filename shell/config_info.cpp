#include "shell/config_info.h"

#include "platform/base/text.h"
#include "platform/base/win32_types.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/profile.h"

#include <vector>

namespace 配置信息 {

namespace platform = zem::platform;

std::string ConfigPath() { return platform::ProgramPath("\\zemskin\\Config.ini"); }

std::string ReadConfig(std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    const std::string ansiSection = platform::Utf8ToGbk(section);
    const std::string ansiKey = platform::Utf8ToGbk(key);
    const std::string ansiDefault = platform::Utf8ToGbk(defaultValue);
    const std::string path = ConfigPath();
    std::vector<char> buffer(ConfigBufferSize, ' ');
    GetPrivateProfileStringA(ansiSection.c_str(), ansiKey.c_str(), ansiDefault.c_str(),
                             buffer.data(), ConfigBufferSize, path.c_str());
    const std::string_view value(buffer.data());  // the part before the first NUL
    // A value cut inside a double-byte character loses that half character here.
    return platform::GbkToUtf8(value);
}

void WriteConfig(std::string_view section, std::string_view key, std::string_view value) {
    const std::string path = ConfigPath();
    WritePrivateProfileStringA(platform::Utf8ToGbk(section).c_str(), platform::Utf8ToGbk(key).c_str(),
                               platform::Utf8ToGbk(value).c_str(), path.c_str());
}

void KillVodSoft(std::string_view SoftName) {
    platform::StartCommandLine("cmd.exe /c taskkill /im " + std::string(SoftName) + " /f", SW_HIDE);
}

void KillAllPlayers() {
    for (const std::string_view name : AllPlayerImageNames) KillVodSoft(name);
}

void KillPlayerHelpers() {
    for (const std::string_view name : PlayerHelperImageNames) KillVodSoft(name);
}

void OpenInIE(std::string_view address) {
    platform::StartCommandLine(
        "C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe " + std::string(address),
        SW_SHOWMINIMIZED);
}

}  // namespace 配置信息
