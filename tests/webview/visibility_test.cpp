// What a view nobody can see costs: with its control hidden, its form hidden
// or its form minimized, the page is told it is hidden, runs no animation
// frames and the program's process tree uses no processor time worth
// counting; shown again, the page runs on and shows its current pixels at once.
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/process_ticks.h"
#include "tests/webview/engine_fixture.h"

namespace zem::forms {
namespace {

// The animated page's title: its visibility state and the animation frames
// it has run ("visible 12").
struct PageState {
    std::string visibility;
    long frames = -1;
};

PageState StateOf(const std::string& title) {
    const std::size_t blank = title.find(' ');
    if (blank == std::string::npos) return {};
    return {title.substr(0, blank), std::atol(title.c_str() + blank + 1)};
}

// Ticks (1/100 s) the whole process tree of the test program (its X server,
// the engine's web and network processes) may use in a second while nothing
// can be seen moving: the page shown costs about ten times more.
constexpr long kIdleTicksPerSecond = 4;

TEST_F(EngineTest, AHiddenPageRunsNoAnimationFramesAndCostsNoProcessorTime) {
    std::string title;
    form().View.OnTitleChange = [&](const std::string& text) { title = text; };
    ASSERT_TRUE(Load(form().View, Page("animated.html")));
    struct Way {
        const char* what;
        std::function<void(bool shown)> show;
    };
    const std::vector<Way> ways = {
        {"the control hidden", [&](bool shown) { form().View.SetVisible(shown); }},
        {"its form hidden", [&](bool shown) { shown ? form().Show() : form().Hide(); }},
        {"its form minimized", [&](bool shown) { form().SetWindowState(shown ? vbNormal : vbMinimized); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        const long shownFrames = StateOf(title).frames;
        ASSERT_TRUE(PumpUntil([&] {
            const PageState state = StateOf(title);
            return state.visibility == "visible" && state.frames >= shownFrames + 10;
        })) << title;

        way.show(false);
        ASSERT_TRUE(PumpUntil([&] { return StateOf(title).visibility == "hidden"; })) << title;
        const std::string hidden = title;
        if (&way == &ways.front()) {
            PumpFor(std::chrono::milliseconds(500));  // the engine settles into the background
            const long ticks = testing::ProcessTreeTicks(getpid());
            PumpFor(std::chrono::milliseconds(1000));
            EXPECT_LE(testing::ProcessTreeTicks(getpid()) - ticks, kIdleTicksPerSecond);
        } else {
            PumpFor(std::chrono::milliseconds(300));
        }
        EXPECT_EQ(title, hidden) << "animation frames ran while hidden";

        way.show(true);
        EXPECT_TRUE(PumpUntil([&] {
            const PageState state = StateOf(title);
            return state.visibility == "visible" && state.frames > StateOf(hidden).frames + 10;
        })) << title;
    }
}

TEST_F(EngineTest, APageShownAgainShowsItsCurrentPixelsAtOnce) {
    ASSERT_TRUE(Load(form().View, Page("styled.html")));
    ASSERT_TRUE(WaitForPixel(form().View, 3, 3, 0xFFFFFF));
    form().View.SetVisible(false);
    PumpFor(std::chrono::milliseconds(200));
    // The page changes while nobody sees it.
    form().View.Document()->SetBodyStyleBorder("6px solid #00cc00");
    PumpFor(std::chrono::milliseconds(200));

    form().View.SetVisible(true);
    // The first paint after the show is the page as it is now.
    platform::ProcessPendingMessages();
    EXPECT_EQ(PixelAt(form().View, 3, 3), 0x00CC00u);
}

}  // namespace
}  // namespace zem::forms
