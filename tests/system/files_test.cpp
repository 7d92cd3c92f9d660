#include "platform/system/files.h"

#include "tests/system/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace zem::platform {
namespace {

using zem::testing::TempFolder;

TEST(Paths, BackslashesBecomeSeparatorsAndTheProgramFolderIsTheExecutables) {
    EXPECT_EQ(ToPosixPath("/opt/zem\\zemskin\\Config.ini"), "/opt/zem/zemskin/Config.ini");
    EXPECT_EQ(ToPosixPath("/opt/zem/zem.ini"), "/opt/zem/zem.ini");

    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ProgramFolder(), executable.parent_path().string());
    {
        ScopedProgramFolder outer("/a b");
        {
            ScopedProgramFolder inner("/c");
            EXPECT_EQ(ProgramFolder(), "/c");
        }
        EXPECT_EQ(ProgramFolder(), "/a b");
    }
    EXPECT_EQ(ProgramFolder(), executable.parent_path().string());
}

TEST(Dir, FindsNormalFilesOnly) {
    TempFolder folder;
    folder.Write("link.txt", "x");
    folder.Write("b.txt", "x");
    folder.Write(".hidden", "x");
    std::filesystem::create_directory(folder.Path() / "update.exe");
    const std::string base = folder.Path().string();

    struct Case {
        std::string relative;
        std::string found;
    };
    const Case cases[] = {
        {"\\link.txt", "link.txt"}, {"/link.txt", "link.txt"}, {"\\missing.txt", ""},
        {"\\update.exe", ""},       {"\\.hidden", ""},         {"\\*.txt", "b.txt"},
        {"\\l?nk.*", "link.txt"},   {"\\*.exe", ""},           {"\\nofolder\\a.txt", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Dir(base + c.relative), c.found) << c.relative;
}

TEST(Dir, FindsAProgramNamedWithTheExeEndingAsItsExecutable) {
    TempFolder folder;
    folder.Write("update", "#!/bin/sh\n");
    std::filesystem::permissions(folder.File("update"), std::filesystem::perms(0755));
    folder.Write("notes", "x");  // not executable
    folder.Write("zemdate.exe", "x");
    folder.Write("zemdate", "x");
    const std::string base = folder.Path().string();
    struct Case {
        std::string relative;
        std::string found;
    };
    const Case cases[] = {
        {"\\update.exe", "update"}, {"\\UPDATE.EXE", ""} /* names keep their case */,
        {"\\notes.exe", ""},        {"\\zemdate.exe", "zemdate.exe"},
        {"\\update", "update"},     {"\\update.ex?", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Dir(base + c.relative), c.found) << c.relative;
}

TEST(TextFiles, LinesEndAtCrOrCrLfButNotAtLfAlone) {
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\rc", {"a", "b", "c"}},
        {"a\nb\r", {"a\nb"}},
        {"\r\r\n\r", {"", "", ""}},
        {"a\r\n\r\n", {"a", ""}},
        {"", {}},
        {"   ", {"   "}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitTextLines(c.bytes), c.lines);
}

TEST(TextFiles, WriteWholeInGbkAndReadBackLineByLine) {
    TempFolder folder;
    const std::string path = folder.File("link.txt");
    ASSERT_TRUE(WriteTextFile(path, "电影###http://a/1\r\n\r\n剧集###http://a/2\r\n"));
    EXPECT_EQ(folder.Read("link.txt"),
              "\xB5\xE7\xD3\xB0###http://a/1\r\n\r\n\xBE\xE7\xBC\xAF###http://a/2\r\n");
    const auto lines = ReadTextFileLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"电影###http://a/1", "", "剧集###http://a/2"}));
    EXPECT_FALSE(ReadTextFileLines(folder.File("missing.txt")));
}

TEST(ReplaceFileAtomically, FailsWithoutTouchingAnythingWhenTheTargetCannotBeReplaced) {
    TempFolder folder;
    // Tests run as root, which ignores read-only folders; a missing folder and a
    // target that is a folder make the write fail instead.
    EXPECT_FALSE(ReplaceFileAtomically(folder.File("missing/Config.ini"), "x"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));

    std::filesystem::create_directory(folder.Path() / "Config.ini");
    EXPECT_FALSE(ReplaceFileAtomically(folder.File("Config.ini"), "x"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "Config.ini"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);

    folder.Write("keep.ini", "old");
    std::filesystem::permissions(folder.Path() / "keep.ini", std::filesystem::perms(0600));
    ASSERT_TRUE(ReplaceFileAtomically(folder.File("keep.ini"), "new"));
    EXPECT_EQ(folder.Read("keep.ini"), "new");
    EXPECT_EQ(std::filesystem::status(folder.Path() / "keep.ini").permissions(),
              std::filesystem::perms(0600));
}

}  // namespace
}  // namespace zem::platform
