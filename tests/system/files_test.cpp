#include "platform/system/files.h"

#include "platform/system/profile.h"
#include "tests/system/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

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

TEST(Paths, APathInTheProgramFolderConvertsOnlyItsSuffix) {
    ScopedProgramFolder folder("/opt/zem player 影音\\盘");
    EXPECT_EQ(ProgramPath("\\zemskin\\Config.ini"), "/opt/zem player 影音\\盘/zemskin/Config.ini");
    EXPECT_EQ(ProgramPath("/zem.ini"), "/opt/zem player 影音\\盘/zem.ini");

    // Every file call takes such a path as it is.
    TempFolder real("zem player 影音\\盘");
    ScopedProgramFolder realFolder(real.Path().string());
    std::filesystem::create_directory(real.Path() / "zemskin");
    ASSERT_TRUE(WriteTextFile(ProgramPath("\\zemskin\\link.txt"), "电影\r\n"));
    EXPECT_EQ(real.Read("zemskin/link.txt"), "\xB5\xE7\xD3\xB0\r\n");
    EXPECT_EQ(ReadTextFileLines(ProgramPath("\\zemskin\\link.txt")), std::vector<std::string>{"电影"});
    EXPECT_EQ(Dir(ProgramPath("\\zemskin\\*.txt")), "link.txt");
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
    for (const Case& c : cases) EXPECT_EQ(Dir(base + ToPosixPath(c.relative)), c.found) << c.relative;
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
    for (const Case& c : cases) EXPECT_EQ(Dir(base + ToPosixPath(c.relative)), c.found) << c.relative;
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

TEST(FileBytes, AWholeReadAndAComparisonSeeEveryByteOfALargeFile) {
    TempFolder folder;
    std::string bytes(3 * 65536 + 17, '\0');
    for (std::size_t index = 0; index < bytes.size(); ++index) bytes[index] = static_cast<char>(index * 7 + index / 251);
    folder.Write("big", bytes);
    std::error_code error;
    EXPECT_EQ(ReadFileBytes(folder.File("big"), error), bytes);
    EXPECT_EQ(ReadFileBytes(folder.File("missing"), error), std::nullopt);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);

    std::string lastByteChanged = bytes;
    lastByteChanged.back() ^= 1;
    struct Case {
        std::string path;
        std::string expected;
        bool holds;
    };
    const Case cases[] = {
        {folder.File("big"), bytes, true},
        {folder.File("big"), lastByteChanged, false},
        {folder.File("big"), bytes.substr(0, bytes.size() - 1), false},
        {folder.File("big"), bytes + "x", false},
        {folder.File("missing"), "", false},
        {folder.Path().string(), "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(FileHoldsBytes(c.path, c.expected), c.holds) << c.expected.size();
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

// A save cut short by SIGKILL or a power cut leaves its temporary file beside
// the target. The next save of that target removes those of its own name that
// no live writer holds (one that holds its file locked is still writing), and
// nothing else: not other names, not other targets', not another folder's.
TEST(ReplaceFileAtomically, RemovesTheTemporaryFilesThatDeadWritersLeftBesideItsTarget) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "sub");
    const std::vector<std::string> abandoned{"zemplaylist.xml.tmp4242-17", "zemplaylist.xml.tmp1-0"};
    const std::vector<std::string> kept{"zemplaylist.xml.tmp5-5",  // held by a live writer below
                                        "zemplaylist.xml.tmp12-x", "zemplaylist.xml.tmp-1",
                                        "zemplaylist.xml.tmp3-3.bak", "Config.ini.tmp7-7",
                                        "sub/zemplaylist.xml.tmp9-9"};
    for (const std::string& name : abandoned) folder.Write(name, std::string(4096, 'x'));
    for (const std::string& name : kept) folder.Write(name, "y");
    const int held = open(folder.File("zemplaylist.xml.tmp5-5").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    ASSERT_TRUE(ReplaceFileAtomically(folder.File("zemplaylist.xml"), "<playlist/>"));
    close(held);

    EXPECT_EQ(folder.Read("zemplaylist.xml"), "<playlist/>");
    for (const std::string& name : abandoned) EXPECT_FALSE(std::filesystem::exists(folder.Path() / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(folder.Path() / name)) << name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()),
              7);  // the five kept here, the subfolder and the list
}

// The replacement renames over the file, which its own mode does not stop
// (and root passes every check): a file the user made read-only is refused.
TEST(ReplaceFileAtomically, RefusesAFileTheUserMadeReadOnly) {
    TempFolder folder;
    folder.Write("zem.ini", "old");
    std::filesystem::permissions(folder.Path() / "zem.ini", std::filesystem::perms(0444));
    EXPECT_FALSE(WriteTextFile(folder.File("zem.ini"), "new"));
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", folder.File("zem.ini").c_str()), FALSE);
    EXPECT_EQ(folder.Read("zem.ini"), "old");
    EXPECT_EQ(std::filesystem::status(folder.Path() / "zem.ini").permissions(), std::filesystem::perms(0444));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A folder the user cannot write keeps its file even when the file itself is
// writable: nothing falls back to writing in place. Root writes anywhere, so
// the attempt runs in a child under another user id.
TEST(ReplaceFileAtomically, LeavesAFolderTheUserCannotWriteAlone) {
    TempFolder folder;
    folder.Write("Config.ini", "old");
    std::filesystem::permissions(folder.File("Config.ini"), std::filesystem::perms(0666));
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0555));
    const auto replaced = [&] { return ReplaceFileAtomically(folder.File("Config.ini"), "new"); };
    if (geteuid() != 0) {
        EXPECT_FALSE(replaced());
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            constexpr uid_t nobody = 65534;
            if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(2);
            _exit(replaced() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced, 2: no other user id";
    }
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0700));
    EXPECT_EQ(folder.Read("Config.ini"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace zem::platform
