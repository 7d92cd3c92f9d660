// The buffering countdown on the manual clock: its captions, its end, its
// restart, and the published values that start none.
#include <string>
#include <vector>

#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

class CountdownTest : public MainWindowFixture {
protected:
    Form1& OpenWith(const std::string& switchValue, const std::string& seconds) {
        forms::DiscardAllForms();
        ResetModules();
        PublishValues("[huangchong]\r\nhuangchong=" + switchValue + "\r\n[da]\r\nda=" + seconds + "\r\n");
        return Open();
    }
    // The captions of the next `ticks` seconds.
    std::vector<std::string> Ticks(Form1& main, int ticks) {
        std::vector<std::string> captions;
        for (int tick = 0; tick < ticks; ++tick) {
            desktop.clock().Advance(1000);
            captions.push_back(main.tip.Caption());
        }
        return captions;
    }
};

TEST_F(CountdownTest, FiveSecondsShowFourToZeroThenTheOverlayGoes) {
    Form1& main = OpenWith("1", "5");
    main.tip.SetCaption("earlier");
    main.广告倒计时();
    EXPECT_TRUE(main.vip.Visible());
    EXPECT_EQ(main.tip.Caption(), "earlier");  // untouched until the first tick
    desktop.clock().Advance(999);
    EXPECT_EQ(main.tip.Caption(), "earlier");
    desktop.clock().Advance(1);
    EXPECT_EQ(main.tip.Caption(), " 4 秒");
    EXPECT_EQ(Ticks(main, 3), (std::vector<std::string>{" 3 秒", " 2 秒", " 1 秒"}));
    EXPECT_TRUE(main.vip.Visible());
    desktop.clock().Advance(1000);
    EXPECT_EQ(main.tip.Caption(), " 0 秒");
    EXPECT_FALSE(main.vip.Visible());
    EXPECT_FALSE(main.Timer8.Enabled());
    desktop.clock().Advance(5000);
    EXPECT_EQ(main.tip.Caption(), " 0 秒");
}

TEST_F(CountdownTest, OnlyTheSecondsOfAMinuteAreShown) {
    Form1& main = OpenWith("1", "90");
    main.广告倒计时();
    EXPECT_EQ(Ticks(main, 1), std::vector<std::string>{" 29 秒"});
    desktop.clock().Advance(28 * 1000);
    EXPECT_EQ(Ticks(main, 2), (std::vector<std::string>{" 0 秒", " 59 秒"}));  // 60, then 59 left
    EXPECT_TRUE(main.vip.Visible());
}

TEST_F(CountdownTest, ASecondStartRunsTheWholeLengthAgainFromItsOwnMoment) {
    Form1& main = OpenWith("1", "5");
    main.广告倒计时();
    desktop.clock().Advance(2000);
    main.广告倒计时();
    desktop.clock().Advance(4999);
    EXPECT_TRUE(main.vip.Visible());
    EXPECT_EQ(main.tip.Caption(), " 1 秒");
    desktop.clock().Advance(1);
    EXPECT_FALSE(main.vip.Visible());
}

TEST_F(CountdownTest, OnlyAOneAndAWholeNumberAboveZeroStartTheCountdown) {
    struct Case {
        const char* switchValue;
        const char* seconds;
        bool starts;
    };
    const Case cases[] = {
        {"1", "5", true},   {"1", " 7 ", true}, {"0", "5", false},   {"", "5", false}, {"01", "5", false},
        {"1 ", "5", false}, {"1", "0", false},  {"1", "-3", false},  {"1", "", false}, {"1", "abc", false},
        {"1", "2.5", false}, {"1", "99999999999", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.switchValue) + "/" + c.seconds);
        Form1& main = OpenWith(c.switchValue, c.seconds);
        // "/zem.ini" trims blanks around values, so the switch is set directly here.
        main.huangchong.SetCaption(c.switchValue);
        main.da.SetCaption(c.seconds);
        main.广告倒计时();
        EXPECT_EQ(main.vip.Visible(), c.starts);
        EXPECT_EQ(main.Timer8.Enabled(), c.starts);
    }
}

TEST_F(CountdownTest, TheStripLabelsAreCentredInTheOverlay) {
    Form1& main = OpenWith("1", "5");
    main.广告倒计时();
    const float width = main.vip3.ScaleWidth();
    EXPECT_NEAR(main.Label5.Left(), (width - 975) / 2, 15);
    EXPECT_FLOAT_EQ(main.tip.Left(), main.Label5.Left() + 900);
    EXPECT_FLOAT_EQ(main.vip3.Top(), main.vip.ScaleHeight() - 300);
}

}  // namespace
}  // namespace zem::mainwindow_testing
