#include "shell/config_info.h"

#include "platform/base/win32_types.h"
#include "platform/forms/runtime_error.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace platform = zem::platform;
using zem::testing::ScopedEnvironment;
using zem::testing::TempFolder;

struct StartedCommand {
    std::string commandLine;
    int showMode;
    bool operator==(const StartedCommand&) const = default;
};

// Records the command lines instead of starting them; fails the Nth if asked.
class RecordingLauncher : public platform::ProcessLauncher {
public:
    explicit RecordingLauncher(int failingCall = 0) : failingCall_(failingCall) {}
    DWORD Start(std::string_view commandLine, int showMode) override {
        if (++calls_ == failingCall_) throw platform::FileNotFoundError("not found");
        started.push_back({std::string(commandLine), showMode});
        return 0;
    }
    std::vector<StartedCommand> started;

private:
    int failingCall_;
    int calls_ = 0;
};

std::vector<StartedCommand> Taskkills(std::vector<std::string> names) {
    std::vector<StartedCommand> commands;
    for (const std::string& name : names) {
        commands.push_back({"cmd.exe /c taskkill /im " + name + " /f", SW_HIDE});
    }
    return commands;
}

TEST(KillVodSoft, StartsTheTaskkillCommandHidden) {
    RecordingLauncher launcher;
    platform::ScopedProcessLauncher scope(launcher);
    配置信息::KillVodSoft("update.exe");
    EXPECT_EQ(launcher.started, Taskkills({"update.exe"}));
}

TEST(KillAllPlayers, EndsTheFiveImagesInOrderThePlayerFourth) {
    RecordingLauncher launcher;
    platform::ScopedProcessLauncher scope(launcher);
    配置信息::KillAllPlayers();
    EXPECT_EQ(launcher.started, Taskkills({"BaiduP2PService.exe", "QvodPlayer.exe", "QvodTerminal.exe",
                                           "zemplayer.exe", "bofangqi.exe"}));
}

TEST(KillPlayerHelpers, EndsTheExternalPlayersButNeverThePlayer) {
    RecordingLauncher launcher;
    platform::ScopedProcessLauncher scope(launcher);
    配置信息::KillPlayerHelpers();
    EXPECT_EQ(launcher.started,
              Taskkills({"BaiduP2PService.exe", "QvodPlayer.exe", "QvodTerminal.exe", "bofangqi.exe"}));
}

// A missing program is the runtime's error 53, so a handler that skips errors
// and goes on traps it.
TEST(KillAllPlayers, PassesOnAFailureAfterTheCommandsStartedSoFar) {
    RecordingLauncher launcher(/*failingCall=*/3);
    platform::ScopedProcessLauncher scope(launcher);
    EXPECT_FALSE(zem::forms::SkipOnError([] { 配置信息::KillAllPlayers(); }));
    EXPECT_EQ(launcher.started, Taskkills({"BaiduP2PService.exe", "QvodPlayer.exe"}));
}

TEST(KillVodSoft, AMissingProgramIsTheRuntimesFileNotFoundError) {
    RecordingLauncher launcher(/*failingCall=*/1);
    platform::ScopedProcessLauncher scope(launcher);
    try {
        配置信息::KillVodSoft("x.exe");
        ADD_FAILURE() << "no error";
    } catch (const zem::forms::RuntimeError& error) {
        EXPECT_EQ(error.Number(), zem::forms::errFileNotFound);
    }
}

// No browser on the machine (the real launcher finds no URL opener on an
// empty PATH, or a launcher refuses): said on standard error, and no error
// reaches the caller.
TEST(OpenInIE, WithoutAWebBrowserSaysSoAndReturns) {
    TempFolder emptyFolder;
    ScopedEnvironment path("PATH", emptyFolder.Path().string());
    RecordingLauncher refusing(/*failingCall=*/1);
    for (const bool native : {true, false}) {
        SCOPED_TRACE(native ? "native launcher" : "refusing launcher");
        std::optional<platform::ScopedProcessLauncher> scope;
        if (!native) scope.emplace(refusing);
        ::testing::internal::CaptureStderr();
        EXPECT_NO_THROW(配置信息::OpenInIE("http://127.0.0.1/guestbook"));
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("no web browser was found to open http://127.0.0.1/guestbook"),
                  std::string::npos);
    }
}

TEST(OpenInIE, PassesTheAddressUnquotedMinimizedAndActivated) {
    RecordingLauncher launcher;
    platform::ScopedProcessLauncher scope(launcher);
    配置信息::OpenInIE("http://127.0.0.1/a page?q=x y");
    const std::vector<StartedCommand> expected{
        {"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe http://127.0.0.1/a page?q=x y",
         SW_SHOWMINIMIZED}};
    EXPECT_EQ(launcher.started, expected);
}

// A program folder with its data folder zemskin and no Config.ini yet. The
// folder's name holds a blank, CJK characters and a backslash, which must stay
// as they are in every path built from it.
class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() { std::filesystem::create_directory(folder_.Path() / "zemskin"); }
    std::string ConfigBytes() const { return folder_.Read("zemskin/Config.ini"); }
    void WriteConfigBytes(const std::string& bytes) const { folder_.Write("zemskin/Config.ini", bytes); }

    TempFolder folder_{"zem player 影音\\盘"};
    platform::ScopedProgramFolder programFolder_{folder_.Path().string()};
};

TEST_F(ConfigTest, AFreshDataFolderGivesTheDefault) {
    EXPECT_EQ(配置信息::ConfigPath(), folder_.Path().string() + "/zemskin/Config.ini");
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "");
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "zemskin" / "Config.ini"));
}

TEST_F(ConfigTest, WritesTextInGbkAndReadsItBackUnchanged) {
    配置信息::WriteConfig("form", "form", "False");
    配置信息::WriteConfig("Version", "Version", "1.3");
    配置信息::WriteConfig("form", "名称", "播放器");
    EXPECT_EQ(配置信息::ReadConfig("form", "form", ""), "False");
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.3");
    EXPECT_EQ(配置信息::ReadConfig("form", "名称", ""), "播放器");
    EXPECT_EQ(ConfigBytes(), "[form]\r\nform=False\r\n\xC3\xFB\xB3\xC6=\xB2\xA5\xB7\xC5\xC6\xF7\r\n"
                             "[Version]\r\nVersion=1.3\r\n");
}

TEST_F(ConfigTest, ALongValueIsCutAtACharacterBoundaryOfItsFirst32766Bytes) {
    const std::string zhong = "中";  // two bytes in GBK
    std::string even, odd = "a";
    for (int index = 0; index < 20000; ++index) even += zhong, odd += zhong;
    std::string evenCut, oddCut = "a";
    for (int index = 0; index < 16383; ++index) evenCut += zhong;
    for (int index = 0; index < 16382; ++index) oddCut += zhong;  // half of the next one dropped

    配置信息::WriteConfig("s", "even", even);
    配置信息::WriteConfig("s", "odd", odd);
    配置信息::WriteConfig("s", "ascii", std::string(40000, 'x'));
    EXPECT_EQ(配置信息::ReadConfig("s", "even", ""), evenCut);
    EXPECT_EQ(配置信息::ReadConfig("s", "odd", ""), oddCut);
    EXPECT_EQ(配置信息::ReadConfig("s", "ascii", ""), std::string(32766, 'x'));
}

TEST_F(ConfigTest, BytesThatAreNotGbkReadAsReplacementCharactersAndSurviveWrites) {
    WriteConfigBytes("[Version]\r\nVersion=1.\xFF\r\n[form]\rform=True\r");
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.\xEF\xBF\xBD");
    EXPECT_EQ(配置信息::ReadConfig("form", "form", ""), "True");
    配置信息::WriteConfig("form", "form", "False");
    EXPECT_EQ(ConfigBytes(), "[Version]\r\nVersion=1.\xFF\r\n[form]\rform=False\r");
}

TEST_F(ConfigTest, AFailedWriteGoesUnnoticedAndLosesNothing) {
    // Tests run as root, so a read-only folder would not stop the write; a
    // Config.ini that is a folder, and a missing data folder, do.
    std::filesystem::create_directory(folder_.Path() / "zemskin" / "Config.ini");
    配置信息::WriteConfig("form", "form", "True");
    EXPECT_EQ(配置信息::ReadConfig("form", "form", ""), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder_.Path() / "zemskin" / "Config.ini"));

    std::filesystem::remove_all(folder_.Path() / "zemskin");
    配置信息::WriteConfig("form", "form", "True");
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "zemskin"));
}

}  // namespace
