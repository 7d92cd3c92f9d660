// The two string routines that build the package's path.
#include <gtest/gtest.h>

#include <string>

#include "updater/string_routines.h"

namespace {

TEST(AddString, AppendsTheSuffixUnlessTheSourceEndsInIt) {
    struct Case {
        std::string source, suffix, expected;
    } cases[] = {
        {"C:\\程序\\", "\\", "C:\\程序\\"},
        {"C:\\程序", "\\", "C:\\程序\\"},
        {"folder", "", "folder"},
        {"", "\\", "\\"},
        {"Name.EXE", ".exe", "Name.EXE"},  // compared lower-cased
        {"中文", "文", "中文"},             // compared by characters
        {"x", "long suffix", "xlong suffix"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModAddString::AddString(c.source, c.suffix), c.expected) << c.source << " + " << c.suffix;
}

TEST(GetFileNameInPath, TakesTheLastComponent) {
    struct Case {
        std::string path;
        bool noExtension;
        std::string expected;
    } cases[] = {
        {"http://127.0.0.1:8080/vant/app/zemdate.exe", false, "zemdate.exe"},
        {"http://127.0.0.1:8080/vant/app/zemdate.exe", true, "zemdate"},
        {"  C:\\a\\b.tar.gz  ", true, "b.tar"},
        {"C:\\a\\b/c.exe", false, "b/c.exe"},  // a backslash wins over later slashes
        {"no separator.exe", false, ""},
        {"http://host/folder/", false, ""},
        {"http://host/README", false, "README"},  // no dot: the name as it is
        {"http://host/README", true, "README"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModGetFileNameInPath::GetFileNameInPath(c.path, c.noExtension), c.expected) << c.path;
}

}  // namespace
