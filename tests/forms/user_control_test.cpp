// A user control on a test form: made by class identifier, its extender in
// the form's units, its constituent controls, its property bag saved and
// reloaded, the ambient font, events raised to the host, its own mouse, and
// the life of its window (initialize, first sizing, terminate).
#include <gtest/gtest.h>

#include <map>

#include "platform/forms/control_registry.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/program.h"
#include "platform/forms/user_control.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {
namespace {

class ChoiceList : public UserControl {
public:
    ChoiceList(Container& parent, std::string name) : UserControl(parent, std::move(name)) {
        SetScaleMode(vbPixels);
        Title.OnClick = [this] { RaiseEvent(OnChosen, title_); };
    }
    const std::string& Caption() const { return title_; }
    void SetCaption(std::string caption) {
        title_ = std::move(caption);
        Title.SetCaption(title_);
        PropertyChanged("Caption");
    }
    int Rows() const { return rows_; }
    void SetRows(int rows) {
        rows_ = rows;
        PropertyChanged("Rows");
    }
    const FontRef& ListFont() const { return listFont_; }

    std::function<void(const std::string&)> OnChosen;
    Label Title{*this, "Title"};
    int paints = 0;
    int resizes = 0;
    std::vector<std::string> mouse;

protected:
    void UserControl_InitProperties() override {
        rows_ = 8;
        listFont_ = Ambient().Font()->Clone();
    }
    void UserControl_ReadProperties(const PropertyBag& bag) override {
        SetCaption(bag.ReadString("Caption", ""));
        rows_ = bag.ReadInt("Rows", 8);
        listFont_ = bag.ReadFont("Font", Ambient().Font());
    }
    void UserControl_WriteProperties(PropertyBag& bag) override {
        bag.WriteProperty("Caption", title_, std::string());
        bag.WriteProperty("Rows", rows_, 8);
        bag.WriteProperty("Font", listFont_, Ambient().Font());
    }
    void UserControl_Resize() override {
        ++resizes;
        Title.Move(0, 0, ScaleWidth(), 20);
    }
    void UserControl_Paint() override { ++paints; }
    void UserControl_MouseDown(int button, int, float x, float y) override {
        mouse.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(int(x)) + "," +
                        std::to_string(int(y)));
    }
    void UserControl_Click() override { mouse.push_back("Click"); }

private:
    std::string title_;
    int rows_ = 0;
    FontRef listFont_;
};

class HostForm : public Form {
public:
    HostForm() : Form(FormDesign{"host", 300, 200}) {}
};

class UserControlTest : public ::testing::Test {
protected:
    UserControlTest() {
        RegisterLifecycleClass();
        RegisterControlClass("Velisto.SFPlayList", [](Container& parent, const std::string& name) {
            return std::unique_ptr<Control>(std::make_unique<ChoiceList>(parent, name));
        });
    }
    ~UserControlTest() override {
        made.clear();  // controls go before their form
        DiscardAllForms();
        ResetProgramState();
        SetEndAction(nullptr);
    }
    static void RegisterLifecycleClass();
    ChoiceList& Make(const std::string& name) {
        made.push_back(CreateControl("Velisto.SFPlayList", host, name));
        return dynamic_cast<ChoiceList&>(*made.back());
    }
    platform::TestDesktop desktop;
    HostForm& host = FormInstance<HostForm>::Get();
    std::vector<std::unique_ptr<Control>> made;
};

TEST_F(UserControlTest, PlacesItsWindowByTheExtenderAndPaintsAtOnce) {
    ChoiceList& list = Make("PlayList1");
    list.Move(150, 300, 1500, 750);  // twips of the form
    ASSERT_NE(list.hWnd(), nullptr);
    EXPECT_EQ(platform::ParentWindow(list.hWnd()), host.hWnd());
    const RECT place = platform::WindowScreenRect(list.hWnd());
    const RECT form = platform::WindowScreenRect(host.hWnd());
    EXPECT_EQ(place.left - form.left, 10);
    EXPECT_EQ(place.top - form.top, 20);
    EXPECT_FLOAT_EQ(list.ScaleWidth(), 100.0f);
    EXPECT_FLOAT_EQ(list.Title.Width(), 100.0f);  // laid out by its Resize event
    EXPECT_GE(list.resizes, 1);

    host.Show();
    const int before = list.paints;
    list.Refresh();
    EXPECT_EQ(list.paints, before + 1);
    list.SetVisible(false);
    EXPECT_FALSE(platform::IsOwnVisible(list.hWnd()));
}

TEST_F(UserControlTest, SavesOnlyChangedPropertiesAndReloadsThem) {
    ChoiceList& first = Make("PlayList1");
    first.InitNew();
    EXPECT_EQ(first.Rows(), 8);
    EXPECT_EQ(first.Save().Count(), 0u);  // everything at its default

    first.SetCaption("播放列表");
    first.ListFont()->SetBold(true);
    EXPECT_TRUE(first.PropertiesChanged());
    const PropertyBag bag = first.Save();
    EXPECT_FALSE(first.PropertiesChanged());
    EXPECT_TRUE(bag.Contains("Caption"));
    EXPECT_FALSE(bag.Contains("Rows"));
    EXPECT_TRUE(bag.Contains("Font"));

    ChoiceList& second = Make("PlayList2");
    second.Load(bag);
    EXPECT_EQ(second.Caption(), "播放列表");
    EXPECT_EQ(second.Title.Caption(), "播放列表");
    EXPECT_EQ(second.Rows(), 8);
    EXPECT_TRUE(second.ListFont()->Bold());
    EXPECT_NE(second.ListFont(), first.ListFont());
    EXPECT_FALSE(second.PropertiesChanged());
}

TEST_F(UserControlTest, RaisesItsEventsToTheHostSynchronously) {
    ChoiceList& list = Make("PlayList1");
    list.Move(0, 0, 1500, 750);
    list.SetCaption("一");
    std::string chosen;
    list.OnChosen = [&](const std::string& title) { chosen = title; };
    host.Show();
    const RECT place = platform::WindowScreenRect(list.hWnd());
    platform::Click(platform::MouseButton::Left, place.left + 5, place.top + 5);
    EXPECT_EQ(chosen, "一");
    EXPECT_EQ(list.Ambient().Font(), host.Font());
    EXPECT_THROW(CreateControl("Velisto.Missing", host, "x"), RuntimeError);
}

TEST_F(UserControlTest, TheMouseOnTheControlIsItsOwnAndAClickNeedsTheReleaseOverIt) {
    ChoiceList& list = Make("PlayList1");
    list.Move(0, 0, 1500, 750);  // 100 x 50 pixels, the title label over its top 20 rows
    std::vector<std::string> extender;
    list.OnMouseDown = [&](int, int, float, float) { extender.push_back("MouseDown"); };
    list.OnClick = [&] { extender.push_back("Click"); };
    host.Show();
    const RECT place = platform::WindowScreenRect(list.hWnd());
    platform::PressButton(platform::MouseButton::Left, place.left + 30, place.top + 40);
    platform::ReleaseButton(platform::MouseButton::Left, place.left + 300, place.top + 40);  // off the control
    desktop.clock().Advance(1000);
    platform::Click(platform::MouseButton::Left, place.left + 30, place.top + 40);
    EXPECT_EQ(list.mouse, (std::vector<std::string>{"MouseDown 1 30,40", "MouseDown 1 30,40", "Click"}));
    EXPECT_TRUE(extender.empty());  // the host sees only what the control raises
}

TEST_F(UserControlTest, PropertyChangedTellsTheHostEveryKeyInOrder) {
    ChoiceList& list = Make("PlayList1");
    std::vector<std::string> keys;
    list.OnPropertyChanged = [&](const std::string& key) { keys.push_back(key); };
    list.SetRows(3);
    list.SetCaption("一");
    list.SetRows(4);
    EXPECT_EQ(keys, (std::vector<std::string>{"Rows", "Caption", "Rows"}));
    EXPECT_EQ(list.ChangedProperties(), (std::set<std::string>{"Caption", "Rows"}));
}

TEST_F(UserControlTest, AnUntrappedErrorInTheHostsHandlerIsTheRuntimes) {
    ChoiceList& list = Make("PlayList1");
    list.Move(0, 0, 1500, 750);
    list.OnChosen = [](const std::string&) { throw RuntimeError(errFileNotFound); };
    host.Show();
    SetEndAction([] { UnloadAllFormsSilently(); });
    ScopedModalScript script;
    script.AnswerMessageBox(vbOK);
    const RECT place = platform::WindowScreenRect(list.hWnd());
    platform::Click(platform::MouseButton::Left, place.left + 5, place.top + 5);
    ASSERT_EQ(script.Questions().size(), 1u);
    EXPECT_NE(script.Questions()[0].text.find("53"), std::string::npos);
    EXPECT_TRUE(Ended());
}

// ---- The lifecycle of a control's window ----

// A control that hooks its own window in Initialize and logs what it sees.
class LifecycleControl : public UserControl {
public:
    LifecycleControl(Container& parent, std::string name) : UserControl(parent, std::move(name)) {}
    ~LifecycleControl() override { DestroyChildWindow(); }
    static std::vector<std::string>& Log() {
        static std::vector<std::string> log;
        return log;
    }

protected:
    void UserControl_Initialize() override {
        Log().push_back("Initialize");
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hWnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&LifecycleControl::Hook)));
        Hooked()[hWnd()] = previous_;
    }
    void UserControl_Terminate() override {
        Log().push_back(std::string("Terminate, window ") + (IsWindow(hWnd()) ? "alive" : "gone"));
        SetWindowLongPtrA(hWnd(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        Hooked().erase(hWnd());
    }
    void UserControl_Resize() override { Log().push_back("Resize"); }

private:
    static std::map<HWND, WNDPROC>& Hooked() {
        static std::map<HWND, WNDPROC> hooked;
        return hooked;
    }
    static LRESULT Hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SIZE) Log().push_back("hook WM_SIZE");
        return CallWindowProcA(Hooked().at(window), window, message, wParam, lParam);
    }
    WNDPROC previous_ = nullptr;
};

void UserControlTest::RegisterLifecycleClass() {
    RegisterControlClass("Test.Lifecycle", [](Container& parent, const std::string& name) {
        return std::unique_ptr<Control>(std::make_unique<LifecycleControl>(parent, name));
    });
}

class LifecycleHost : public Form {
public:
    LifecycleHost() : Form(FormDesign{"lifecycle", 300, 200}) { Member.Move(0, 0, 600, 600); }
    LifecycleControl Member{*this, "Member"};
    ControlArray<LifecycleControl> Elements{*this, "Elements"};
};

TEST_F(UserControlTest, InitializeHooksTheWholeControlBeforeItsFirstSizingAndTerminateComesBeforeTheWindowGoes) {
    using Log = std::vector<std::string>;
    std::vector<std::unique_ptr<Control>> own;
    struct Path {
        const char* name;
        std::function<void(LifecycleHost&)> make;  // none: the form's own member
    };
    const Path paths[] = {
        {"a member, with its form's window", nullptr},
        {"by identifier on a loaded form",
         [&](LifecycleHost& form) { own.push_back(CreateControl("Test.Lifecycle", form, "Made")); }},
        {"an array element on a loaded form", [](LifecycleHost& form) { form.Elements.Load(1); }},
    };
    const Log sized{"Initialize", "hook WM_SIZE", "Resize"};
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        LifecycleControl::Log().clear();
        LifecycleHost& form = FormInstance<LifecycleHost>::Get();
        if (path.make) {
            LifecycleControl::Log().clear();
            path.make(form);
        }
        EXPECT_EQ(LifecycleControl::Log(), sized);
        LifecycleControl::Log().clear();
        FormInstance<LifecycleHost>::Unload();
        own.clear();
        FreeUnloadedForms();
        EXPECT_EQ(LifecycleControl::Log(), Log(path.make ? 2 : 1, "Terminate, window alive"));
    }
    // A control destroyed before its form terminates at once, its window still there.
    LifecycleHost& form = FormInstance<LifecycleHost>::Get();
    own.push_back(CreateControl("Test.Lifecycle", form, "Made"));
    LifecycleControl::Log().clear();
    own.clear();
    EXPECT_EQ(LifecycleControl::Log(), Log{"Terminate, window alive"});
}

}  // namespace
}  // namespace zem::forms
