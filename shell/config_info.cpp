#include "shell/config_info.h"

#include "platform/base/text.h"
#include "platform/base/win32_types.h"
#include "platform/forms/program.h"
#include "platform/forms/runtime_error.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/profile.h"

#include <iostream>
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

bool WriteConfig(std::string_view section, std::string_view key, std::string_view value) {
    const std::string path = ConfigPath();
    return WritePrivateProfileStringA(platform::Utf8ToGbk(section).c_str(), platform::Utf8ToGbk(key).c_str(),
                                      platform::Utf8ToGbk(value).c_str(), path.c_str()) != FALSE;
}

// Both start their commands through the runtime's Shell, so a program that
// cannot be found is the runtime's error 53, which a skip-and-go-on handler traps.
void KillVodSoft(std::string_view SoftName) {
    zem::forms::Shell("cmd.exe /c taskkill /im " + std::string(SoftName) + " /f", SW_HIDE);
}

void KillAllPlayers() {
    for (const std::string_view name : AllPlayerImageNames) KillVodSoft(name);
}

void KillPlayerHelpers() {
    for (const std::string_view name : PlayerHelperImageNames) KillVodSoft(name);
}

// A machine without a web browser says so and goes on: the menu items that
// open pages trap nothing, and the run-time error would end the player.
void OpenInIE(std::string_view address) {
    try {
        zem::forms::Shell("C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe " + std::string(address),
                          SW_SHOWMINIMIZED);
    } catch (const zem::forms::RuntimeError& error) {
        if (error.Number() != zem::forms::errFileNotFound) throw;
        std::cerr << zem::forms::App::Title() << ": no web browser was found to open " << address << '\n';
    }
}

}  // namespace 配置信息
