#include "platform/network/inet.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/network/wininet.h"
#include "site/sample_server.h"
#include "temporary_folder.h"

namespace {

using zem::platform::Inet;
using zem::site::SampleServer;
using zem::site::ServerOptions;

// A server on a fresh content folder, with the test routes.
class InetTest : public ::testing::Test {
protected:
    InetTest() : site(ServerOptions{folder.Path().string(), true}) {}
    void SetUp() override { ASSERT_TRUE(site.Start()); }

    std::string Url(const std::string& path) const { return site.Address() + path; }

    // A port on which nothing listens: one a server just gave up.
    static int ClosedPort() {
        SampleServer gone;
        EXPECT_TRUE(gone.Start());
        const int port = gone.Port();
        gone.Stop();
        return port;
    }

    zem::testing::TemporaryFolder folder;
    SampleServer site;
};

TEST_F(InetTest, OpenUrlReturnsTheGbkBodyAsUtf8) {
    zem::testing::WriteFileBytes(
        folder / "vant/app/wen.txt",
        "; \xB0\xE6\xB1\xBE == 1.3\r\n[CONFIG]\r\nurl=@BASE@\r\nname=\xD3\xB0\xCA\xD3\r\n");
    const auto text = Inet().OpenURL(Url("/vant/app/wen.txt"));
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "; 版本 == 1.3\r\n[CONFIG]\r\nurl=" + site.Address() + "\r\nname=影视\r\n");
}

TEST_F(InetTest, OpenUrlGivesNothingWhenThereIsNoWholeBody) {
    const std::string cases[] = {
        Url("/missing.txt"),
        Url("/_test/status?code=500"),
        Url("/_test/bytes?count=100000&cut=5000"),
        Url("/_test/bytes?count=" + std::to_string(Inet::kMaximumBodyBytes + 1) + "&length=0"),
        "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/",
        "file:///etc/hostname",
        "http://",
    };
    for (const auto& url : cases) EXPECT_FALSE(Inet().OpenURL(url)) << url;
}

TEST_F(InetTest, ConnectionCheckAnswersForListeningAndClosedPorts) {
    EXPECT_TRUE(InternetCheckConnectionA(Url("/").c_str(), FLAG_ICC_FORCE_CONNECTION, 0));

    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(InternetCheckConnectionA(closed.c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

    EXPECT_FALSE(InternetCheckConnectionA(nullptr, FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_FALSE(InternetCheckConnectionA("", FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_FALSE(InternetCheckConnectionA("ftp://127.0.0.1/", FLAG_ICC_FORCE_CONNECTION, 0));
}

}  // namespace
