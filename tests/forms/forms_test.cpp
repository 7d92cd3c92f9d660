// A headless test form: containers in both scale modes, control arrays, a
// timer on the manual clock, a popup menu and a message box, driven by
// scripted input on a test desktop.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/drawing/bitmap.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/program.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {
namespace {

using platform::MouseButton;

class TestForm : public Form {
public:
    static FormDesign Design() {
        FormDesign design;
        design.caption = "测试窗体";
        design.clientWidth = 400;
        design.clientHeight = 300;
        return design;
    }
    TestForm() : Form(Design()) {
        SetScaleMode(vbTwips);
        SetBackColor(RGB(0, 0, 255));
        Box.SetScaleMode(vbPixels);
        Box.Move(1500, 1500, 3000, 1500);  // 100, 100, 200 x 100 pixels
        Box.SetBackColor(RGB(0, 255, 0));
        Inner.Move(10, 10, 50, 20);
        Inner.SetBackColor(RGB(255, 0, 0));
        Inner.OnMouseDown = [this](int button, int, float x, float y) { downs.push_back({button, x, y}); };
        Inner.OnClick = [this] { events.push_back("Inner_Click"); };
        Buttons.Bind([this](int index, Label& button) {
            button.OnClick = [this, index] { events.push_back("Buttons_Click " + std::to_string(index)); };
        });
        for (int index = 0; index < 3; ++index) Buttons.Load(index).Move(index * 750.0f, 0, 600, 300);
        Ticker.SetInterval(1000);
        Ticker.OnTimer = [this] { ++ticks; };
        Box.OnResize = [this] { events.push_back("Box_Resize"); };
        Tray.Add("show", "显示或隐藏").OnClick = [this] { events.push_back("show"); };
        Tray.Add("sep", "-");
        Tray.Add("quit", "退出").OnClick = [this] {
            if (MsgBox("确定退出吗？", vbYesNo | vbQuestion, "提示") == vbYes) events.push_back("quit confirmed");
        };
        Buttons[2].OnDblClick = [this] { PopupMenu(Tray); };
    }
    void Form_Load() override { events.push_back("Form_Load"); }
    void Form_Resize() override { events.push_back("Form_Resize"); }
    void Form_MouseDown(int button, int, float x, float y) override { downs.push_back({button, x, y}); }
    void Form_Unload(int& cancel) override {
        events.push_back("Form_Unload");
        cancel = refuseUnload ? 1 : 0;
    }

    struct Down {
        int button;
        float x, y;
    };
    PictureBox Box{*this, "Box"};
    Label Inner{Box, "Inner"};
    ControlArray<Label> Buttons{*this, "Buttons"};
    Timer Ticker{*this, "Ticker"};
    Menu Tray{"menu", ""};
    std::vector<std::string> events;
    std::vector<Down> downs;
    int ticks = 0;
    bool refuseUnload = false;
};

TestForm& TheForm() { return FormInstance<TestForm>::Get(); }

class FormsTest : public ::testing::Test {
protected:
    ~FormsTest() override {
        DiscardAllForms();
        ResetProgramState();
        SetEndAction(nullptr);
    }
    // Clicks away from each other in time, so no two make a double click.
    void ClickAt(MouseButton button, LONG x, LONG y) {
        desktop.clock().Advance(2000);
        platform::Click(button, x, y);
    }
    platform::TestDesktop desktop;
};

TEST_F(FormsTest, LoadsOnFirstUseAndUnloadsToANewInstance) {
    TestForm& form = TheForm();
    EXPECT_EQ(&form, &TheForm());
    EXPECT_EQ(form.events, (std::vector<std::string>{"Box_Resize", "Form_Load", "Form_Resize"}));
    EXPECT_FALSE(form.Visible());
    HWND window = form.hWnd();
    HWND box = form.Box.hWnd();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(platform::ParentWindow(box), window);

    form.refuseUnload = true;
    form.Unload();
    EXPECT_TRUE(FormInstance<TestForm>::Loaded());
    form.refuseUnload = false;
    FormInstance<TestForm>::Unload();
    EXPECT_FALSE(FormInstance<TestForm>::Loaded());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(box));
    FreeUnloadedForms();
    EXPECT_EQ(TheForm().events.at(1), "Form_Load");
    EXPECT_EQ(LoadedForms().size(), 1u);
}

TEST_F(FormsTest, ShowsCentredAndMaximizesThroughTheWindowLayer) {
    TestForm& form = TheForm();
    form.Show();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(platform::WindowText(form.hWnd()), platform::Utf8ToGbk("测试窗体"));
    const RECT placed = platform::WindowScreenRect(form.hWnd());
    EXPECT_EQ(placed.left, (1366 - 400) / 2);
    EXPECT_EQ(placed.top, (768 - 300) / 2);
    EXPECT_FLOAT_EQ(form.Left(), static_cast<float>(placed.left * 15));
    EXPECT_FLOAT_EQ(form.ScaleWidth(), 400.0f * 15);

    form.events.clear();
    form.SetWindowState(vbMaximized);
    EXPECT_EQ(form.WindowState(), vbMaximized);
    EXPECT_TRUE(IsZoomed(form.hWnd()));
    EXPECT_EQ(form.events, std::vector<std::string>{"Form_Resize"});
    form.SetWindowState(vbNormal);
    EXPECT_EQ(platform::WindowScreenRect(form.hWnd()).right - platform::WindowScreenRect(form.hWnd()).left, 400);
    form.Hide();
    EXPECT_FALSE(form.Visible());
    EXPECT_THROW(form.SetWindowState(5), RuntimeError);
}

TEST_F(FormsTest, MouseCoordinatesAreInEachContainersUnits) {
    TestForm& form = TheForm();
    form.Show();
    const RECT origin = platform::WindowScreenRect(form.hWnd());
    // Form in twips: (20, 30) pixels on the form.
    ClickAt(MouseButton::Right, origin.left + 20, origin.top + 400 / 2 + 50);
    // The label in the picture box, which is in pixels: (5, 6) inside the label.
    ClickAt(MouseButton::Left, origin.left + 100 + 10 + 5, origin.top + 100 + 10 + 6);
    ASSERT_EQ(form.downs.size(), 2u);
    EXPECT_EQ(form.downs[0].button, vbRightButton);
    EXPECT_FLOAT_EQ(form.downs[0].x, 20.0f * 15);
    EXPECT_FLOAT_EQ(form.downs[0].y, 250.0f * 15);
    EXPECT_EQ(form.downs[1].button, vbLeftButton);
    EXPECT_FLOAT_EQ(form.downs[1].x, 5.0f);
    EXPECT_FLOAT_EQ(form.downs[1].y, 6.0f);
    EXPECT_EQ(form.events.back(), "Inner_Click");

    // Child places follow the container's units.
    EXPECT_FLOAT_EQ(form.Box.Left(), 1500.0f);
    EXPECT_FLOAT_EQ(form.Box.ScaleWidth(), 200.0f);
    EXPECT_FLOAT_EQ(form.Inner.Width(), 50.0f);
    const RECT box = platform::WindowScreenRect(form.Box.hWnd());
    EXPECT_EQ(box.left - origin.left, 100);
    EXPECT_EQ(box.right - box.left, 200);
}

TEST_F(FormsTest, ControlArraysReachTheirHandlersWithTheIndex) {
    TestForm& form = TheForm();
    form.Show();
    const RECT origin = platform::WindowScreenRect(form.hWnd());
    for (int index : {2, 0, 1}) ClickAt(MouseButton::Left, origin.left + index * 50 + 5, origin.top + 5);
    const std::vector<std::string> clicks(form.events.end() - 3, form.events.end());
    EXPECT_EQ(clicks, (std::vector<std::string>{"Buttons_Click 2", "Buttons_Click 0", "Buttons_Click 1"}));
    EXPECT_EQ(form.Buttons[1].Index(), 1);
    EXPECT_EQ(form.Buttons.UBound(), 2);

    // An element loaded at run time gets the bound handlers too.
    form.Buttons.Load(3).Move(0, 2250, 600, 300);
    ClickAt(MouseButton::Left, origin.left + 5, origin.top + 155);
    EXPECT_EQ(form.events.back(), "Buttons_Click 3");

    struct Case {
        int index;
        bool load;
        int error;
    };
    for (const Case& c : {Case{7, false, errControlArrayElementMissing}, Case{1, true, errControlArrayElementExists}}) {
        try {
            if (c.load)
                form.Buttons.Load(c.index);
            else
                (void)form.Buttons[c.index];
            ADD_FAILURE() << "no error for index " << c.index;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), c.error);
        }
    }
}

TEST_F(FormsTest, TimerRunsOnTheManualClockAndRestartsOnANewInterval) {
    TestForm& form = TheForm();
    desktop.clock().Advance(999);
    DoEvents();
    EXPECT_EQ(form.ticks, 0);
    desktop.clock().Advance(1);
    DoEvents();
    EXPECT_EQ(form.ticks, 1);
    desktop.clock().Advance(600);
    form.Ticker.SetInterval(1000);  // restarts: next tick 1000 ms from now
    desktop.clock().Advance(600);
    DoEvents();
    EXPECT_EQ(form.ticks, 1);
    desktop.clock().Advance(400);
    DoEvents();
    EXPECT_EQ(form.ticks, 2);
    form.Ticker.SetEnabled(false);
    desktop.clock().Advance(5000);
    DoEvents();
    EXPECT_EQ(form.ticks, 2);
}

TEST_F(FormsTest, DoubleClickPopsTheMenuWhoseItemAsksAMessageBox) {
    TestForm& form = TheForm();
    form.Show();
    const RECT origin = platform::WindowScreenRect(form.hWnd());
    ScopedModalScript script;
    script.ChooseMenuItem("退出").AnswerMessageBox(vbYes);
    desktop.clock().Advance(2000);
    platform::Click(MouseButton::Left, origin.left + 105, origin.top + 5);
    platform::Click(MouseButton::Left, origin.left + 105, origin.top + 5);
    EXPECT_EQ(form.events.back(), "quit confirmed");
    ASSERT_EQ(script.Questions().size(), 2u);
    EXPECT_EQ(script.Questions()[0].items, (std::vector<std::string>{"显示或隐藏", "-", "退出"}));
    EXPECT_EQ(script.Questions()[1].text, "确定退出吗？");
    EXPECT_EQ(script.Unused(), 0u);
}

// A press that hands the mouse to the window's move loop (the borderless
// window's drag) ends that press: the next click is a click of its own.
TEST_F(FormsTest, APressWhoseCaptureIsTakenEndsAndTheNextClickCounts) {
    TestForm& form = TheForm();
    form.Show();
    form.Buttons[0].OnMouseDown = [&form](int, int, float, float) {
        ReleaseCapture();
        SendMessageA(form.hWnd(), WM_SYSCOMMAND, 0xF012, 0);
    };
    const RECT before = platform::WindowScreenRect(form.hWnd());
    desktop.clock().Advance(2000);
    using Kind = platform::InputEvent::Kind;
    const POINT start{before.left + 5, before.top + 5};
    const POINT end{start.x + 30, start.y + 20};
    platform::QueueInput({Kind::Press, start, MouseButton::Left, 0});
    platform::QueueInput({Kind::Move, end, MouseButton::Left, 0});
    platform::QueueInput({Kind::Release, end, MouseButton::Left, 0});
    platform::ProcessPendingMessages();
    const RECT after = platform::WindowScreenRect(form.hWnd());
    ASSERT_EQ(after.left - before.left, 30);
    EXPECT_NE(form.events.back(), "Buttons_Click 0");

    ClickAt(MouseButton::Left, after.left + 55, after.top + 5);
    EXPECT_EQ(form.events.back(), "Buttons_Click 1");
}

TEST_F(FormsTest, PaintsBackColoursAndWindowlessControls) {
    TestForm& form = TheForm();
    form.Show();
    form.Refresh();
    form.Box.Refresh();
    const platform::Bitmap image = platform::ComposeWindow(form.hWnd());
    struct Case {
        int x, y;
        COLORREF color;
    };
    for (const Case& c : {Case{5, 290, RGB(0, 0, 255)}, Case{150, 180, RGB(0, 255, 0)}, Case{115, 115, RGB(255, 0, 0)}})
        EXPECT_EQ(platform::ColorFromPixel(image.At(c.x, c.y)), c.color) << c.x << "," << c.y;
}

TEST_F(FormsTest, AnUntrappedErrorInAHandlerShowsTheMessageAndEnds) {
    TestForm& form = TheForm();
    form.Inner.OnClick = [] { throw RuntimeError(errFileNotFound); };
    form.Show();
    SetEndAction([] { UnloadAllFormsSilently(); });
    const RECT origin = platform::WindowScreenRect(form.hWnd());
    ScopedModalScript script;
    script.AnswerMessageBox(vbOK);
    ClickAt(MouseButton::Left, origin.left + 115, origin.top + 115);
    ASSERT_EQ(script.Questions().size(), 1u);
    EXPECT_NE(script.Questions()[0].text.find("53"), std::string::npos);
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(LoadedForms().empty());
}

TEST_F(FormsTest, ModalShowReturnsWhenATimerHidesTheForm) {
    TestForm& form = TheForm();
    form.Ticker.OnTimer = [&form] { form.Hide(); };
    form.Show(vbModal);
    EXPECT_FALSE(form.Visible());
    // A modal form that nothing can ever close fails loudly.
    form.Ticker.SetEnabled(false);
    EXPECT_THROW(form.Show(vbModal), UnscriptedModalStep);
}

// A timer left repeating keeps a loop on the manual clock busy for ever: the
// loop gives up after an hour of clock time, at once in real time.
TEST_F(FormsTest, ALoopThatATimerKeepsBusyFailsFastOnTheManualClock) {
    TestForm& form = TheForm();
    int ticks = 0;
    form.Ticker.OnTimer = [&ticks] { ++ticks; };
    form.Ticker.SetEnabled(true);
    form.Show();
    EXPECT_THROW(RunMessageLoop(), EndlessManualLoop);
    EXPECT_GT(ticks, 0);
    EXPECT_THROW(form.Show(vbModal), EndlessManualLoop);
}

// A start-up form that gives up in its own load and hands over to a second
// form, whose button unloads that form and shows the first one anew.
class GiveUpForm : public Form {
public:
    GiveUpForm() : Form(FormDesign{"起始", 80, 80}) {}
    static inline bool giveUp = true;
    static inline bool endInLoad = false;
    static inline int loads = 0;
    void Form_Load() override;
};

class HandOverForm : public Form {
public:
    HandOverForm() : Form(FormDesign{"接手", 200, 100}) {
        SetScaleMode(vbPixels);
        Retry.Move(10, 10, 60, 30);
        Retry.SetText("重试");
        Retry.OnClick = [this] {
            SkipOnError([this] { Unload(); });
            SkipOnError([] { FormInstance<GiveUpForm>::Get().Show(); });
        };
    }
    TextBox Retry{*this, "Retry"};
};

void GiveUpForm::Form_Load() {
    ++loads;
    if (endInLoad) {
        End();
        return;
    }
    if (giveUp) {
        FormInstance<HandOverForm>::Get().Show();
        Unload();
    }
}

class StartUpFormTest : public FormsTest {
protected:
    StartUpFormTest() {
        GiveUpForm::giveUp = true;
        GiveUpForm::endInLoad = false;
        GiveUpForm::loads = 0;
        SetEndAction([] { UnloadAllFormsSilently(); });
    }
    void ClickRetry() {
        HandOverForm& form = FormInstance<HandOverForm>::Get();
        const RECT place = platform::WindowScreenRect(form.Retry.hWnd());
        ClickAt(MouseButton::Left, place.left + 5, place.top + 5);
        FreeUnloadedForms();
    }
};

TEST_F(StartUpFormTest, AFormThatUnloadsItselfInItsLoadIsNoErrorAtTheStartAndShowsAgainLater) {
    ScopedModalScript script;  // no runtime error box may appear
    EXPECT_THROW(FormInstance<GiveUpForm>::Get(), RuntimeError);
    FreeUnloadedForms();
    ShowStartUpForm<GiveUpForm>();
    FreeUnloadedForms();
    EXPECT_FALSE(FormInstance<GiveUpForm>::Loaded());
    ASSERT_TRUE(FormInstance<HandOverForm>::Loaded());
    EXPECT_TRUE(FormInstance<HandOverForm>::Get().Visible());

    // Retry while it still gives up: the hand-over form is a new one, shown again.
    HWND firstHandOver = FormInstance<HandOverForm>::Get().hWnd();
    ClickRetry();
    EXPECT_EQ(GiveUpForm::loads, 3);
    ASSERT_TRUE(FormInstance<HandOverForm>::Loaded());
    EXPECT_TRUE(FormInstance<HandOverForm>::Get().Visible());
    EXPECT_FALSE(IsWindow(firstHandOver));

    // Retry once it stays: the first form is made anew and shown; the other is gone.
    GiveUpForm::giveUp = false;
    ClickRetry();
    EXPECT_FALSE(FormInstance<HandOverForm>::Loaded());
    ASSERT_TRUE(FormInstance<GiveUpForm>::Loaded());
    EXPECT_TRUE(FormInstance<GiveUpForm>::Get().Visible());
    EXPECT_EQ(LoadedForms().size(), 1u);
    EXPECT_TRUE(script.Questions().empty());
}

TEST_F(StartUpFormTest, EndInTheStartUpFormsLoadEndsQuietly) {
    GiveUpForm::endInLoad = true;
    ScopedModalScript script;
    ShowStartUpForm<GiveUpForm>();
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(LoadedForms().empty());
    EXPECT_TRUE(script.Questions().empty());
}

// Typed characters go to the focused box and edit its text at the end;
// Backspace takes away one whole character, however many bytes it has.
TEST_F(FormsTest, ATextBoxTakesTypedText) {
    HandOverForm& form = FormInstance<HandOverForm>::Get();
    form.Show();
    int changes = 0;
    form.Retry.OnChange = [&] { ++changes; };
    SetFocus(form.Retry.hWnd());
    platform::TypeText("好a");
    EXPECT_EQ(form.Retry.Text(), "重试好a");
    platform::TypeText("\b\b");
    EXPECT_EQ(form.Retry.Text(), "重试");
    EXPECT_EQ(changes, 4);
}

TEST_F(FormsTest, TextBoxDrawsItsTextInItsForeColourAndFont) {
    HandOverForm& form = FormInstance<HandOverForm>::Get();
    form.Show();
    const auto redPixels = [&form] {
        DoEvents();
        const platform::Bitmap image = platform::ComposeWindow(form.Retry.hWnd());
        int count = 0;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const COLORREF color = platform::ColorFromPixel(image.At(x, y));
                if (GetRValue(color) > 160 && GetGValue(color) < 90 && GetBValue(color) < 90) ++count;
            }
        return count;
    };
    EXPECT_EQ(redPixels(), 0);  // the window text colour
    form.Retry.SetForeColor(0x0000FF);
    const int small = redPixels();
    EXPECT_GT(small, 0);
    form.Retry.SetFont(StdFont::Create("微软雅黑", 18, 134));
    EXPECT_GT(redPixels(), small);
}

// A label, a text box and a list box of one line each.
class TextControlsForm : public Form {
public:
    TextControlsForm() : Form(FormDesign{"文字", 300, 120}) {
        SetScaleMode(vbPixels);
        Caption.Move(10, 10, 280, 30);
        Entry.Move(10, 45, 280, 30);
        Choices.Move(10, 80, 280, 30);
        Choices.AddItem("");
    }
    Label Caption{*this, "Caption"};
    TextBox Entry{*this, "Entry"};
    ListBox Choices{*this, "Choices"};
};

// The text a control holds shows as the code page shows it: a character GBK
// cannot hold, and a malformed byte, as "?".
TEST_F(FormsTest, TextControlsShowWhatGbkCannotHoldAsQuestionMarks) {
    TextControlsForm& form = FormInstance<TextControlsForm>::Get();
    form.Show();
    const auto shown = [&form] {
        DoEvents();
        return platform::ComposeWindow(form.hWnd());
    };
    const auto same = [](const platform::Bitmap& a, const platform::Bitmap& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.At(x, y) != b.At(x, y)) return false;
        return true;
    };
    struct Case {
        const char* what;
        std::function<void(const std::string&)> set;
    };
    const Case cases[] = {
        {"label", [&form](const std::string& text) { form.Caption.SetCaption(text); }},
        {"text box", [&form](const std::string& text) { form.Entry.SetText(text); }},
        {"list box", [&form](const std::string& text) { form.Choices.SetList(0, text); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.set("影视 ? ? ? x");
        const platform::Bitmap expected = shown();
        c.set("影视 \xF0\x9F\x8E\xAC 한 \xC3 x");  // an emoji, a Hangul syllable, a lone lead byte
        EXPECT_TRUE(same(shown(), expected));
        c.set("影视 x x x x");
        EXPECT_FALSE(same(shown(), expected)) << "the text shows";
        c.set("");
    }
}

TEST_F(FormsTest, TimerDueWithinLooksAtTheNextWindowTimer) {
    TestForm& form = TheForm();  // its ticker: 1000 ms
    EXPECT_TRUE(TimerDueWithin(1001));
    EXPECT_FALSE(TimerDueWithin(kSnapshotSettleMilliseconds));
    desktop.clock().Advance(600);
    EXPECT_TRUE(TimerDueWithin(kSnapshotSettleMilliseconds));
    form.Ticker.SetEnabled(false);
    EXPECT_FALSE(TimerDueWithin(1'000'000));
}

TEST_F(FormsTest, RunProgramLoopsUntilTheLastFormUnloads) {
    int code = RunProgram([] {
        TestForm& form = TheForm();
        form.Show();
        form.Ticker.OnTimer = [&form] { form.Unload(); };
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(LoadedForms().empty());
}

}  // namespace
}  // namespace zem::forms
