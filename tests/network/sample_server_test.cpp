#include "site/sample_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "platform/network/content_server.h"
#include "site/guest_book.h"

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

// A message left on the guest-book page shows on it, newest first, with the
// person's text escaped; a page without a guest book takes no messages.
TEST_F(SampleServerTest, TheGuestBookPageKeepsWhatPeopleLeaveAndShowsItEscaped) {
    const std::string page(server::kGuestBookPagePath);
    auto empty = Get(page);
    ASSERT_TRUE(empty);
    EXPECT_NE(empty->body.find("还没有留言"), std::string::npos);
    EXPECT_EQ(empty->body.find(zem::site::kMessagesMark), std::string::npos);

    httplib::Client client("127.0.0.1", site.Port());
    const auto Post = [&](const std::string& path, const httplib::Params& fields) {
        return client.Post(path.c_str(), fields);
    };
    auto first = Post(page, {{"name", "小明"}, {"text", "想看星际旅行"}});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 303);
    EXPECT_EQ(first->get_header_value("Location"), page);
    ASSERT_TRUE(Post(page, {{"name", " "}, {"text", "<script>alert(1)</script> & \"x\""}}));
    ASSERT_EQ(Post(page, {{"name", "空"}, {"text", "  \r\n"}})->status, 303);

    const std::string body = Get(page)->body;
    const std::size_t newest = body.find("<b>游客</b>：&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot;");
    const std::size_t older = body.find("<b>小明</b>：想看星际旅行");
    ASSERT_NE(newest, std::string::npos) << body;
    ASSERT_NE(older, std::string::npos) << body;
    EXPECT_LT(newest, older);
    EXPECT_EQ(body.find("<script>"), std::string::npos);
    EXPECT_EQ(body.find("<b>空</b>"), std::string::npos) << "a blank message is not kept";
    EXPECT_EQ(body.find("还没有留言"), std::string::npos);

    EXPECT_EQ(Post(std::string(server::kLibraryPagePath) + "index.html", {{"text", "x"}})->status, 405);
    EXPECT_EQ(Post("/no/such/page.asp", {{"text", "x"}})->status, 404);
}

TEST(GuestBook, CutsAtACharactersStartAndKeepsTheNewestMessages) {
    zem::site::GuestBook book;
    EXPECT_TRUE(book.Add(std::string(zem::site::GuestBook::kNameBytes - 1, 'n') + "名", "正文"));
    std::string rendered = book.Render();
    EXPECT_NE(rendered.find("<b>" + std::string(zem::site::GuestBook::kNameBytes - 1, 'n') + "</b>"), std::string::npos)
        << "a character cut at the limit is dropped whole";
    for (std::size_t index = 0; index < zem::site::GuestBook::kMessageLimit; ++index)
        book.Add("x", "m" + std::to_string(index) + ";");
    rendered = book.Render();
    EXPECT_EQ(rendered.find("正文"), std::string::npos) << "the oldest message makes room";
    EXPECT_NE(rendered.find("m0;"), std::string::npos);
    EXPECT_NE(rendered.find("m199;"), std::string::npos);
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
