#include "platform/drawing/gdi.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace zem::platform;

constexpr COLORREF kDesktop = RGB(58, 110, 165);  // COLOR_BACKGROUND

// Paints its whole client area with the colour kept in its user data, and
// counts its paints.
int paints = 0;
LRESULT PaintWithUserColour(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ++paints;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
        RECT all{0, 0, 10000, 10000};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowPainting : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowSystem();
        ConfigureDesktop({200, 150, TaskbarEdge::None, 0});
        WNDCLASSA windowClass;
        windowClass.lpfnWndProc = PaintWithUserColour;
        windowClass.lpszClassName = "drawing-test";
        RegisterClassA(&windowClass);
        paints = 0;
    }
    void TearDown() override { ResetWindowSystem(); }

    HWND Make(int x, int y, int width, int height, COLORREF color, HWND parent = nullptr, DWORD exStyle = 0) {
        const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
        HWND window = CreateWindowExA(exStyle, "drawing-test", "", style, x, y, width, height, parent, nullptr,
                                      nullptr, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, static_cast<LONG_PTR>(color));
        return window;
    }
    static COLORREF At(const Bitmap& bitmap, int x, int y) { return ColorFromPixel(bitmap.At(x, y)); }
};

TEST_F(WindowPainting, InvalidateAndUpdateRepaintOnlyTheUpdateArea) {
    HWND window = Make(10, 10, 40, 30, RGB(255, 0, 0));
    ProcessPendingMessages();
    ASSERT_GE(paints, 1);
    EXPECT_EQ(At(*WindowSurface(window), 39, 29), RGB(255, 0, 0));

    SetWindowLongPtrA(window, GWLP_USERDATA, RGB(0, 255, 0));
    RECT part{5, 5, 15, 10};
    InvalidateRect(window, &part, TRUE);
    const int before = paints;
    UpdateWindow(window);
    EXPECT_EQ(paints, before + 1);
    const Bitmap& surface = *WindowSurface(window);
    EXPECT_EQ(At(surface, 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(At(surface, 14, 9), RGB(0, 255, 0));
    EXPECT_EQ(At(surface, 15, 9), RGB(255, 0, 0)) << "outside the update area";
    EXPECT_EQ(At(surface, 4, 5), RGB(255, 0, 0));
    UpdateWindow(window);
    EXPECT_EQ(paints, before + 1) << "validated: no second paint";
}

TEST_F(WindowPainting, WindowDcsDrawOntoALastingSurfaceClippedToTheRegion) {
    HWND window = Make(0, 0, 20, 20, RGB(0, 0, 0));
    ProcessPendingMessages();
    SetWindowRgn(window, CreateRoundRectRgn(0, 0, 21, 220, 5, 5), TRUE);
    ProcessPendingMessages();
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    RECT all{0, 0, 20, 20};
    FillRect(dc, &all, brush);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    const Bitmap& surface = *WindowSurface(window);
    EXPECT_EQ(At(surface, 10, 10), RGB(9, 9, 9));
    EXPECT_EQ(At(surface, 0, 0), RGB(0, 0, 0)) << "the rounded corner is outside the region";
    EXPECT_EQ(At(surface, 0, 19), RGB(9, 9, 9)) << "only the top corners are rounded";
    const Bitmap screen = ComposeScreen();
    EXPECT_EQ(At(screen, 0, 0), kDesktop) << "the desktop shows through the corner";
    EXPECT_EQ(At(screen, 10, 10), RGB(9, 9, 9));

    // A DC that outlives its window draws nothing and fails quietly.
    HDC late = GetDC(window);
    DestroyWindow(window);
    EXPECT_EQ(FillRect(late, &all, brush), 0);
    EXPECT_EQ(ReleaseDC(nullptr, late), 1);
    DeleteObject(brush);
    EXPECT_EQ(GetDC(window), nullptr);
}

TEST_F(WindowPainting, ChildrenCoverTheirParentAndAreCutToIt) {
    HWND parent = Make(20, 20, 100, 80, RGB(255, 0, 0));
    HWND inside = Make(10, 10, 20, 20, RGB(0, 255, 0), parent);
    HWND overhanging = Make(90, 70, 30, 30, RGB(0, 0, 255), parent);
    HWND hidden = Make(50, 10, 20, 20, RGB(255, 255, 0), parent);
    ShowWindow(hidden, SW_HIDE);
    ProcessPendingMessages();
    const Bitmap screen = ComposeScreen();
    EXPECT_EQ(At(screen, 30, 30), RGB(0, 255, 0));
    EXPECT_EQ(At(screen, 29, 30), RGB(255, 0, 0));
    EXPECT_EQ(At(screen, 119, 99), RGB(0, 0, 255));
    EXPECT_EQ(At(screen, 120, 100), kDesktop) << "cut at the parent's edge";
    EXPECT_EQ(At(screen, 75, 35), RGB(255, 0, 0)) << "a hidden child is not drawn";
    const Bitmap alone = ComposeWindow(parent);
    EXPECT_EQ(alone.Width(), 100);
    EXPECT_EQ(At(alone, 10, 10), RGB(0, 255, 0));
    (void)inside;
    (void)overhanging;
}

TEST_F(WindowPainting, ZOrderAndLayeredAlphaCompose) {
    HWND below = Make(0, 0, 60, 60, RGB(255, 0, 0));
    HWND above = Make(30, 30, 60, 60, RGB(0, 0, 255));
    ProcessPendingMessages();
    Bitmap screen = ComposeScreen();
    EXPECT_EQ(At(screen, 40, 40), RGB(0, 0, 255)) << "the later window is on top";
    SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    screen = ComposeScreen();
    EXPECT_EQ(At(screen, 40, 40), RGB(255, 0, 0));

    HWND layered = Make(100, 0, 50, 50, RGB(255, 255, 255), nullptr, WS_EX_LAYERED);
    ProcessPendingMessages();
    struct Case {
        BYTE alpha;
        COLORREF expected;
    };
    for (const Case& c : {Case{255, RGB(255, 255, 255)}, Case{0, kDesktop},
                          Case{128, RGB((255 * 128 + 58 * 127 + 127) / 255, (255 * 128 + 110 * 127 + 127) / 255,
                                        (255 * 128 + 165 * 127 + 127) / 255)}}) {
        SetLayeredWindowAttributes(layered, 0, c.alpha, LWA_ALPHA);
        EXPECT_EQ(At(ComposeScreen(), 120, 20), c.expected) << int(c.alpha);
    }
    (void)above;
}

// A window's surface resized step by step keeps what it showed at the top
// left, and what comes into view is the new colour, never an older picture.
TEST(SurfaceResize, KeepsTheTopLeftAndFillsWhatComesIntoView) {
    constexpr Pixel kOld = 0x112233;
    constexpr Pixel kNew = 0x445566;
    struct Step {
        int width;
        int height;
    };
    const std::vector<std::vector<Step>> ways = {
        {{40, 30}, {30, 20}, {40, 30}},      // smaller, then back within its memory
        {{40, 30}, {41, 30}, {300, 200}},    // larger than its memory
        {{300, 200}, {40, 30}, {60, 50}},    // much smaller, then a little larger
    };
    for (const auto& steps : ways) {
        Bitmap surface(steps[0].width, steps[0].height, kOld);
        int keptWidth = steps[0].width;
        int keptHeight = steps[0].height;
        for (std::size_t index = 1; index < steps.size(); ++index) {
            const Step& step = steps[index];
            SCOPED_TRACE(std::to_string(step.width) + "x" + std::to_string(step.height));
            surface.Resize(step.width, step.height, kNew);
            keptWidth = std::min(keptWidth, step.width);
            keptHeight = std::min(keptHeight, step.height);
            ASSERT_EQ(surface.Width(), step.width);
            ASSERT_EQ(surface.Height(), step.height);
            ASSERT_GE(surface.Stride(), step.width);
            for (int y = 0; y < step.height; ++y)
                for (int x = 0; x < step.width; ++x)
                    ASSERT_EQ(surface.At(x, y), x < keptWidth && y < keptHeight ? kOld : kNew) << x << "," << y;
        }
    }
}

TEST_F(WindowPainting, SnapshotsAreWrittenAsPngAndOnRequestOnce) {
    HWND window = Make(5, 5, 30, 20, RGB(1, 2, 3));
    ProcessPendingMessages();
    std::string pattern = (std::filesystem::temp_directory_path() / "zem-snapshot-XXXXXX").string();
    const std::filesystem::path folder = mkdtemp(pattern.data());
    const std::string windowFile = (folder / "window.png").string();
    ASSERT_TRUE(WriteWindowSnapshot(window, windowFile));
    auto picture = LoadPicture(windowFile);
    EXPECT_EQ(picture->Width(), 30);
    EXPECT_EQ(ColorFromPixel(picture->Pixels().At(29, 19)), RGB(1, 2, 3));

    const std::string screenFile = (folder / "screen.png").string();
    SnapshotRequest request(screenFile);
    EXPECT_EQ(request.WriteOnce(), screenFile);
    auto screen = LoadPicture(screenFile);
    EXPECT_EQ(screen->Width(), 200);
    EXPECT_EQ(ColorFromPixel(screen->Pixels().At(0, 0)), kDesktop);
    EXPECT_EQ(request.WriteOnce(), std::nullopt) << "once per run";
    EXPECT_EQ(SnapshotRequest("").WriteOnce(), std::nullopt) << "no path, no snapshot";
    std::filesystem::remove_all(folder);
}

}  // namespace
