// What the download tests share: a callback that records what a transfer
// tells it, and a fixture for downloads from a hostile scripted server.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/network/urlmon.h"
#include "scripted_server.h"
#include "temporary_folder.h"

namespace zem::testing {

struct ProgressEvent {
    ULONG progress;
    ULONG total;
    ULONG status;
};

// Records what the transfer tells it and holds the binding as a host does:
// one reference for the whole transfer, and one kept past its end.
class RecordingCallback : public platform::BindStatusCallback {
public:
    std::function<HRESULT(RecordingCallback&, const ProgressEvent&)> onProgress;

    HRESULT OnStartBinding(DWORD, IBinding* binding) override {
        ++starts;
        kept = platform::ComRef<IBinding>::Share(binding);
        binding->AddRef();
        return S_OK;
    }
    HRESULT OnProgress(ULONG progress, ULONG total, ULONG status, LPCWSTR text) override {
        statusText = text ? text : u"";
        events.push_back({progress, total, status});
        return onProgress ? onProgress(*this, events.back()) : S_OK;
    }
    HRESULT OnStopBinding(HRESULT result, LPCWSTR) override {
        ++stops;
        stopResult = result;
        if (kept) kept->Release();
        return S_OK;
    }

    std::vector<ULONG> DataProgress() const {
        std::vector<ULONG> values;
        for (const auto& event : events)
            if (event.status == BINDSTATUS_DOWNLOADINGDATA) values.push_back(event.progress);
        return values;
    }

    int starts = 0;
    int stops = 0;
    HRESULT stopResult = S_OK;
    std::u16string statusText;
    std::vector<ProgressEvent> events;
    platform::ComRef<IBinding> kept;
};

// Hostile servers: each answer is raw bytes, so lengths can lie. Every
// failure leaves the earlier file and nothing beside it.
class HostileDownloadTest : public ::testing::Test {
protected:
    HRESULT Download(const ScriptedServer& server, IBindStatusCallback* callback) {
        return URLDownloadToFileA(nullptr, (server.Address() + "/zemdate.exe").c_str(), file.c_str(), 0,
                                  callback);
    }
    void SetUp() override { WriteFileBytes(file, "earlier copy"); }
    void ExpectEarlierFileOnly() const {
        // Compared whole but not printed: a failed bound leaves megabytes here.
        EXPECT_TRUE(ReadFileBytes(file) == "earlier copy") << "the earlier file was replaced";
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(target.Path()))
            found.push_back(entry.path().filename().string());
        EXPECT_EQ(found, std::vector<std::string>{"zemdate.exe"});
    }
    // Sends the head, then `piece` every `pause` milliseconds until the
    // client goes, at most `count` times, then `tail`; then closes.
    static ScriptedServer::Script Trickle(std::string head, std::string piece, int pause, int count,
                                          std::string tail = "") {
        return [=](ScriptedConnection& connection) {
            if (!connection.Send(head)) return;
            for (int index = 0; index < count; ++index) {
                if (!connection.Send(piece) || connection.WaitForClose(pause)) return;
            }
            connection.Send(tail);
        };
    }

    TemporaryFolder target;
    const std::string file = target / "zemdate.exe";
};

// `data` as one chunk of a chunked body.
inline std::string Chunk(std::string_view data) {
    char size[24];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + std::string(data) + "\r\n";
}

}  // namespace zem::testing
