// Bad addresses and bad pages on the real engine: the view stays usable, the
// program's loop keeps running, and a crashed web process leaves a blank page
// that the next Navigate replaces.
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/process_ticks.h"
#include "tests/webview/engine_fixture.h"

namespace zem::forms {
namespace {

// A server on 127.0.0.1 that takes connections and never answers.
class SilentServer {
public:
    SilentServer() {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        listen(socket_, 16);
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { close(socket_); }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/never.html"; }
    int Port() const { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

// The engine's web processes among this test program's own children.
std::vector<pid_t> OwnWebProcesses() {
    std::vector<pid_t> found;
    for (const testing::ProcessEntry& process : testing::ListProcesses())
        if (process.parent == getpid() && process.name.starts_with("WebKitWebProces")) found.push_back(process.pid);
    return found;
}

TEST_F(EngineTest, AfterABadAddressTheViewStillLoadsTheNextPage) {
    SilentServer silent;
    struct Case {
        const char* what;
        std::string url;
    };
    const std::vector<Case> cases = {
        {"an unreachable server", "http://127.0.0.1:1/gone.html"},
        {"a missing page", Page("_test/status?code=404")},
        {"an unknown scheme", "nosuchscheme:whatever"},
        {"a page that never finishes", silent.Address()},
    };
    form().View.SetSilent(true);
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.what);
        int raised = 0;
        form().View.OnBeforeNavigate2 = [&](WebBrowserObject&, const std::string& url, long, const std::string&,
                                            const std::string&, const std::string&, bool&) {
            if (url == bad.url) ++raised;
        };
        form().View.Navigate(bad.url);
        PumpFor(std::chrono::milliseconds(300));
        EXPECT_EQ(raised, 1);
        form().View.Stop();
        EXPECT_TRUE(PumpUntil([&] { return !form().View.Busy(); }));
        ASSERT_TRUE(Load(form().View, Page("next.html")));
        // The failed load's own end, however late, completes no document under
        // the next page's address: the next page's document is there at once.
        std::shared_ptr<HtmlDocument> document = form().View.Document();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->title(), "Next page");
    }
}

// A page whose document is there but whose picture never comes is still
// loading when the next Navigate starts: its end, reported after that, is the
// end of its own document and never names the next page.
TEST_F(EngineTest, ALoadCutShortByTheNextNavigateCompletesUnderItsOwnAddress) {
    SilentServer silent;
    const std::string pending = Page("pending.html?" + std::to_string(silent.Port()));
    const std::string next = Page("next.html");
    struct Completion {
        std::string url;
        std::string title;
    };
    std::vector<Completion> completions;
    bool committed = false;
    form().View.OnNavigateComplete2 = [&](WebBrowserObject&, const std::string& url) { committed = url == pending; };
    form().View.OnDocumentComplete = [&](WebBrowserObject& pDisp, const std::string& url) {
        std::shared_ptr<HtmlDocument> document = pDisp.Document();
        completions.push_back({url, document ? document->title() : "(none)"});
    };
    form().View.Navigate(pending);
    ASSERT_TRUE(PumpUntil([&] { return committed && form().View.Busy(); }));
    ASSERT_EQ(form().View.Document()->title(), "Pending page");
    EXPECT_TRUE(completions.empty());

    form().View.Navigate(next);
    ASSERT_TRUE(PumpUntil([&] { return !completions.empty() && completions.back().url == next; }));
    // Each completion that names the next page holds the next page.
    for (const Completion& completion : completions) {
        if (completion.url == next) {
            EXPECT_EQ(completion.title, "Next page");
        }
    }
}

TEST_F(EngineTest, ALoopingScriptMakesReadsFailInBoundedTimeAndTheLoopRunsOn) {
    ASSERT_TRUE(Load(form().View, Page("loop.html")));
    // The script spins from 50 ms after the load on; a read before that still
    // answers. Once it spins the page cannot answer: either no document or a
    // read that fails, at most two reads, each given up after its bound.
    bool unanswered = false;
    std::chrono::steady_clock::duration lastRead{};
    const auto deadline = std::chrono::steady_clock::now() + testing::kEventWait;
    while (!unanswered && std::chrono::steady_clock::now() < deadline) {
        const auto start = std::chrono::steady_clock::now();
        std::shared_ptr<HtmlDocument> document = form().View.Document();
        try {
            if (document == nullptr)
                unanswered = true;
            else
                (void)document->title();
        } catch (const RuntimeError&) {
            unanswered = true;
        }
        lastRead = std::chrono::steady_clock::now() - start;
        if (!unanswered) PumpFor(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(unanswered) << "the page kept answering";
    EXPECT_LT(lastRead, std::chrono::milliseconds(12000));
    // The program's own window keeps taking input meanwhile.
    ASSERT_TRUE(display().Click(form().hWnd(), 10, 250));
    EXPECT_TRUE(PumpUntil([&] { return form().clicks == 1; }, std::chrono::milliseconds(1000)));
    // The spinning web process would outlive the test program by seconds.
    for (const pid_t pid : OwnWebProcesses()) kill(pid, SIGKILL);
}

TEST_F(EngineTest, AHugePageAndAHundredWindowsLeaveTheViewUsable) {
    ASSERT_TRUE(Load(form().View, Page("huge.html")));
    const std::vector<HtmlAnchor> anchors = form().View.Document()->getElementsByTagName("a");
    ASSERT_EQ(anchors.size(), 20000u);
    EXPECT_EQ(anchors.back().href, Page("film/19999.html"));
    EXPECT_EQ(anchors.back().innerText, "Film 19999");

    int requests = 0;
    form().View.OnNewWindow2 = [&](WebBrowserObject*& ppDisp, bool&) {
        ++requests;
        ppDisp = form().Other.Object();
    };
    ASSERT_TRUE(Load(form().View, Page("windows.html")));
    ASSERT_TRUE(PumpUntil([&] { return form().View.Document()->title() == "refused 100"; }));
    EXPECT_EQ(requests, 100);
    ASSERT_TRUE(PumpUntil([&] { return form().Other.LocationURL() == Page("next.html?w=99"); }));
    EXPECT_EQ(form().View.LocationURL(), Page("windows.html"));
}

TEST_F(EngineTest, ACrashedWebProcessLeavesABlankPageUntilTheNextNavigate) {
    ASSERT_TRUE(Load(form().View, Page("styled.html")));
    ASSERT_TRUE(WaitForPixel(form().View, 30, 30, 0x0000FF));
    const std::vector<pid_t> processes = OwnWebProcesses();
    ASSERT_FALSE(processes.empty());
    for (const pid_t pid : processes) kill(pid, SIGKILL);
    EXPECT_TRUE(WaitForPixel(form().View, 30, 30, 0xFFFFFF));
    EXPECT_EQ(form().View.Document(), nullptr);

    ASSERT_TRUE(Load(form().View, Page("styled.html")));
    EXPECT_TRUE(WaitForPixel(form().View, 30, 30, 0x0000FF));
    EXPECT_EQ(form().View.Document()->title(), "Styled page");
}

// The web process is held to a memory limit (here a small one, measured
// often): past it the engine ends the process, and every view shows its page
// again, once; a page that grows again is left blank until the program
// navigates its view anew, and the program's loop runs on throughout.
class MemoryLimitTest : public EngineTest {
protected:
    // Before the fixture's form makes the program's first view.
    void SetUp() override {
        limit_.emplace(platform::webview::WebProcessMemory{256, 0.2});
        EngineTest::SetUp();
    }
    std::optional<platform::webview::ScopedWebProcessMemory> limit_;
};

TEST_F(MemoryLimitTest, APageThatTakesMemoryWithoutEndIsEndedAtTheLimitAndShownAgainOnce) {
    ASSERT_TRUE(Load(form().Other, Page("next.html")));
    ASSERT_TRUE(Load(form().View, Page("hungry.html")));
    int hungry = 0;
    int beside = 0;
    form().View.OnDocumentComplete = [&](WebBrowserObject&, const std::string&) { ++hungry; };
    form().Other.OnDocumentComplete = [&](WebBrowserObject&, const std::string&) { ++beside; };

    // Ended, both pages loaded again, the hungry one ended again (the engine
    // may have given the other page a process of its own by then); then it
    // stays blank.
    ASSERT_TRUE(PumpUntil([&] { return hungry == 1 && beside == 1; })) << hungry << " " << beside;
    ASSERT_TRUE(PumpUntil([&] { return form().View.Document() == nullptr; }));
    PumpFor(std::chrono::milliseconds(1000));
    EXPECT_EQ(hungry, 1);
    EXPECT_EQ(beside, 1);
    EXPECT_EQ(form().View.Document(), nullptr);

    ASSERT_TRUE(display().Click(form().hWnd(), 10, 250));
    EXPECT_TRUE(PumpUntil([&] { return form().clicks == 1; }, std::chrono::milliseconds(1000)));
    ASSERT_TRUE(Load(form().Other, Page("next.html")));
    EXPECT_EQ(form().Other.Document()->title(), "Next page");
}

}  // namespace
}  // namespace zem::forms
