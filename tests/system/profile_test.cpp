#include "platform/system/profile.h"

#include "tests/system/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <thread>
#include <string>
#include <vector>

namespace {

using zem::testing::TempFolder;

std::string Read(const std::string& path, const char* section, const char* key,
                 const char* fallback = "dflt", DWORD size = 32767) {
    std::vector<char> buffer(size + 1, '#');
    const DWORD copied = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, path.c_str());
    EXPECT_EQ(buffer[copied], '\0');
    return std::string(buffer.data(), copied);
}

TEST(GetPrivateProfileString, FindsValuesWithoutLetterCaseAndTrimsBlanks) {
    TempFolder folder;
    folder.Write("Config.ini",
                 "; comment=not a key\r\n"
                 "[Version]\r\n"
                 "  Version = 1.3 \t\r\n"
                 "[Form]\r\n"
                 "form=True\r\n"
                 "quoted=\"  x  \"\r\n"
                 "empty=\r\n"
                 "form=ignored, the first key counts\r\n"
                 "[form]\r\n"
                 "extra=second section of the same name\r\n"
                 "[\xC5\xE4\xD6\xC3]\r\n"            // 配置
                 "\xC3\xFB\xD7\xD6=\xD6\xB5\r\n"     // 名字=值
                 "[\x81\x41]\r\n"                     // a character whose trail byte is "A"
                 "k=upper trail\r\n");
    const std::string path = folder.File("Config.ini");
    struct Case {
        const char* section;
        const char* key;
        std::string value;
    };
    const Case cases[] = {
        {"Version", "Version", "1.3"},
        {"VERSION", "version", "1.3"},
        {" Version ", "Version", "1.3"},
        {"form", "FORM", "True"},
        {"form", "quoted", "  x  "},
        {"form", "empty", ""},
        {"form", "extra", "dflt"},
        {"Nope", "form", "dflt"},
        {"Version", "nope", "dflt"},
        {"", "comment", "dflt"},
        {"\xC5\xE4\xD6\xC3", "\xC3\xFB\xD7\xD6", "\xD6\xB5"},
        {"\x81\x41", "K", "upper trail"},
        {"\x81\x61", "k", "dflt"},  // a different character, never folded into the first
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(path, c.section, c.key), c.value) << c.section << "/" << c.key;
    }
}

TEST(GetPrivateProfileString, GivesTheDefaultWhenTheFileCannotBeRead) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "folder.ini");
    for (const std::string name : {"missing.ini", "folder.ini", "nofolder/Config.ini"}) {
        const std::string path = folder.File(name);
        EXPECT_EQ(Read(path, "Version", "Version", ""), "") << name;
        EXPECT_EQ(Read(path, "Version", "Version", "1.0  "), "1.0") << name;
        EXPECT_EQ(Read(path, "Version", "Version", nullptr), "") << name;
    }
}

// Every 2 s, opens the FIFO for writing and closes it again: a reader stuck in
// open() or read() waiting for a writer is let go, so a fault fails the test
// (it took too long) instead of holding it.
class PipeWatchdog {
public:
    explicit PipeWatchdog(std::string path)
        : thread_([path = std::move(path)](std::stop_token stop) {
              std::mutex mutex;
              std::condition_variable_any never;
              std::unique_lock lock(mutex);
              // Returns at once when the test is done with the file.
              while (!never.wait_for(lock, stop, std::chrono::seconds(2), [&stop] { return stop.stop_requested(); })) {
                  const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (writer >= 0) close(writer);
              }
          }) {}

private:
    std::jthread thread_;
};

// A pipe, a device or a file over 16 MiB reads as missing and is never
// replaced; a link to a regular file and a file of exactly 16 MiB are read.
TEST(ProfileStrings, OnlyARegularFileOfUpTo16MiBIsRead) {
    TempFolder folder;
    const std::string settings = "[s]\r\nk=v\r\n";
    const auto fileOfSize = [&](const std::string& name, std::uintmax_t size) {
        folder.Write(name, settings);
        std::filesystem::resize_file(folder.File(name), size);  // sparse: costs no disk
        return name;
    };
    ASSERT_EQ(mkfifo(folder.File("pipe.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.Path() / "zero.ini");
    const std::uintmax_t limit = std::uintmax_t{16} << 20;
    const std::string larger = fileOfSize("larger.ini", limit + 1);
    const std::string largest = fileOfSize("largest.ini", limit);
    folder.Write("regular.ini", settings);
    std::filesystem::create_symlink(folder.Path() / "regular.ini", folder.Path() / "link.ini");

    for (const std::string& name : {largest, std::string("link.ini")}) {
        EXPECT_EQ(Read(folder.File(name), "s", "k"), "v") << name;
    }
    for (const std::string& name : {std::string("pipe.ini"), std::string("zero.ini"), larger}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        const auto status = std::filesystem::symlink_status(path);
        const std::uintmax_t size = status.type() == std::filesystem::file_type::regular
                                        ? std::filesystem::file_size(path) : 0;
        const auto started = std::chrono::steady_clock::now();
        {
            PipeWatchdog watchdog(path);
            EXPECT_EQ(Read(path, "s", "k"), "dflt");
            EXPECT_EQ(WritePrivateProfileStringA("s", "k", "w", path.c_str()), FALSE);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << "waited for a writer";
        const auto after = std::filesystem::symlink_status(path);
        EXPECT_EQ(after.type(), status.type());
        if (after.type() == std::filesystem::file_type::regular) {
            EXPECT_EQ(std::filesystem::file_size(path), size);
        }
    }
}

TEST(GetPrivateProfileString, CutsTheValueToTheBuffer) {
    TempFolder folder;
    folder.Write("a.ini", "[s]\r\nk=0123456789\r\nlong=" + std::string(100000, 'x') + "\r\n");
    const std::string path = folder.File("a.ini");
    EXPECT_EQ(Read(path, "s", "k", "", 11), "0123456789");
    EXPECT_EQ(Read(path, "s", "k", "", 10), "012345678");
    EXPECT_EQ(Read(path, "s", "k", "", 1), "");
    EXPECT_EQ(Read(path, "s", "long"), std::string(32766, 'x'));
    EXPECT_EQ(Read(path, "s", "none", "abcdef", 4), "abc");
}

TEST(GetPrivateProfileString, ReadsEveryLineEndAndKeepsForeignBytes) {
    TempFolder folder;
    const std::pair<std::string, std::string> files[] = {
        {"cr.ini", "[a]\rk=v\r[b]\rk=w"},
        {"lf.ini", "[a]\nk=v\n[b]\nk=w\n"},
        {"mixed.ini", "[a]\r\nk=v\r[b]\nk=w"},
    };
    for (const auto& [name, bytes] : files) {
        folder.Write(name, bytes);
        EXPECT_EQ(Read(folder.File(name), "a", "k"), "v") << name;
        EXPECT_EQ(Read(folder.File(name), "b", "k"), "w") << name;
    }
    folder.Write("raw.ini", "[a]\r\nk=\xFF\xFE\x80z\r\n");
    EXPECT_EQ(Read(folder.File("raw.ini"), "a", "k"), "\xFF\xFE\x80z");
}

TEST(GetPrivateProfileString, ListsSectionAndKeyNames) {
    TempFolder folder;
    folder.Write("a.ini", "[one]\r\nx=1\r\ny=2\r\n[two]\r\n");
    const std::string path = folder.File("a.ini");
    char buffer[64];
    DWORD copied = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path.c_str());
    EXPECT_EQ(std::string(buffer, copied), std::string("one\0two\0", 8));
    EXPECT_EQ(buffer[copied], '\0');
    copied = GetPrivateProfileStringA("ONE", nullptr, "", buffer, sizeof buffer, path.c_str());
    EXPECT_EQ(std::string(buffer, copied), std::string("x\0y\0", 4));
    EXPECT_EQ(buffer[copied], '\0');
}

TEST(GetPrivateProfileString, CutsNameListsToTheBufferWithoutWritingPastIt) {
    TempFolder folder;
    folder.Write("a.ini", "[a]\r\n[b]\r\n[ccc]\r\nk1=1\r\nkey2=2\r\n");
    const std::string path = folder.File("a.ini");
    struct ListCase {
        const char* section;
        DWORD size;
        std::string expected;  // the buffer's first `size` bytes
        DWORD copied;
    };
    const ListCase cases[] = {
        {nullptr, 3, std::string("a\0\0", 3), 1},       // "a" fills it, "b" follows
        {nullptr, 4, std::string("a\0\0\0", 4), 2},     // one byte short of "b"
        {nullptr, 5, std::string("a\0b\0\0", 5), 3},   // "a" and "b" fill it, "ccc" follows
        {nullptr, 2, std::string("\0\0", 2), 0},
        {"ccc", 4, std::string("k1\0\0", 4), 2},
        {"ccc", 5, std::string("k1\0\0\0", 5), 3},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.size);
        // Guard bytes after the buffer show a write past `size`.
        std::vector<char> buffer(c.size + 8, '#');
        const DWORD copied = GetPrivateProfileStringA(c.section, nullptr, "", buffer.data(), c.size,
                                                      path.c_str());
        EXPECT_EQ(copied, c.copied);
        EXPECT_EQ(std::string(buffer.data(), c.size), c.expected);
        EXPECT_EQ(std::string(buffer.data() + c.size, 8), std::string(8, '#'));
    }
}

struct WriteCase {
    const char* name;
    std::string before;  // "<none>": no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(WritePrivateProfileString, CreatesReplacesAndKeepsEverythingElse) {
    const WriteCase cases[] = {
        {"creates the file", "<none>", "Version", "Version", "1.3", "[Version]\r\nVersion=1.3\r\n"},
        {"replaces in place", "[s]\r\nk=old\r\n", "s", "k", "new", "[s]\r\nk=new\r\n"},
        {"keeps spelling, blanks, comments and line ends",
         "; c\n[s]\n  K = old\n\n[t]\nx=1\n", "S", "k", "new",
         "; c\n[s]\n  K = new\n\n[t]\nx=1\n"},
        {"adds a key after the section's last line",
         "[s]\r\na=1\r\n\r\n[t]\r\n", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n\r\n[t]\r\n"},
        {"adds a section at the end", "[s]\r\na=1", "t", "b", "2",
         "[s]\r\na=1\r\n[t]\r\nb=2\r\n"},
        {"writes into the first of a repeated section", "[s]\r\na=1\r\n[s]\r\na=2\r\n", "s", "a",
         "3", "[s]\r\na=3\r\n[s]\r\na=2\r\n"},
        {"keeps foreign bytes", "[s]\r\nraw=\xFF\x80\r\nk=1\r\n", "s", "k", "2",
         "[s]\r\nraw=\xFF\x80\r\nk=2\r\n"},
        {"keeps CR-only lines", "[s]\rk=1\rx=2\r", "s", "k", "9", "[s]\rk=9\rx=2\r"},
        {"deletes a key", "[s]\r\na=1\r\nb=2\r\n", "s", "a", nullptr, "[s]\r\nb=2\r\n"},
        {"deletes a section", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", "s", nullptr, nullptr,
         "[t]\r\nb=2\r\n"},
        {"empty value", "[s]\r\nk=1\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        if (c.before != "<none>") folder.Write("a.ini", c.before);
        EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, folder.File("a.ini").c_str()),
                  TRUE);
        EXPECT_EQ(folder.Read("a.ini"), c.after);
    }
}

TEST(WritePrivateProfileString, RefusesWhatWouldBreakTheFileAndLeavesItWhole) {
    const std::string before = "[form]\r\nform=True\r\n";
    const WriteCase cases[] = {
        {"line break in value", before, "form", "form", "False\r\n[Version]\r\nVersion=9", before},
        {"line break in key", before, "form", "a\nb", "1", before},
        {"bracket in section", before, "fo]rm", "form", "1", before},
        {"equals in key", before, "form", "a=b", "1", before},
        {"blank key", before, "form", "  ", "1", before},
        {"no section", before, nullptr, "form", "1", before},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        folder.Write("a.ini", c.before);
        EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, folder.File("a.ini").c_str()),
                  FALSE);
        EXPECT_EQ(folder.Read("a.ini"), c.after);
    }
}

TEST(WritePrivateProfileString, FailsWhenTheFileCannotBeReplaced) {
    // Tests run as root, which ignores read-only folders: a missing folder and a
    // path that is a folder make the write fail instead.
    TempFolder folder;
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", folder.File("missing/a.ini").c_str()), FALSE);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));
    std::filesystem::create_directory(folder.Path() / "a.ini");
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", folder.File("a.ini").c_str()), FALSE);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "a.ini"));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path() / "a.ini"));
}

TEST(ProfileStrings, WrittenValuesReadBack) {
    TempFolder folder;
    const std::string path = folder.File("a.ini");
    const std::string longValue(40000, 'v');
    ASSERT_EQ(WritePrivateProfileStringA("form", "form", "False", path.c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringA("Version", "Version", "1.3", path.c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringA("form", "run", " padded ", path.c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringA("form", "long", longValue.c_str(), path.c_str()), TRUE);
    ASSERT_EQ(WritePrivateProfileStringA("FORM", "Form", "True", path.c_str()), TRUE);
    EXPECT_EQ(Read(path, "form", "form"), "True");
    EXPECT_EQ(Read(path, "Version", "Version"), "1.3");
    EXPECT_EQ(Read(path, "form", "run"), "padded");
    EXPECT_EQ(Read(path, "form", "long", "", 50000), longValue);
    EXPECT_EQ(folder.Read("a.ini"), "[form]\r\nform=True\r\nrun= padded \r\nlong=" + longValue +
                                        "\r\n[Version]\r\nVersion=1.3\r\n");
}

}  // namespace
