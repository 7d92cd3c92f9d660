// ShellExecuteA "open": only http and https addresses with a host reach the
// desktop's URL opener (a recording one here), encoded so that no blank,
// control character or raw non-ASCII byte goes out; everything else opens
// nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/shell/shell_execute.h"

namespace zem::platform {
namespace {

class RecordingOpener final : public UrlOpener {
public:
    bool OpenUri(const std::string& uri) override {
        opened.push_back(uri);
        return answer;
    }
    std::vector<std::string> opened;
    bool answer = true;
};

LONG_PTR Open(const std::string& utf8File, const char* operation = "Open") {
    const std::string file = Utf8ToGbk(utf8File);
    return reinterpret_cast<LONG_PTR>(ShellExecuteA(nullptr, operation, file.c_str(), "0", "0", 0));
}

TEST(ShellExecuteTest, WebAddressesReachTheOpenerEncodedAndNothingElseDoes) {
    struct Case {
        std::string file;
        std::string opened;  // "" when nothing may be opened
    };
    const std::vector<Case> cases = {
        {"http://127.0.0.1:8080/index.asp", "http://127.0.0.1:8080/index.asp"},
        {"HTTPS://example.test/a?b=1#c", "HTTPS://example.test/a?b=1#c"},
        {"http://127.0.0.1/电影 1.html", "http://127.0.0.1/%E7%94%B5%E5%BD%B1%201.html"},
        {"http://127.0.0.1/a%20b", "http://127.0.0.1/a%20b"},
        {"http://127.0.0.1/a\r\nb", "http://127.0.0.1/a%0D%0Ab"},
        {"", ""},
        {"   ", ""},
        {"0", ""},
        {"file:///etc/passwd", ""},
        {"/usr/bin/xterm", ""},
        {"xterm -e rm -rf ~", ""},
        {"javascript:alert(1)", ""},
        {"qvodplay://film", ""},
        {"http://", ""},
        {"http:///path-without-host", ""},
        {"ftp://127.0.0.1/", ""},
        {"--help", ""},
        {"; http://127.0.0.1/", ""},
    };
    for (const Case& c : cases) {
        RecordingOpener opener;
        ScopedUrlOpener scope(opener);
        const LONG_PTR answer = Open(c.file);
        if (c.opened.empty()) {
            EXPECT_TRUE(opener.opened.empty()) << c.file;
            EXPECT_LE(answer, 32) << c.file;
        } else {
            EXPECT_EQ(opener.opened, std::vector<std::string>{c.opened}) << c.file;
            EXPECT_GT(answer, 32) << c.file;
        }
    }
}

TEST(ShellExecuteTest, OtherOperationsAndTheOpenersFailureAreAnsweredAsFailures) {
    RecordingOpener opener;
    ScopedUrlOpener scope(opener);
    EXPECT_EQ(Open("http://127.0.0.1/", "print"), SE_ERR_NOASSOC);
    EXPECT_EQ(Open("http://127.0.0.1/", "runas"), SE_ERR_NOASSOC);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_GT(Open("http://127.0.0.1/", nullptr), 32);
    EXPECT_GT(Open("http://127.0.0.1/", "OPEN"), 32);
    // No web browser: said on standard error, and a failure answered.
    opener.answer = false;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Open("http://127.0.0.1/a b"), SE_ERR_NOASSOC);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("no web browser was found to open http://127.0.0.1/a%20b"),
              std::string::npos);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(ShellExecuteA(nullptr, "Open", nullptr, "0", "0", 0)), SE_ERR_FNF);
    EXPECT_EQ(opener.opened.size(), 3u);
}

}  // namespace
}  // namespace zem::platform
