#include <memory>
#include <string>
#include <vector>

#include "controls/an.h"
#include "platform/base/resources.h"
#include "tests/controls/control_host.h"

namespace {

using zem::controls::testing::ControlHost;
using zem::controls::testing::MouseButton;

class Switch : public ControlHost {
protected:
    an& Make(const zem::forms::PropertyBag* saved = nullptr, RECT bounds = RECT{0, 0, 33, 19}) {
        sw = Place<an>(bounds, saved);
        sw->Click = [this] { events.push_back(std::string("Click ") + (sw->Valve() ? "on" : "off")); };
        sw->MouseDown = [this](int b, int, float x, float y) { Record("Down", b, x, y); };
        sw->MouseUp = [this](int b, int, float x, float y) { Record("Up", b, x, y); };
        sw->OnPropertyChanged = [this](const std::string& key) { events.push_back("Changed " + key); };
        return *sw;
    }
    void Record(const char* what, int button, float x, float y) {
        events.push_back(std::string(what) + " " + std::to_string(button) + " " + std::to_string(int(x)) + "," +
                         std::to_string(int(y)));
    }
    bool FaceShows(int sx, int sy) {
        const auto bytes = zem::platform::FindProgramResource("an.Pic");
        const auto sprite = zem::platform::LoadPictureFromMemory(bytes->data(), bytes->size(), "an.Pic");
        return ShowsPicture(sw->hWnd(), 0, 0, *sprite, sx, sy, 33, 19);
    }

    std::unique_ptr<an> sw;
    std::vector<std::string> events;
};

TEST_F(Switch, NewInstanceIsOnAndLoadedOneWithoutTheKeyIsOff) {
    Make();
    EXPECT_TRUE(sw->Valve());
    EXPECT_TRUE(FaceShows(0, 0));
    const zem::forms::PropertyBag empty;
    Make(&empty);
    EXPECT_FALSE(sw->Valve());
    EXPECT_TRUE(FaceShows(0, 19));
    EXPECT_EQ(sw->Save().Count(), 0u);  // off is the default
    sw->SetValve(true);
    const zem::forms::PropertyBag saved = sw->Save();
    Make(&saved);
    EXPECT_TRUE(sw->Valve());
}

TEST_F(Switch, IsAlways33By19) {
    Make(nullptr, RECT{10, 20, 200, 120});
    RECT rect{};
    GetWindowRect(sw->hWnd(), &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, 33);
    EXPECT_EQ(rect.bottom - rect.top, 19);
    EXPECT_FLOAT_EQ(sw->Width(), 33.0f);  // the host reads back the size the switch keeps
    EXPECT_FLOAT_EQ(sw->Height(), 19.0f);
}

TEST_F(Switch, SettingValveRedrawsAndRaisesNoEvent) {
    Make();
    sw->SetValve(false);
    EXPECT_TRUE(FaceShows(0, 19));
    EXPECT_EQ(events, (std::vector<std::string>{"Changed Valve"}));
}

TEST_F(Switch, ClickRunsDownUpThenToggleWithTheNewStateReadable) {
    Make();
    Move(10, 10);
    EXPECT_TRUE(FaceShows(33, 0));  // hover on
    EXPECT_EQ(GetCapture(), sw->hWnd());
    Press(10, 10);
    EXPECT_TRUE(FaceShows(66, 0));  // pressed on
    Release(10, 10);
    EXPECT_FALSE(sw->Valve());
    EXPECT_TRUE(FaceShows(0, 19));  // resting off
    EXPECT_EQ(events, (std::vector<std::string>{"Down 1 10,10", "Up 1 10,10", "Click off"}));
}

TEST_F(Switch, AQuickSecondClickIsTheRuntimesDoubleClickAndTogglesNothingMore) {
    Make();
    zem::platform::Click(MouseButton::Left, 10, 10);
    zem::platform::Click(MouseButton::Left, 10, 10);  // at once: a double click
    EXPECT_FALSE(sw->Valve());
    EXPECT_EQ(events, (std::vector<std::string>{"Down 1 10,10", "Up 1 10,10", "Click off", "Up 1 10,10"}));
    Advance(1000);
    zem::platform::Click(MouseButton::Left, 10, 10);
    EXPECT_TRUE(sw->Valve());
}

TEST_F(Switch, RightPressRaisesMouseDownWithoutThePressedLook) {
    Make();
    zem::platform::PressButton(zem::platform::MouseButton::Right, 10, 10);
    EXPECT_TRUE(FaceShows(33, 0));  // still the hover look of the move before the press
    zem::platform::ReleaseButton(zem::platform::MouseButton::Right, 10, 10);
    EXPECT_TRUE(sw->Valve());
    EXPECT_EQ(events, (std::vector<std::string>{"Down 2 10,10", "Up 2 10,10"}));
}

TEST_F(Switch, EdgesCountAsOutsideAndLeavingReleasesTheCapture) {
    struct Case { int x, y; bool hover; };
    for (const Case& c : {Case{0, 5, false}, Case{5, 0, false}, Case{1, 1, true}, Case{32, 18, true}}) {
        SCOPED_TRACE(c.x * 100 + c.y);
        Make();
        Move(c.x, c.y);
        EXPECT_EQ(sw->Look().x, c.hover ? an::kHover : an::kResting);
        EXPECT_EQ(GetCapture() == sw->hWnd(), c.hover);
    }
    Move(100, 100);  // the captured face sees the move that leaves it
    EXPECT_EQ(sw->Look().x, an::kResting);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
