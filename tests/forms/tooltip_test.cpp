// The tooltip: when it shows, what it shows and where, and every way it goes.
#include <gtest/gtest.h>

#include <memory>

#include "platform/drawing/bitmap.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/forms/tooltip.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {
namespace {

using platform::MouseButton;

class TipForm : public Form {
public:
    static FormDesign Design() {
        FormDesign design;
        design.clientWidth = 300;
        design.clientHeight = 200;
        design.startUpPosition = vbStartUpManual;
        return design;
    }
    TipForm() : Form(Design()) {
        SetScaleMode(vbPixels);
        Close.Move(10, 10, 40, 20);
        Close.SetToolTipText("关闭软件");
        Plain.Move(60, 10, 40, 20);
        Box.Move(10, 100, 80, 40);
        Box.SetToolTipText("清除播放记录");
    }
    Label Close{*this, "Close"};
    Label Plain{*this, "Plain"};
    PictureBox Box{*this, "Box"};
};

class ToolTipTest : public ::testing::Test {
protected:
    ToolTipTest() {
        form().Show();
        platform::ProcessPendingMessages();
    }
    ~ToolTipTest() override {
        DiscardAllForms();
        ResetProgramState();
    }
    static TipForm& form() { return FormInstance<TipForm>::Get(); }
    void Wait(int milliseconds) {
        desktop.clock().Advance(milliseconds);
        platform::ProcessPendingMessages();
    }
    platform::TestDesktop desktop;
};

TEST_F(ToolTipTest, ShowsAfterTheRestBelowThePointerAndFollowsTextChanges) {
    platform::MovePointer(20, 15);
    Wait(ToolTipInitialDelay - 1);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);
    Wait(1);
    ASSERT_NE(ShownToolTipWindow(), nullptr);
    EXPECT_EQ(ShownToolTipText(), "关闭软件");
    RECT place{};
    GetWindowRect(ShownToolTipWindow(), &place);
    EXPECT_EQ(place.left, 20);
    EXPECT_GT(place.top, 15);
    EXPECT_GT(place.right - place.left, 2 * 4);
    // On the screen: a dark frame around the info colour.
    const platform::Bitmap screen = platform::ComposeScreen();
    EXPECT_EQ(screen.At(place.left, place.top), platform::PixelFromColor(GetSysColor(COLOR_INFOTEXT)));
    EXPECT_EQ(screen.At(place.left + 2, place.top + 2), platform::PixelFromColor(GetSysColor(COLOR_INFOBK)));

    // Moving over the same control keeps the tip; a new text shows at the next move.
    form().Close.SetToolTipText("还原");
    platform::MovePointer(25, 16);
    EXPECT_EQ(ShownToolTipText(), "还原");
}

TEST_F(ToolTipTest, GoesWhenThePointerLeavesAButtonIsPressedOrTimeRunsOut) {
    // To a control without a tip: gone at once.
    platform::MovePointer(20, 15);
    Wait(ToolTipInitialDelay);
    ASSERT_NE(ShownToolTipWindow(), nullptr);
    platform::MovePointer(70, 15);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);

    // A press: gone, and not back while the pointer stays on that control.
    platform::MovePointer(20, 15);
    Wait(ToolTipInitialDelay);
    ASSERT_NE(ShownToolTipWindow(), nullptr);
    platform::Click(MouseButton::Left, 20, 15);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);
    Wait(2 * ToolTipInitialDelay);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);

    // Time runs out on the picture box's own tip; leaving the form entirely ends an armed tip.
    platform::MovePointer(30, 120);
    Wait(ToolTipInitialDelay);
    EXPECT_EQ(ShownToolTipText(), "清除播放记录");
    Wait(ToolTipShowTime);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);
    platform::MovePointer(20, 15);
    platform::MovePointer(800, 600);  // the bare desktop: no move reaches the form
    Wait(ToolTipInitialDelay);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);
}

TEST_F(ToolTipTest, AControlThatGoesTakesItsTipWithIt) {
    auto extra = std::make_unique<Label>(form(), "Extra");
    extra->Move(150, 10, 40, 20);
    extra->SetToolTipText("临时");
    platform::MovePointer(160, 15);
    Wait(ToolTipInitialDelay);
    ASSERT_EQ(ShownToolTipText(), "临时");
    extra.reset();
    EXPECT_EQ(ShownToolTipWindow(), nullptr);
    Wait(ToolTipShowTime);
    EXPECT_EQ(ShownToolTipWindow(), nullptr);
}

}  // namespace
}  // namespace zem::forms
