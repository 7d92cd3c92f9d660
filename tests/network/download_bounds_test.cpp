// Transfers from servers that send too much or keep the caller waiting: each
// bound ends the transfer, and a download then leaves the earlier file and no
// part file beside it.
#include <sys/statvfs.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "download_fixture.h"
#include "platform/network/inet.h"

namespace {

using zem::platform::DownloadLimits;
using zem::platform::Inet;
using zem::platform::MakeCom;
using zem::platform::ScopedDownloadLimits;
using zem::testing::Chunk;
using zem::testing::HostileDownloadTest;
using zem::testing::RecordingCallback;
using zem::testing::ScriptedConnection;
using zem::testing::ScriptedServer;

constexpr std::uint64_t kMiB = 1024 * 1024;
const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

// Nobody can cancel a call without a callback: an endless body stops at the
// size bound, a steady one at the time bound.
TEST_F(HostileDownloadTest, ACallWithoutACallbackIsBoundedInSizeAndTime) {
    {
        // "Endless": 64 MiB in chunks that end, so a download without the
        // bound completes and fails the test.
        ScriptedServer server(Trickle(kChunkedHead, Chunk(std::string(kMiB, 'x')), 0, 64, Chunk("")));
        EXPECT_EQ(Download(server, nullptr), INET_E_DOWNLOAD_FAILURE);
        ExpectEarlierFileOnly();
    }
    {
        ScopedDownloadLimits limits(DownloadLimits{.uncancellableSeconds = 1});
        // 40 KiB/s, well above the low-speed bound, for at most 10 s.
        ScriptedServer server(Trickle(kChunkedHead, Chunk(std::string(2048, 'x')), 50, 200, Chunk("")));
        EXPECT_EQ(Download(server, nullptr), INET_E_CONNECTION_TIMEOUT);
        ExpectEarlierFileOnly();
        EXPECT_LT(server.LastSentBytes(), 200u * 2048u);
    }
}

TEST_F(HostileDownloadTest, ATransferBelowTheLowSpeedFails) {
    ScopedDownloadLimits limits(DownloadLimits{.lowSpeedSeconds = 1});
    // 2 bytes every 100 ms for at most 10 s, then the body's end.
    ScriptedServer server(Trickle(kChunkedHead, Chunk("ab"), 100, 100, Chunk("")));
    auto callback = MakeCom<RecordingCallback>();
    EXPECT_EQ(Download(server, callback.Get()), INET_E_CONNECTION_TIMEOUT);
    EXPECT_EQ(callback->stopResult, INET_E_CONNECTION_TIMEOUT);
    ExpectEarlierFileOnly();
}

// The limit a program sets holds for a watched download too: a body
// announced over it is refused before a byte of it is written, and one that
// never says how long it is stops there.
TEST_F(HostileDownloadTest, ABodyOverTheLimitFails) {
    struct Case {
        const char* name;
        std::string head;
        std::string piece;
        std::string tail;
        std::uint64_t limit;
    };
    const Case cases[] = {
        {"10 GB announced", "HTTP/1.1 200 OK\r\nContent-Length: 10737418240\r\n\r\n", std::string(kMiB, 'x'),
         "", 1024 * kMiB},
        {"endless chunks", kChunkedHead, Chunk(std::string(kMiB, 'x')), Chunk(""), 8 * kMiB},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        ScopedDownloadLimits limits(DownloadLimits{.maximumBytes = item.limit});
        // 64 MiB, then the body's end where there is one.
        ScriptedServer server(Trickle(item.head, item.piece, 0, 64, item.tail));
        auto callback = MakeCom<RecordingCallback>();
        EXPECT_EQ(Download(server, callback.Get()), INET_E_DOWNLOAD_FAILURE);
        const auto written = callback->DataProgress();
        EXPECT_LE(written.empty() ? 0 : written.back(), item.limit);
        if (item.tail.empty()) {
            EXPECT_TRUE(written.empty());
        }
        ExpectEarlierFileOnly();
    }
}

// A body never takes the last of its filesystem's free space: the margin stays free.
TEST_F(HostileDownloadTest, ABodyStopsShortOfTheFreeSpaceLessTheMargin) {
    struct statvfs space {};
    ASSERT_EQ(statvfs(target.Path().c_str(), &space), 0);
    const std::uint64_t free = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    ASSERT_GT(free, 64 * kMiB);
    struct Case {
        const char* name;
        std::uint64_t margin;
        ScriptedServer::Script script;
    };
    const Case cases[] = {
        {"a margin larger than any free space", std::numeric_limits<std::uint64_t>::max(),
         [](ScriptedConnection& connection) {
             connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789");
         }},
        // 1 GiB offered (only what the bound lets through is sent), so that
        // space others free meanwhile does not let it pass.
        {"a margin of all but 1 MiB", free - kMiB,
         Trickle(kChunkedHead, Chunk(std::string(kMiB, 'x')), 0, 1024, Chunk(""))},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        ScopedDownloadLimits limits(DownloadLimits{.freeSpaceMarginBytes = item.margin});
        ScriptedServer server(item.script);
        auto callback = MakeCom<RecordingCallback>();
        EXPECT_EQ(Download(server, callback.Get()), INET_E_DOWNLOAD_FAILURE);
        ExpectEarlierFileOnly();
    }
}

// A call nobody can cancel (a whole-body fetch, a download without a
// callback) gives up on a server that answers late or stalls, well before
// the server would let go; one that keeps sending is waited for, however
// long it takes in all.
TEST_F(HostileDownloadTest, ACallNobodyCanCancelGivesUpOnAServerThatKeepsItWaiting) {
    ScopedDownloadLimits limits(
        DownloadLimits{.uncancellableFirstByteMilliseconds = 300, .uncancellableStallMilliseconds = 300});
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
    const std::string body = "0101010101";
    struct Case {
        const char* name;
        ScriptedServer::Script script;
        bool completes;
    };
    const Case cases[] = {
        {"accepts and never answers", [](ScriptedConnection& connection) { connection.WaitForClose(10000); },
         false},
        {"answers, then stalls",
         [&](ScriptedConnection& connection) {
             if (connection.Send(head + "010")) connection.WaitForClose(10000);
         },
         false},
        {"answers after 200 ms",
         [&](ScriptedConnection& connection) {
             if (!connection.WaitForClose(200)) connection.Send(head + body);
         },
         true},
        {"two bytes every 150 ms", Trickle(head, "01", 150, 5), true},
    };
    const std::function<bool(const std::string&)> calls[] = {
        [&](const std::string& url) { return Inet().OpenURL(url) == body; },
        [&](const std::string& url) {
            return URLDownloadToFileA(nullptr, url.c_str(), file.c_str(), 0, nullptr) == S_OK &&
                   zem::testing::ReadFileBytes(file) == body;
        },
    };
    for (const Case& item : cases) {
        for (std::size_t call = 0; call < std::size(calls); ++call) {
            SCOPED_TRACE(std::string(item.name) + (call == 0 ? ", whole-body fetch" : ", download"));
            ScriptedServer server(item.script);
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(calls[call](server.Address() + "/wen.txt"), item.completes);
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
        }
    }
}

}  // namespace
