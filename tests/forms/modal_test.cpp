// Menus, message boxes and the event boundary, answered by script.
#include <gtest/gtest.h>

#include "platform/forms/menu.h"
#include "platform/forms/modal.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/program.h"
#include "platform/forms/runtime_error.h"

using namespace zem::forms;

namespace {

struct ProgramFixture : ::testing::Test {
    ProgramFixture() {
        ResetProgramState();
        App::SetTitle("zemtest");
        SetEndAction([this] { ++endCount; });
    }
    ~ProgramFixture() override {
        SetEndAction(nullptr);
        ResetProgramState();
    }
    int endCount = 0;
};

// A tray-like menu: items, a separator, a check mark.
struct TrayMenu {
    Menu menu{"menu", "托盘菜单"};
    std::vector<std::string> ran;
    TrayMenu() {
        for (auto [name, caption] : {std::pair{"close", "退出程序"}, {"df", "-"}, {"display", "显示或隐藏"}}) {
            MenuItem& item = menu.Add(name, caption);
            if (!item.IsSeparator()) item.OnClick = [this, n = std::string(name)] { ran.push_back(n); };
        }
    }
};

}  // namespace

using MessageBoxTest = ProgramFixture;

TEST_F(MessageBoxTest, ScriptAnswersAndRecordsTheQuestion) {
    ScopedModalScript script;
    script.AnswerMessageBox(vbYes);
    EXPECT_EQ(MsgBox("是否立即升级新版本", vbYesNo + vbInformation, "检测到更新"), vbYes);
    ASSERT_EQ(script.Questions().size(), 1u);
    EXPECT_EQ(script.Questions()[0].text, "是否立即升级新版本");
    EXPECT_EQ(script.Questions()[0].title, "检测到更新");
    EXPECT_EQ(script.Questions()[0].buttons, vbYesNo + vbInformation);
}

TEST_F(MessageBoxTest, UnansweredOrMismatchedStepFailsLoudly) {
    ScopedModalScript script;
    EXPECT_THROW(MsgBox("nobody answers"), UnscriptedModalStep);
    TrayMenu tray;
    script.AnswerMessageBox(vbOK);
    EXPECT_THROW(TrackPopupMenu(tray.menu), UnscriptedModalStep);
}

TEST_F(MessageBoxTest, WithoutUserTheDecliningButtonAnswers) {
    struct Case {
        int buttons;
        int expected;
    };
    for (Case c : {Case{vbOKOnly, vbOK}, Case{vbYesNo + vbInformation, vbNo}, Case{vbOKCancel, vbCancel},
                   Case{vbYesNoCancel, vbCancel}, Case{vbRetryCancel, vbCancel}, Case{vbAbortRetryIgnore, vbIgnore}})
        EXPECT_EQ(MsgBox("unattended", c.buttons), c.expected) << c.buttons;
}

TEST_F(MessageBoxTest, DefaultTitleIsTheProgramTitle) {
    ScopedModalScript script;
    script.AnswerMessageBox(vbOK);
    MsgBox("hello");
    EXPECT_EQ(script.Questions().at(0).title, "zemtest");
}

using PopupMenuTest = ProgramFixture;

TEST_F(PopupMenuTest, ChosenItemRunsItsHandlerAfterTheMenuCloses) {
    TrayMenu tray;
    ScopedModalScript script;
    script.ChooseMenuItem("显示或隐藏").ChooseMenuItem("close").DismissMenu();
    EXPECT_EQ(TrackPopupMenu(tray.menu), &tray.menu["display"]);
    EXPECT_EQ(TrackPopupMenu(tray.menu)->Name(), "close");
    EXPECT_EQ(TrackPopupMenu(tray.menu), nullptr);
    EXPECT_EQ(tray.ran, (std::vector<std::string>{"display", "close"}));
    EXPECT_EQ(script.Questions().at(0).items, (std::vector<std::string>{"退出程序", "-", "显示或隐藏"}));
    EXPECT_EQ(script.Unused(), 0u);
}

TEST_F(PopupMenuTest, SeparatorsAndDisabledItemsCannotBeChosen) {
    TrayMenu tray;
    tray.menu["close"].SetEnabled(false);
    for (const char* item : {"df", "close", "no such item"}) {
        ScopedModalScript script;
        script.ChooseMenuItem(item);
        EXPECT_THROW(TrackPopupMenu(tray.menu), UnscriptedModalStep) << item;
    }
    EXPECT_TRUE(tray.ran.empty());
}

TEST_F(PopupMenuTest, CheckMarksStayAndWithoutUserNothingIsChosen) {
    TrayMenu tray;
    tray.menu["display"].SetChecked(true);
    EXPECT_TRUE(tray.menu["display"].Checked());
    EXPECT_FALSE(tray.menu["close"].Checked());
    EXPECT_EQ(TrackPopupMenu(tray.menu), nullptr);
    EXPECT_TRUE(tray.ran.empty());
}

TEST_F(PopupMenuTest, ScriptsNestAndTheInnermostAnswers) {
    ScopedModalScript outer;
    outer.AnswerMessageBox(vbNo);
    {
        ScopedModalScript inner;
        inner.AnswerMessageBox(vbYes);
        EXPECT_EQ(MsgBox("q", vbYesNo), vbYes);
    }
    EXPECT_EQ(MsgBox("q", vbYesNo), vbNo);
}

using EventBoundaryTest = ProgramFixture;

TEST_F(EventBoundaryTest, UntrappedErrorShowsTheMessageAndEndsTheProgram) {
    ScopedModalScript script;
    script.AnswerMessageBox(vbOK);
    bool after = false;
    RunEventHandler([] { throw RuntimeError(errFileNotFound); });
    RunEventHandler([&] { after = true; });
    EXPECT_TRUE(Ended());
    EXPECT_EQ(endCount, 1);
    EXPECT_FALSE(after) << "no handler runs after the end";
    ASSERT_EQ(script.Questions().size(), 1u);
    EXPECT_NE(script.Questions()[0].text.find("53"), std::string::npos);
    EXPECT_NE(script.Questions()[0].text.find("File not found"), std::string::npos);
    EXPECT_EQ(script.Questions()[0].buttons, vbCritical);
}

TEST_F(EventBoundaryTest, TrappedErrorsAndTestFailuresAreNotTheProgramsEnd) {
    EXPECT_FALSE(SkipOnError([] { throw RuntimeError(errInvalidCall); }));
    EXPECT_TRUE(SkipOnError([] {}));
    RunEventHandler([] { SkipOnError([] { throw RuntimeError(errObjectNotSet); }); });
    EXPECT_THROW(RunEventHandler([] { throw UnscriptedModalStep("x"); }), UnscriptedModalStep);
    EXPECT_FALSE(Ended());
}
