#include "platform/network/urlmon.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "download_fixture.h"
#include "site/sample_server.h"

namespace {

using zem::platform::BindStatusCallback;
using zem::platform::ComRef;
using zem::platform::MakeCom;
using zem::testing::HostileDownloadTest;
using zem::testing::ProgressEvent;
using zem::testing::RecordingCallback;
using zem::testing::ScriptedConnection;
using zem::testing::ScriptedServer;
using zem::site::SampleServer;
using zem::site::ServerOptions;
using zem::testing::ReadFileBytes;
using zem::testing::WriteFileBytes;

std::string Pattern(std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t index = 0; index < count; ++index)
        bytes[index] = zem::site::PatternByte(index);
    return bytes;
}

class DownloadTest : public ::testing::Test {
protected:
    DownloadTest() : site(ServerOptions{content.Path().string(), true}) {}
    void SetUp() override { ASSERT_TRUE(site.Start()); }

    std::string Url(const std::string& path) const { return site.Address() + path; }
    std::string Bytes(std::size_t count, const std::string& more = "") const {
        return Url("/_test/bytes?count=" + std::to_string(count) + more);
    }
    HRESULT Download(const std::string& url, const std::string& target,
                     IBindStatusCallback* callback) {
        return URLDownloadToFileA(nullptr, url.c_str(), target.c_str(), 0, callback);
    }
    // The folder holds nothing but these names (no part file left behind).
    void ExpectOnly(std::vector<std::string> names) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(target.Path()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(found, names);
    }

    zem::testing::TemporaryFolder content;
    zem::testing::TemporaryFolder target;
    SampleServer site;
};

TEST_F(DownloadTest, ReportsProgressAndKeepsReferencesBalanced) {
    constexpr std::size_t kCount = 3 * 1024 * 1024 + 17;
    auto callback = MakeCom<RecordingCallback>();
    ULONG referencesDuring = 0;
    callback->onProgress = [&](RecordingCallback& self, const ProgressEvent&) {
        referencesDuring = self.ReferenceCount();
        return S_OK;
    };
    const std::string file = target / "zemdate.exe";
    const std::string url = Bytes(kCount, "&chunk=100000");
    ASSERT_EQ(Download(url, file, callback.Get()), S_OK);

    EXPECT_EQ(ReadFileBytes(file), Pattern(kCount));
    EXPECT_EQ(callback->starts, 1);
    EXPECT_EQ(callback->stops, 1);
    EXPECT_EQ(callback->stopResult, S_OK);
    EXPECT_EQ(callback->statusText, std::u16string(url.begin(), url.end()));
    ASSERT_GE(callback->events.size(), 4u);
    EXPECT_EQ(callback->events.front().status, BINDSTATUS_CONNECTING);
    EXPECT_EQ(callback->events.back().status, BINDSTATUS_ENDDOWNLOADDATA);
    EXPECT_EQ(callback->events.back().progress, kCount);
    const auto data = callback->DataProgress();
    ASSERT_GE(data.size(), 2u);
    EXPECT_TRUE(std::is_sorted(data.begin(), data.end()));
    EXPECT_EQ(data.back(), kCount);
    for (const auto& event : callback->events) {
        if (event.status == BINDSTATUS_DOWNLOADINGDATA) {
            EXPECT_EQ(event.total, kCount);
        }
    }

    // The transfer held one reference to the callback while it ran and none after.
    EXPECT_EQ(referencesDuring, 2u);
    EXPECT_EQ(callback->ReferenceCount(), 1u);
    // The binding outlives the transfer while held; it has nothing left to stop,
    // and the last reference frees it.
    EXPECT_EQ(callback->kept->Abort(), E_FAIL);
    IBinding* binding = callback->kept.Get();
    binding->AddRef();
    callback->kept.Reset();
    EXPECT_EQ(binding->Release(), 0u);
    ExpectOnly({"zemdate.exe"});
}

TEST_F(DownloadTest, WithoutALengthTheTotalIsZeroAndTheDownloadCompletes) {
    auto callback = MakeCom<RecordingCallback>();
    const std::string file = target / "link.txt";
    ASSERT_EQ(Download(Bytes(300000, "&length=0&chunk=65536"), file, callback.Get()), S_OK);
    EXPECT_EQ(ReadFileBytes(file), Pattern(300000));
    ASSERT_FALSE(callback->DataProgress().empty());
    for (const auto& event : callback->events) EXPECT_EQ(event.total, 0u);
}

TEST_F(DownloadTest, EmptyBodyAndNoCallbackStillGiveAFile) {
    WriteFileBytes(content / "empty.txt", "");
    ASSERT_EQ(Download(Url("/empty.txt"), target / "a", nullptr), S_OK);
    EXPECT_EQ(ReadFileBytes(target / "a"), "");
    auto callback = MakeCom<RecordingCallback>();
    ASSERT_EQ(Download(Bytes(0), target / "b", callback.Get()), S_OK);
    EXPECT_EQ(callback->events.back().status, BINDSTATUS_ENDDOWNLOADDATA);
    ExpectOnly({"a", "b"});
}

// Every failure leaves the earlier file as it was and no part file beside it.
TEST_F(DownloadTest, FailuresLeaveTheEarlierFileUntouched) {
    SampleServer closed;
    ASSERT_TRUE(closed.Start());
    const std::string closedHost = closed.Address();
    closed.Stop();

    struct Case {
        const char* name;
        std::string url;
        HRESULT expected;
        std::function<HRESULT(RecordingCallback&, const ProgressEvent&)> onProgress;
    };
    auto abortAt = [](ULONG bytes) {
        return [bytes](RecordingCallback& self, const ProgressEvent& event) {
            if (event.progress >= bytes) self.kept->Abort();
            return S_OK;
        };
    };
    const Case cases[] = {
        {"abort from a progress callback", Bytes(4 << 20), E_ABORT, abortAt(1)},
        {"abort before any data", Bytes(4 << 20), E_ABORT,
         [](RecordingCallback& self, const ProgressEvent&) { return self.kept->Abort(), S_OK; }},
        {"callback answers a failure", Bytes(4 << 20), E_ABORT,
         [](RecordingCallback&, const ProgressEvent& event) {
             return event.status == BINDSTATUS_DOWNLOADINGDATA ? E_ABORT : S_OK;
         }},
        {"server dies mid-body", Bytes(1 << 20, "&cut=300000"), INET_E_DOWNLOAD_FAILURE, nullptr},
        {"server dies mid-body without a length", Bytes(1 << 20, "&cut=300000&length=0"),
         INET_E_DOWNLOAD_FAILURE, nullptr},
        {"missing file", Url("/no/such.exe"), INET_E_RESOURCE_NOT_FOUND, nullptr},
        {"server error", Url("/_test/status?code=500"), INET_E_DOWNLOAD_FAILURE, nullptr},
        {"nobody listening", closedHost + "/vant/app/zemdate.exe", INET_E_CANNOT_CONNECT, nullptr},
        {"not http", "file:///etc/hostname", INET_E_UNKNOWN_PROTOCOL, nullptr},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        const std::string file = target / "zemdate.exe";
        WriteFileBytes(file, "earlier copy");
        auto callback = MakeCom<RecordingCallback>();
        callback->onProgress = item.onProgress;
        EXPECT_EQ(Download(item.url, file, callback.Get()), item.expected);
        EXPECT_EQ(callback->starts, 1);
        EXPECT_EQ(callback->stops, 1);
        EXPECT_EQ(callback->stopResult, item.expected);
        EXPECT_EQ(callback->ReferenceCount(), 1u);
        EXPECT_EQ(ReadFileBytes(file), "earlier copy");
        ExpectOnly({"zemdate.exe"});
    }
}

TEST_F(DownloadTest, TargetThatCannotBeWrittenFailsWithStartAndStop) {
    auto callback = MakeCom<RecordingCallback>();
    EXPECT_TRUE(FAILED(Download(Bytes(10), target / "no/such/folder/file", callback.Get())));
    EXPECT_EQ(callback->starts, 1);
    EXPECT_EQ(callback->stops, 1);
    EXPECT_EQ(URLDownloadToFileA(nullptr, nullptr, "x", 0, nullptr), E_INVALIDARG);
    ExpectOnly({});
}

// A second download started from inside a running one's progress callback
// (as a window handler may, while the first pumps messages) runs to its end,
// and the first then goes on to its own.
TEST_F(DownloadTest, NestedDownloadFromAProgressCallbackCompletesBoth) {
    auto inner = MakeCom<RecordingCallback>();
    auto outer = MakeCom<RecordingCallback>();
    HRESULT innerResult = E_FAIL;
    int nestedCalls = 0;
    outer->onProgress = [&](RecordingCallback&, const ProgressEvent& event) {
        if (event.status == BINDSTATUS_DOWNLOADINGDATA && nestedCalls++ == 0)
            innerResult = Download(Bytes(500000), target / "inner", inner.Get());
        return S_OK;
    };
    EXPECT_EQ(Download(Bytes(2 << 20), target / "outer", outer.Get()), S_OK);
    EXPECT_EQ(innerResult, S_OK);
    EXPECT_EQ(ReadFileBytes(target / "outer"), Pattern(2 << 20));
    EXPECT_EQ(ReadFileBytes(target / "inner"), Pattern(500000));
    EXPECT_EQ(inner->ReferenceCount(), 1u);
    EXPECT_EQ(outer->ReferenceCount(), 1u);
    ExpectOnly({"inner", "outer"});
}

// A body is taken only when the answer marks its end, by a length it then
// matches or by chunks that end; one that only the connection's end ends
// could be cut short unseen.
TEST_F(HostileDownloadTest, ABodyIsTakenOnlyWithAnEndTheAnswerMarks) {
    using zem::testing::Chunk;
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const std::string chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    struct Case {
        const char* name;
        std::string answer;
        HRESULT expected;
    };
    const Case cases[] = {
        {"exact length", ok + "Content-Length: 10\r\n\r\n0123456789", S_OK},
        {"the same length twice", ok + "Content-Length: 10\r\nContent-Length: 10, 10\r\n\r\n0123456789",
         S_OK},
        {"chunks with their end", chunked + Chunk("01234") + Chunk("56789") + Chunk(""), S_OK},
        {"chunks cut before their end", chunked + Chunk("01234") + Chunk("56789"),
         INET_E_DOWNLOAD_FAILURE},
        {"no length, ended by the close", ok + "\r\n0123456789", INET_E_DOWNLOAD_FAILURE},
        {"no length from an HTTP/1.0 server", "HTTP/1.0 200 OK\r\n\r\n0123456789",
         INET_E_DOWNLOAD_FAILURE},
        {"longer than announced", ok + "Content-Length: 10\r\n\r\n0123456789abcdefghij",
         INET_E_DOWNLOAD_FAILURE},
        {"shorter than announced", ok + "Content-Length: 10\r\n\r\n01234", INET_E_DOWNLOAD_FAILURE},
        {"two lengths", ok + "Content-Length: 10\r\nContent-Length: 20\r\n\r\n0123456789",
         INET_E_DOWNLOAD_FAILURE},
        {"two lengths in one header", ok + "Content-Length: 10, 20\r\n\r\n0123456789",
         INET_E_DOWNLOAD_FAILURE},
        {"a length that is no number", ok + "Content-Length: 1O\r\n\r\n0123456789",
         INET_E_DOWNLOAD_FAILURE},
    };
    for (const Case& item : cases) {
        for (const bool withCallback : {true, false}) {
            SCOPED_TRACE(std::string(item.name) + (withCallback ? " with a callback" : " without one"));
            WriteFileBytes(file, "earlier copy");
            ScriptedServer server([&](ScriptedConnection& connection) { connection.Send(item.answer); });
            auto callback = MakeCom<RecordingCallback>();
            EXPECT_EQ(Download(server, withCallback ? callback.Get() : nullptr), item.expected);
            if (item.expected == S_OK) {
                EXPECT_EQ(ReadFileBytes(file), "0123456789");
            } else {
                ExpectEarlierFileOnly();
            }
        }
    }
}

// While a server stalls, before its answer or in the middle of the body, the
// callback still hears OnProgress with the progress unchanged and can abort.
TEST_F(HostileDownloadTest, AStalledServerStillGivesTheCallbackProgress) {
    struct Case {
        const char* name;
        std::string sent;
        ULONG progress;
    };
    const Case cases[] = {
        {"stalls before answering", "", 0},
        {"stalls mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n012", 3},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        ScriptedServer server([&](ScriptedConnection& connection) {
            if (connection.Send(item.sent)) connection.WaitForClose(10000);
        });
        auto callback = MakeCom<RecordingCallback>();
        int unchanged = 0;
        callback->onProgress = [&](RecordingCallback& self, const ProgressEvent& event) {
            if (event.progress == item.progress && ++unchanged == 5) self.kept->Abort();
            return S_OK;
        };
        EXPECT_EQ(Download(server, callback.Get()), E_ABORT);
        EXPECT_GE(unchanged, 5);
        ExpectEarlierFileOnly();
    }
}

TEST(BindStatusCallback, AnswersItsOwnInterfacesOnly) {
    auto callback = MakeCom<BindStatusCallback>();
    void* found = nullptr;
    ASSERT_EQ(callback->QueryInterface(IID_IBindStatusCallback, &found), S_OK);
    EXPECT_EQ(found, static_cast<IBindStatusCallback*>(callback.Get()));
    EXPECT_EQ(callback->ReferenceCount(), 2u);
    callback->Release();
    ASSERT_EQ(callback->QueryInterface(IID_IUnknown, &found), S_OK);
    callback->Release();
    EXPECT_EQ(callback->QueryInterface(IID_IBinding, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(callback->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(callback->ReferenceCount(), 1u);
}

}  // namespace
