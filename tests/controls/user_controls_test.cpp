// The three controls as user controls of a form: made by class identifier,
// placed in the form's twips, their properties saved from one instance and
// loaded into another, the list's font default taken from the host, and the
// form's own members hooked and sized when the form loads.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/an.h"
#include "controls/control_classes.h"
#include "controls/sf_playlist.h"
#include "controls/sf_vscrollbar.h"
#include "platform/base/resources.h"
#include "platform/drawing/bitmap.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/control_registry.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"
#include "tests/controls/control_host.h"

namespace {

using zem::forms::Control;
using zem::forms::PropertyBag;

// A form in its default scale, twips, placed at the screen's origin.
class TwipsForm : public zem::forms::Form {
public:
    TwipsForm() : Form(zem::controls::testing::DesignAtOrigin(400, 300)) {}
};

class UserControls : public ::testing::Test {
protected:
    UserControls() { zem::controls::RegisterControlClasses(); }
    ~UserControls() override {
        made.clear();
        zem::forms::DiscardAllForms();
    }
    template <class ControlClass>
    ControlClass& Make(const char* classId, zem::forms::Container& host) {
        made.push_back(zem::forms::CreateControl(classId, host, "Control" + std::to_string(made.size())));
        return dynamic_cast<ControlClass&>(*made.back());
    }

    zem::platform::TestDesktop desktop;
    std::vector<std::unique_ptr<Control>> made;
};

TEST_F(UserControls, AFormMakesEachByIdentifierAndPlacesItInItsOwnUnits) {
    TwipsForm& form = zem::forms::FormInstance<TwipsForm>::Get();
    form.Show();
    struct Case {
        const char* classId;
        int width, height;  // pixels, as the control keeps them
    };
    for (const Case& c : {Case{zem::controls::kScrollBarClassId, 17, 100},
                          Case{zem::controls::kPlayListClassId, 100, 100},
                          Case{zem::controls::kSwitchClassId, 33, 19}}) {
        SCOPED_TRACE(c.classId);
        made.push_back(zem::forms::CreateControl(c.classId, form, "Made"));
        auto& control = dynamic_cast<zem::controls::SelfDrawnControl&>(*made.back());
        control.Move(150, 300, 1500, 1500);  // twips: (10, 20), 100 x 100 pixels asked
        ASSERT_NE(control.hWnd(), nullptr);
        EXPECT_EQ(zem::platform::ParentWindow(control.hWnd()), form.hWnd());
        const RECT place = zem::platform::WindowScreenRect(control.hWnd());
        EXPECT_EQ(place.left, 10);
        EXPECT_EQ(place.top, 20);
        EXPECT_EQ(place.right - place.left, c.width);
        EXPECT_EQ(place.bottom - place.top, c.height);
        EXPECT_FLOAT_EQ(control.Width(), c.width * 15.0f);  // read back in the form's twips
        EXPECT_FLOAT_EQ(control.ScaleWidth(), static_cast<float>(c.width));  // inside: pixels
        control.SetVisible(false);
        EXPECT_FALSE(zem::platform::IsOwnVisible(control.hWnd()));
    }
}

TEST_F(UserControls, SavedPropertiesComeBackInANewInstanceAndDefaultsAreNotWritten) {
    TwipsForm& form = zem::forms::FormInstance<TwipsForm>::Get();
    struct Case {
        const char* name;
        const char* classId;
        std::vector<std::string> keys;     // every key the class persists
        std::vector<std::string> written;  // those the change leaves away from their defaults
        std::function<void(Control&)> change;
        std::function<void(Control&)> check;
    };
    const Case cases[] = {
        {"scroll bar", zem::controls::kScrollBarClassId,
         {"Min", "Max", "Value", "LargeChange", "SmallChange", "MouseIcon"}, {"Max", "Value"},
         [](Control& control) {
             auto& bar = dynamic_cast<SFVScrollBar&>(control);
             bar.SetLargeChange(1);  // written back to its default
             bar.SetMax(900);
             bar.SetValue(300);
         },
         [](Control& control) {
             auto& bar = dynamic_cast<SFVScrollBar&>(control);
             EXPECT_EQ(bar.Max(), 900);
             EXPECT_EQ(bar.Value(), 300);
             EXPECT_EQ(bar.LargeChange(), 1);
         }},
        {"play list", zem::controls::kPlayListClassId, {"BackColor", "ForeColor", "SelColor", "Font"},
         {"BackColor", "Font"},
         [](Control& control) {
             auto& list = dynamic_cast<SFPlayList&>(control);
             list.SetBackColor(0x404040);
             list.SetFontBold(true);
         },
         [](Control& control) {
             auto& list = dynamic_cast<SFPlayList&>(control);
             EXPECT_EQ(list.BackColor(), 0x404040u);
             EXPECT_TRUE(list.FontBold());
             EXPECT_EQ(list.ForeColor(), SFPlayList::kDefaultForeColor);
         }},
        {"switch turned on", zem::controls::kSwitchClassId, {"Valve"}, {"Valve"},
         [](Control& control) { dynamic_cast<an&>(control).SetValve(true); },
         [](Control& control) { EXPECT_TRUE(dynamic_cast<an&>(control).Valve()); }},
        {"switch turned off", zem::controls::kSwitchClassId, {"Valve"}, {},
         [](Control& control) { dynamic_cast<an&>(control).SetValve(false); },
         [](Control& control) { EXPECT_FALSE(dynamic_cast<an&>(control).Valve()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& first = Make<zem::forms::UserControl>(c.classId, form);
        first.InitNew();
        c.change(first);
        const PropertyBag bag = first.Save();
        for (const std::string& key : c.keys) {
            const bool written = std::find(c.written.begin(), c.written.end(), key) != c.written.end();
            EXPECT_EQ(bag.Contains(key), written) << key;
        }
        auto& second = Make<zem::forms::UserControl>(c.classId, form);
        second.Load(bag);
        c.check(second);
        EXPECT_FALSE(second.PropertiesChanged());
    }
}

TEST_F(UserControls, ThePlayListsFontDefaultsToACopyOfTheHostsFont) {
    TwipsForm& form = zem::forms::FormInstance<TwipsForm>::Get();
    form.SetFont(zem::forms::StdFont::Create("微软雅黑", 12));
    auto& list = Make<SFPlayList>(zem::controls::kPlayListClassId, form);
    list.InitNew();
    EXPECT_EQ(list.FontName(), "微软雅黑");
    EXPECT_EQ(list.FontSize(), 12);
    EXPECT_NE(list.Font(), form.Font());
    EXPECT_FALSE(list.Save().Contains("Font"));  // the host's font is the default
    list.SetFontItalic(true);
    EXPECT_FALSE(form.Font()->Italic());
    const PropertyBag bag = list.Save();
    ASSERT_TRUE(bag.Contains("Font"));
    auto& loaded = Make<SFPlayList>(zem::controls::kPlayListClassId, form);
    loaded.Load(bag);
    EXPECT_TRUE(loaded.FontItalic());
    EXPECT_EQ(loaded.FontName(), "微软雅黑");
    EXPECT_NE(loaded.Font(), list.Font());
}

// A form whose controls are its members, with their design properties given
// before the form's window exists.
class DesignForm : public zem::forms::Form {
public:
    DesignForm() : Form(zem::controls::testing::DesignAtOrigin(400, 300)) {
        SetScaleMode(zem::forms::vbPixels);
        SFPlayList1.Load(PropertyBag{{"BackColor", std::int32_t{0x404040}}});
        SFPlayList1.Move(0, 0, 200, 150);
        SFVScrollBar1.Move(250, 0, 60, 150);  // wider than the bar keeps
        an1.Load(PropertyBag{{"Valve", true}});
        an1.Move(300, 200, 50, 50);
    }
    SFPlayList SFPlayList1{*this, "SFPlayList1"};
    SFVScrollBar SFVScrollBar1{*this, "SFVScrollBar1"};
    an an1{*this, "an1"};
};

TEST_F(UserControls, AFormsOwnMembersAreHookedAndSizedWhenTheFormLoadsAndFreeAllTheyMadeWhenItUnloads) {
    DesignForm& form = zem::forms::FormInstance<DesignForm>::Get();
    form.Show();
    zem::forms::DoEvents();  // the paints the showing asked for
    // The first sizing reached each control's own handler.
    EXPECT_FLOAT_EQ(form.SFVScrollBar1.Width(), 17.0f);
    EXPECT_EQ(form.SFVScrollBar1.Part(SFVScrollBar::DownArrow).rect.top, 150 - 16);
    EXPECT_FLOAT_EQ(form.an1.Width(), 33.0f);
    EXPECT_EQ(form.SFPlayList1.DrawingWidth(), 200);
    EXPECT_FLOAT_EQ(form.SFPlayList1.ScrollBar().Left(), 183.0f);
    // What was read before the window shows through what the window made.
    const zem::platform::Bitmap* list = zem::platform::WindowSurface(form.SFPlayList1.hWnd());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->At(100, 100), zem::platform::PixelFromColor(0x404040));
    const auto bytes = zem::platform::FindProgramResource("an.Pic");
    const auto sprite = zem::platform::LoadPictureFromMemory(bytes->data(), bytes->size(), "an.Pic");
    const zem::platform::Bitmap* face = zem::platform::WindowSurface(form.an1.hWnd());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->At(20, 9), sprite->Pixels().At(20, 9));  // resting, on

    // Unloaded, the members outlive their windows until the form is freed: they
    // still take calls, and draw nothing.
    const HWND listWindow = form.SFPlayList1.hWnd();
    zem::forms::FormInstance<DesignForm>::Unload();
    EXPECT_FALSE(IsWindow(listWindow));
    EXPECT_EQ(form.SFPlayList1.hWnd(), nullptr);
    form.SFPlayList1.AddNode("after");
    form.SFPlayList1.SetBackColor(0x101010);
    form.SFVScrollBar1.SetValue(50);
    form.an1.SetValve(false);
    EXPECT_EQ(form.SFPlayList1.NodesCount(), 1);
    zem::forms::FreeUnloadedForms();

    // A second life leaves as many DCs and GDI objects as the first did (the
    // first may make the platform's stock objects): every DC, bitmap, brush
    // and font the controls made went with them.
    const std::size_t objects = zem::platform::LiveGdiObjectCount();
    const std::size_t contexts = zem::platform::LiveDeviceContextCount();
    zem::forms::FormInstance<DesignForm>::Get().Show();
    zem::forms::DoEvents();
    zem::forms::FormInstance<DesignForm>::Unload();
    zem::forms::FreeUnloadedForms();
    EXPECT_EQ(zem::platform::LiveGdiObjectCount(), objects);
    EXPECT_EQ(zem::platform::LiveDeviceContextCount(), contexts);
}

// A self-drawn control whose press raises an event and then goes on with its
// own call, as the real ones draw after raising theirs.
class PressProbe : public zem::controls::SelfDrawnControl {
public:
    PressProbe(zem::forms::Container& parent, std::string name)
        : SelfDrawnControl(parent, std::move(name), this, &PublicData::ThunkEntry<PressProbe>) {
        EnsureWindow();
    }
    ~PressProbe() override { DestroyChildWindow(); }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_LBUTTONDOWN) return CallSavedProcedure(window, message, wParam, lParam);
        RaiseEvent(Pressed);
        whole = terminations == 0 && GetObjectType(BackDC()) == OBJ_MEMDC &&
                GetObjectType(SkinDC()) == OBJ_MEMDC;
        return CallSavedProcedure(window, message, wParam, lParam);
    }

    std::function<void()> Pressed;
    int terminations = 0;
    bool whole = false;  // after the handler, in the same call

private:
    void TerminateDrawing() override { ++terminations; }
};

class UnloadingForm : public zem::forms::Form {
public:
    UnloadingForm() : Form(zem::controls::testing::DesignAtOrigin(200, 200)) {
        SetScaleMode(zem::forms::vbPixels);
        Probe.Move(0, 0, 50, 50);
        Probe.Pressed = [] { zem::forms::FormInstance<UnloadingForm>::Unload(); };
    }
    PressProbe Probe{*this, "Probe"};
};

// The handler unloads the form from inside the control's own WindowProc: the
// control's termination waits until that call has returned, then runs once.
TEST_F(UserControls, AHandlerThatUnloadsTheFormTerminatesTheControlOnlyAfterItsCall) {
    UnloadingForm& form = zem::forms::FormInstance<UnloadingForm>::Get();
    form.Show();
    zem::forms::DoEvents();
    zem::platform::PressButton(zem::platform::MouseButton::Left, 10, 10);
    zem::forms::DoEvents();
    EXPECT_FALSE(zem::forms::FormInstance<UnloadingForm>::Loaded());
    EXPECT_TRUE(form.Probe.whole);
    EXPECT_EQ(form.Probe.terminations, 1);
    zem::forms::FreeUnloadedForms();
}

}  // namespace
