// A user control on a test form: made by class identifier, its extender in
// the form's units, its constituent controls, its property bag saved and
// reloaded, the ambient font and events raised to the host.
#include <gtest/gtest.h>

#include "platform/forms/control_registry.h"
#include "platform/forms/form.h"
#include "platform/forms/user_control.h"
#include "platform/window/test_desktop.h"
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
        RegisterControlClass("Velisto.SFPlayList", [](Container& parent, const std::string& name) {
            return std::unique_ptr<Control>(std::make_unique<ChoiceList>(parent, name));
        });
    }
    ~UserControlTest() override {
        made.clear();  // controls go before their form
        DiscardAllForms();
    }
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

}  // namespace
}  // namespace zem::forms
