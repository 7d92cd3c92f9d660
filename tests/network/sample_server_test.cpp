#include "site/sample_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "platform/network/content_server.h"

namespace {

namespace server = zem::content_server;
using zem::site::FillAddressMark;
using zem::site::SampleServer;

class SampleServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.Start()); }

    httplib::Result Get(const std::string& path) {
        httplib::Client client("127.0.0.1", site.Port());
        client.set_follow_location(true);
        return client.Get(path.c_str());
    }

    SampleServer site;
};

TEST_F(SampleServerTest, AnswersEveryPathTheProgramsUse) {
    const std::string_view paths[] = {
        server::kVersionTextPath,  server::kTickerFilePath,        server::kUpdatePackagePath,
        server::kLogoPagePath,     server::kOrkePagePath,          server::kGuestbookPath,
        server::kFeedbackPagePath, server::kHostHomePagePath,      server::kLibraryPagePath,
        server::kChannelPagePath,  server::kAdvertisementPagePath, server::kGuestBookPagePath,
        server::kHomePagePath,     "/vant/bofang/1.html",
    };
    for (const auto path : paths) {
        auto result = Get(std::string(path));
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, 200) << path;
        EXPECT_FALSE(result->body.empty()) << path;
    }
}

TEST_F(SampleServerTest, VersionTextPublishesThisServerAsTheBaseAddress) {
    auto result = Get(std::string(server::kVersionTextPath));
    ASSERT_TRUE(result);
    const std::string& text = result->body;
    EXPECT_NE(text.find("== 1.3"), std::string::npos);
    EXPECT_NE(text.find("url=" + site.Address() + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("[huangchong]\r\nhuangchong=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("[da]\r\nda="), std::string::npos);
    EXPECT_EQ(text.find(zem::site::kAddressMark), std::string::npos);
}

TEST_F(SampleServerTest, PagesCarryTheSchemesThePlayerAnswers) {
    struct Case {
        std::string path;
        std::string mustHold;
    };
    const Case cases[] = {
        {"/vant/", "<title>"},
        {"/vant/", "href=\"qvodplay:///vant/"},
        {"/vant/", "href=\"bdhdplay:///vant/"},
        {"/vant/", "href=\"gbook://"},
        {"/vant/pindao.asp?id=66", "href=\"play:///vant/"},
        {"/vant/pindao.asp?id=66", "href=\"colse://"},
        {"/vant/bofang/1.html", "href=\"colse://"},
        {"/vant/xinchuangkou.html", "target=\"_blank\""},
        {"/vant/xinchuangkou.html", "window.open("},
        {"/vant/kuangjia.html", "<iframe src=\"/vant/pindao.asp?id=66\""},
    };
    for (const auto& item : cases) {
        auto result = Get(item.path);
        ASSERT_TRUE(result) << item.path;
        EXPECT_NE(result->body.find(item.mustHold), std::string::npos)
            << item.path << " " << item.mustHold;
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8")
            << item.path;
    }
}

TEST_F(SampleServerTest, RecordsTheTargetOfEveryRequestAsSent) {
    ASSERT_TRUE(Get("/vant/bofang/1.html?a=b%20c"));
    ASSERT_TRUE(Get("/no/such/page.html"));
    EXPECT_EQ(site.RequestedTargets(),
              (std::vector<std::string>{"/vant/bofang/1.html?a=b%20c", "/no/such/page.html"}));
}

TEST_F(SampleServerTest, NeverServesOutsideItsFolder) {
    for (const char* path : {"/../CMakeLists.txt", "/vant/../../CMakeLists.txt",
                             "/%2e%2e/CMakeLists.txt", "/no/such/page.html"}) {
        auto result = Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_NE(result->status, 200) << path;
    }
}

TEST(FillAddressMark, ReplacesMarksButNotTheSecondByteOfACharacter) {
    struct Case {
        std::string text;
        std::string filled;
    };
    const Case cases[] = {
        {"url=@BASE@\r\n", "url=http://h\r\n"},
        {"@BASE@/a###@BASE@/b", "http://h/a###http://h/b"},
        {"\xD6\xD0@BASE@", "\xD6\xD0http://h"},
        {"\x81@BASE@", "\x81@BASE@"},  // 0x81 0x40 is one character
        {"no mark", "no mark"},
    };
    for (const auto& item : cases) EXPECT_EQ(FillAddressMark(item.text, "http://h"), item.filled);
}

}  // namespace
