#include "platform/network/content_server.h"
#include "tests/system/scoped_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

namespace server = zem::content_server;

using EnvironmentValue = zem::testing::ScopedEnvironment;

TEST(ContentServer, FixedHostComesFromTheEnvironmentOrTheSampleServer) {
    struct Case {
        std::optional<std::string> value;
        std::string host;
    };
    const Case cases[] = {
        {std::nullopt, "http://127.0.0.1:8080"},
        {"", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:9001", "http://127.0.0.1:9001"},
        {"http://127.0.0.1:9001//", "http://127.0.0.1:9001"},
    };
    for (const auto& item : cases) {
        EnvironmentValue host("ZEM_HOST", item.value);
        EXPECT_EQ(server::FixedHost(), item.host);
        EXPECT_EQ(server::Join(server::FixedHost(), server::kVersionTextPath),
                  item.host + "/vant/app/wen.txt");
    }
}

TEST(ContentServer, ProbeAddressComesFromTheEnvironmentOrTheSampleServer) {
    {
        EnvironmentValue probe("ZEM_PROBE", std::nullopt);
        EXPECT_EQ(server::ProbeAddress(), "http://127.0.0.1:8080/");
    }
    EnvironmentValue probe("ZEM_PROBE", "http://127.0.0.1:9/");
    EXPECT_EQ(server::ProbeAddress(), "http://127.0.0.1:9/");
}

TEST(ContentServer, JoinIsPlainText) {
    EXPECT_EQ(server::Join("http://h:1", server::kChannelPagePath),
              "http://h:1/vant/pindao.asp?id=66");
    EXPECT_EQ(server::Join("", server::kHomePagePath), "/index.asp");
    EXPECT_EQ(server::Join("http://h/", server::kLibraryPagePath), "http://h//vant/");
}

}  // namespace
