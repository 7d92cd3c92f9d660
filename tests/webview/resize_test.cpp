// A view resized at every step of an edge drag: whatever sizes it passed
// through between two frames, it ends at the control's last size and shows
// the page laid out at that size.
#include <string>

#include "tests/webview/engine_fixture.h"

namespace zem::forms {
namespace {

TEST_F(EngineTest, AViewResizedSeveralTimesInOneFrameEndsAtTheLastSizeShowingThePageThere) {
    std::string size;
    form().View.OnTitleChange = [&](const std::string& text) { size = text; };
    ASSERT_TRUE(Load(form().View, Page("sized.html")));
    ASSERT_TRUE(PumpUntil([&] { return size == "320x240"; })) << size;
    ASSERT_TRUE(WaitForPixel(form().View, 319, 239, 0xCC0000));
    // Four steps, each with its layout and its turn of the loop, well
    // within one frame.
    for (int step = 1; step <= 4; ++step) {
        form().View.Move(0, 0, static_cast<float>(320 - 15 * step), static_cast<float>(240 - 10 * step));
        platform::ProcessPendingMessages();
    }
    EXPECT_TRUE(PumpUntil([&] { return size == "260x200"; })) << size;
    // The page's corner box sits in the new corner, and only there.
    EXPECT_TRUE(WaitForPixel(form().View, 259, 199, 0xCC0000));
    EXPECT_TRUE(WaitForPixel(form().View, 240, 180, 0xCC0000));
    EXPECT_EQ(PixelAt(form().View, 238, 178), 0xFFFFFFu);
    const platform::Bitmap* surface = platform::WindowSurface(form().View.hWnd());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Width(), 260);
    EXPECT_EQ(surface->Height(), 200);
}

}  // namespace
}  // namespace zem::forms
