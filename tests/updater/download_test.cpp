// CFileDownload: the rate between reports, the event per report, the binding
// it holds, a refused second start, abort, and its status texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/system/files.h"
#include "platform/window/test_desktop.h"
#include "site/sample_server.h"
#include "tests/system/temp_folder.h"
#include "updater/cfile_download.h"

namespace {

using zem::platform::ComRef;
using zem::platform::MakeCom;

// A binding that counts its references and aborts.
class CountingBinding : public IBinding {
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT Abort() override {
        ++aborts;
        return S_OK;
    }
    ULONG references = 1;
    int aborts = 0;
};

struct Report {
    std::int32_t progress, maximum, speed, status;
    std::string text;
};

class Download : public ::testing::Test {
protected:
    Download() {
        download->OnProgressEvent = [this](std::int32_t p, std::int32_t m, std::int32_t s, std::int32_t c,
                                           const std::string& t) { reports.push_back({p, m, s, c, t}); };
    }
    void Advance(int milliseconds) { desktop.clock().Advance(milliseconds); }

    zem::platform::TestDesktop desktop;
    ComRef<CFileDownload> download = MakeCom<CFileDownload>();
    std::vector<Report> reports;
};

TEST(TransferRate, KilobytesPerSecondRoundedToEven) {
    struct Case {
        std::int64_t bytes, milliseconds;
        std::int32_t rate;
    } cases[] = {
        {2048, 1000, 2}, {0, 1000, 0},      {1024, 0, 0},          {2560, 1000, 2},  // 2.5 to even
        {3584, 1000, 4}, {1023, 1000, 1},   {5000000, 100, 48828}, {-2048, 1000, -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zem::updater::TransferRate(c.bytes, c.milliseconds), c.rate) << c.bytes << " in " << c.milliseconds;
}

TEST_F(Download, EachReportRaisesTheEventWithTheRateSinceThePreviousOne) {
    CountingBinding binding;
    download->OnStartBinding(0, &binding);
    EXPECT_TRUE(download->Downloading());
    EXPECT_EQ(binding.references, 3u);  // the field's and the held one
    Advance(5000);
    download->OnProgress(0, 8192, BINDSTATUS_CONNECTING, u"http://127.0.0.1/中");
    Advance(1000);
    download->OnProgress(2048, 8192, BINDSTATUS_DOWNLOADINGDATA, nullptr);
    download->OnProgress(4096, 8192, BINDSTATUS_DOWNLOADINGDATA, nullptr);  // no time passed
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].text, "http://127.0.0.1/中");
    EXPECT_EQ(reports[0].status, static_cast<std::int32_t>(BINDSTATUS_CONNECTING));
    EXPECT_EQ(reports[1].speed, 2);
    EXPECT_EQ(reports[1].progress, 2048);
    EXPECT_EQ(reports[1].maximum, 8192);
    EXPECT_EQ(reports[2].speed, 0);
    EXPECT_EQ(reports[2].text, "");

    download->OnStopBinding(S_OK, nullptr);
    EXPECT_FALSE(download->Downloading());
    EXPECT_EQ(binding.references, 2u);  // the field keeps its own
    download->AbortDownloading();       // nothing held: no abort
    EXPECT_EQ(binding.aborts, 0);
    download.Reset();
    EXPECT_EQ(binding.references, 1u);
}

TEST_F(Download, AbortStopsTheHeldBindingAndClearsTheState) {
    CountingBinding binding;
    download->OnStartBinding(0, &binding);
    download->AbortDownloading();
    EXPECT_EQ(binding.aborts, 1);
    EXPECT_FALSE(download->Downloading());
    download->OnStopBinding(E_ABORT, nullptr);
    download.Reset();
    EXPECT_EQ(binding.references, 1u);
}

TEST_F(Download, StatusTextsComeAsUtf8) {
    EXPECT_EQ(CFileDownload::StrFromPtr(nullptr, true), "");
    EXPECT_EQ(CFileDownload::StrFromPtr(u"a\U0001F3AC中", true), "a\U0001F3AC中");
    const char16_t unpaired[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(CFileDownload::StrFromPtr(unpaired, true), "a\uFFFDb");
    const std::string gbk = zem::platform::Utf8ToGbk("升级");
    EXPECT_EQ(CFileDownload::StrFromPtr(gbk.c_str(), false), "升级");
}

TEST_F(Download, ASecondStartWhileOneRunsIsRefusedAndAnAbortFailsTheFirst) {
    zem::site::SampleServer server(zem::site::ServerOptions{zem::site::DefaultContentFolder(), true});
    ASSERT_TRUE(server.Start());
    zem::testing::TempFolder folder("下载 目录");
    const std::string source = server.Address() + "/_test/bytes?count=400000&chunk=20000";
    const std::string first = (folder.Path() / "first.exe").string();
    const std::string second = (folder.Path() / "second.exe").string();
    std::vector<bool> nested;
    download->OnProgressEvent = [&](std::int32_t, std::int32_t, std::int32_t, std::int32_t, const std::string&) {
        if (nested.empty()) nested.push_back(download->StartDownloading(source, second));
    };
    EXPECT_TRUE(download->StartDownloading(source, first));
    EXPECT_EQ(nested, std::vector<bool>{false});
    std::error_code error;
    EXPECT_EQ(zem::platform::ReadFileBytes(first, error).value_or("").size(), 400000u);
    EXPECT_FALSE(std::filesystem::exists(second));

    // An abort from inside the transfer fails it; the next start begins afresh.
    download->OnProgressEvent = [&](std::int32_t, std::int32_t, std::int32_t, std::int32_t, const std::string&) {
        download->AbortDownloading();
    };
    EXPECT_FALSE(download->StartDownloading(source, second));
    EXPECT_FALSE(std::filesystem::exists(second));
    download->OnProgressEvent = nullptr;
    EXPECT_TRUE(download->StartDownloading(source, second));
    EXPECT_TRUE(std::filesystem::exists(second));
}

}  // namespace
