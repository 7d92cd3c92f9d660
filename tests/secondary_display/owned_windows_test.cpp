// The windows owned by the main window, and the main window itself, as a
// person meets them on a desktop with a window manager (one the test starts
// on its own virtual X server): an owned window stays above the main window
// when the main window is clicked, hidden and shown again, choosing it again
// brings it forward as the active window, and it goes and comes back with the
// main window's minimize and restore; the main window's own drags go above
// the screen's top. Stacking, activity and places are read from the server.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/config_info.h"
#include "tests/secondary_display/tray_menu_fixture.h"
#include "tests/support/window_manager.h"

#include <X11/Xutil.h>
#include "windows/shezhigy.h"
#include "windows/shezhitip.h"

namespace zem::secondary_display_testing {
namespace {

using zem::testing::ActiveWindow;
using zem::testing::ListedAbove;
using zem::testing::LookAtServer;
using zem::testing::StackedAbove;
using zem::testing::WindowProperty;

class OwnedWindowsOnTheDisplay : public TrayMenuOnTheDisplay {
protected:
    void SetUp() override {
        ASSERT_TRUE(windowManager.Running()) << "the window manager did not start";
        TrayMenuOnTheDisplay::SetUp();
    }

    // A person's click at a client point of the main window, at the server.
    void ClickMain(const Form1& main, int x, int y) {
        const RECT place = RootRect(zem::platform::XWindowOf(main.hWnd()));
        input.Click(static_cast<int>(place.left) + x, static_cast<int>(place.top) + y);
    }
    long ServerState(::Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom state = XInternAtom(observer, "WM_STATE", False);
        long value = WithdrawnState;
        if (XGetWindowProperty(observer, window, state, 0, 2, False, state, &type, &format, &count, &after, &data) ==
                Success &&
            data != nullptr && count >= 1)
            value = *reinterpret_cast<long*>(data);
        if (data != nullptr) XFree(data);
        return value;
    }
    // Asks the window manager to bring a window back, as a taskbar would.
    void ActivateAsATaskbar(::Window window) { zem::testing::RequestActivation(observer, window); }

    // The X window of a loaded form, or 0.
    template <class FormClass>
    static ::Window ShownForm() {
        return FormInstance<FormClass>::Loaded() ? zem::platform::XWindowOf(FormInstance<FormClass>::Get().hWnd())
                                                 : ::Window{0};
    }
    // A press at a root point, moves through `path` and a release there, as a person's drag.
    void DragAtServer(POINT from, const std::vector<POINT>& path) {
        input.MoveTo(static_cast<int>(from.x), static_cast<int>(from.y));
        input.Button(1, true);
        for (const POINT& at : path) input.MoveTo(static_cast<int>(at.x), static_cast<int>(at.y));
        input.Button(1, false);
    }

    // Asks the window manager to move and size a window, as a pager would.
    void MoveResizeAsAPager(::Window window, const RECT& place) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(observer, "_NET_MOVERESIZE_WINDOW", False);
        event.xclient.format = 32;
        // North-west gravity; x, y, width and height given; from a pager.
        event.xclient.data.l[0] = NorthWestGravity | (0xF << 8) | (2 << 12);
        event.xclient.data.l[1] = place.left;
        event.xclient.data.l[2] = place.top;
        event.xclient.data.l[3] = place.right - place.left;
        event.xclient.data.l[4] = place.bottom - place.top;
        XSendEvent(observer, DefaultRootWindow(observer), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
        XSync(observer, False);
    }
    // Once the program has seen a pointer move over `window` made now, it
    // has read all the server sent it before: what the manager said too.
    bool ProgramHasReadTheServer(::Window window) {
        const RECT place = RootRect(window);
        const POINT first{place.left + 840, place.top + 10}, second{first.x + 1, first.y};
        input.MoveTo(static_cast<int>(first.x), static_cast<int>(first.y));
        input.MoveTo(static_cast<int>(second.x), static_cast<int>(second.y));
        return PumpUntilAtServer([&] {
            const POINT seen = zem::platform::LastPointerPosition();
            return seen.x == second.x && seen.y == second.y;
        });
    }

    zem::testing::TestWindowManager windowManager{xvfb.Name()};
};

TEST_F(OwnedWindowsOnTheDisplay, TheSettingsWindowStaysAboveTheMainWindowComesForwardAgainAndMinimizesWithIt) {
    // The minimize button minimizes; the player view's bottom bar is what the clicks land on.
    配置信息::WriteConfig("form", "renwulan", "True");
    配置信息::WriteConfig("form", "shipinku", "False");
    Form1& main = OpenMain();
    const ::Window mainShown = zem::platform::XWindowOf(main.hWnd());
    const ::Window icon = DockedIcon(main);
    ASSERT_FALSE(HasFailure());
    const std::size_t row = TrayMenuRow("软件设置");
    const auto settingsShown = [] {
        shezhitip* settings = FormInstance<shezhitip>::Loaded() ? &FormInstance<shezhitip>::Get() : nullptr;
        return settings != nullptr ? zem::platform::XWindowOf(settings->hWnd()) : ::Window{0};
    };

    ChooseFromTrayMenu(icon, row, [&] { return Viewable(settingsShown()); });
    const ::Window settings = settingsShown();
    ASSERT_TRUE(Viewable(settings)) << "the settings window never showed";
    EXPECT_EQ(WindowProperty(observer, settings, "WM_TRANSIENT_FOR"), mainShown);
    EXPECT_TRUE(PumpUntilAtServer([&] { return StackedAbove(observer, settings, mainShown); }));

    // A click on the main window's bottom bar makes it the active window; the
    // settings window stays above it.
    ClickMain(main, 30, 640);
    EXPECT_TRUE(PumpUntilAtServer([&] {
        return ActiveWindow(observer) == mainShown && GetForegroundWindow() == main.hWnd() &&
               StackedAbove(observer, settings, mainShown);
    })) << "active " << ActiveWindow(observer) << ", above " << StackedAbove(observer, settings, mainShown);

    // Chosen again while it is open: the same window comes forward as the active one.
    ChooseFromTrayMenu(icon, row, [&] { return ActiveWindow(observer) == settings; });
    EXPECT_EQ(ActiveWindow(observer), settings);
    EXPECT_EQ(settingsShown(), settings);
    EXPECT_TRUE(StackedAbove(observer, settings, mainShown));

    // The main window's minimize button takes the settings window away with it...
    ClickMain(main, static_cast<int>(main.ScaleWidth()) - 75, 50);
    EXPECT_TRUE(PumpUntilAtServer(
        [&] { return ServerState(mainShown) == IconicState && !Viewable(mainShown) && !Viewable(settings); }))
        << "main " << ServerState(mainShown) << ", settings viewable " << Viewable(settings);
    EXPECT_TRUE(FormInstance<shezhitip>::Loaded());

    // ...and the restore, asked of the window manager, brings both back, the settings window above.
    ActivateAsATaskbar(mainShown);
    EXPECT_TRUE(PumpUntilAtServer([&] {
        return main.WindowState() == zem::forms::vbNormal && Viewable(mainShown) && Viewable(settings) &&
               StackedAbove(observer, settings, mainShown);
    })) << "main state " << main.WindowState() << ", settings viewable " << Viewable(settings);
}

// The settings and about windows, owned by the main window, stay above it in
// the manager's stacking when the main window is hidden and shown again by
// the tray menu, also when they were opened while it was hidden. They are of
// fixed size to the manager; the main window may still be resized.
TEST_F(OwnedWindowsOnTheDisplay, AnOwnedWindowStaysAboveTheMainWindowAfterItIsHiddenAndShownAgain) {
    Form1& main = OpenMain();
    const ::Window mainShown = zem::platform::XWindowOf(main.hWnd());
    const ::Window icon = DockedIcon(main);
    ASSERT_FALSE(HasFailure());
    const std::size_t toggle = TrayMenuRow("显示或隐藏");
    const auto flipMain = [&](bool visibleAfter) {
        ChooseFromTrayMenu(icon, toggle, [&] { return main.Visible() == visibleAfter; });
        ASSERT_TRUE(PumpUntilAtServer([&] { return Viewable(mainShown) == visibleAfter; }));
    };
    struct Case {
        const char* item;
        bool openedWhileHidden;
        std::function<::Window()> shown;
    };
    const Case cases[] = {
        {"软件设置", false, [] { return ShownForm<shezhitip>(); }},
        {"关于我们", false, [] { return ShownForm<shezhigy>(); }},
        {"软件设置", true, [] { return ShownForm<shezhitip>(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + (c.openedWhileHidden ? ", opened while hidden" : ""));
        if (c.openedWhileHidden) flipMain(false);
        ChooseFromTrayMenu(icon, TrayMenuRow(c.item), [&] { return Viewable(c.shown()); });
        const ::Window owned = c.shown();
        ASSERT_TRUE(Viewable(owned)) << "the window never showed";
        if (!c.openedWhileHidden) flipMain(false);
        EXPECT_TRUE(Viewable(owned));
        flipMain(true);
        EXPECT_TRUE(PumpUntilAtServer([&] { return ListedAbove(observer, owned, mainShown); }))
            << "the owned window is below the main window";
        EXPECT_EQ(WindowProperty(observer, owned, "WM_TRANSIENT_FOR"), mainShown);

        const zem::testing::ManagedLook look = LookAtServer(observer, owned);
        EXPECT_TRUE(look.fixedSize);
        EXPECT_FALSE(look.mayMaximize);
        EXPECT_FALSE(look.mayResize);
    }
    const zem::testing::ManagedLook mainLook = LookAtServer(observer, mainShown);
    EXPECT_FALSE(mainLook.fixedSize);
    EXPECT_TRUE(mainLook.mayResize);
}

// The main window's own drags under the manager: the header takes it above
// the screen's top, and its top edge pulled up at the top grows it upwards.
// The pointer stops at the screen's top row; the window goes on.
TEST_F(OwnedWindowsOnTheDisplay, TheMainWindowIsDraggedAboveTheScreensTopAndItsTopEdgePulledUpThere) {
    Form1& main = OpenMain();
    const ::Window shown = zem::platform::XWindowOf(main.hWnd());
    const auto placeAt = [&](LONG top) {
        main.Move(main.Left(), static_cast<float>(top * 15));
        return PumpUntilAtServer([&] { return RootRect(shown).top == top; });
    };
    ASSERT_TRUE(placeAt(40));
    const RECT before = RootRect(shown);
    DragAtServer(POINT{before.left + 850, before.top + 10},
                 {{before.left + 855, before.top - 10}, {before.left + 860, 0}});
    EXPECT_TRUE(PumpUntilAtServer([&] { return RootRect(shown).top == -10; }))
        << "top " << RootRect(shown).top;
    EXPECT_EQ(RootRect(shown).left, before.left + 10);
    EXPECT_EQ(zem::platform::WindowScreenRect(main.hWnd()).top, -10);

    ASSERT_TRUE(placeAt(0));
    const RECT atTop = RootRect(shown);
    DragAtServer(POINT{atTop.left + 500, 4}, {{atTop.left + 500, 2}, {atTop.left + 500, 0}});
    EXPECT_TRUE(PumpUntilAtServer([&] { return RootRect(shown).top == -4; })) << "top " << RootRect(shown).top;
    EXPECT_EQ(RootRect(shown).bottom, atTop.bottom);
    EXPECT_EQ(main.Height(), static_cast<float>((atTop.bottom - atTop.top + 4) * 15));
}

// What the manager says of the main window's place late, after the program
// has asked for another, or of its own moves and sizes, leaves the program's
// place where the server shows the window: the manager is held while the
// program asks, and answers all once let go.
TEST_F(OwnedWindowsOnTheDisplay, TheMainWindowIsWhereTheServerShowsItWhenTheManagerAnswersLate) {
    Form1& main = FormInstance<Form1>::Get();
    const auto modelMatchesServer = [&](::Window shown) {
        ASSERT_TRUE(ProgramHasReadTheServer(shown));
        const RECT server = RootRect(shown), model = zem::platform::WindowScreenRect(main.hWnd());
        EXPECT_EQ(model.left, server.left);
        EXPECT_EQ(model.top, server.top);
        EXPECT_EQ(model.right, server.right);
        EXPECT_EQ(model.bottom, server.bottom);
    };
    ::Window shown = 0;
    {
        SCOPED_TRACE("moved on before the manager answered the window's first showing");
        // The answer to where it was shown is no move: the window never goes back there.
        std::vector<LONG> topsAfterTheMove;
        zem::platform::WindowObserverRegistration moves;
        {
            const auto held = windowManager.Hold();
            main.Show();
            ASSERT_TRUE(PumpUntil([&] { return (shown = zem::platform::XWindowOf(main.hWnd())) != 0; }));
            main.Move(main.Left(), 40 * 15);
            moves = zem::platform::WindowObserverRegistration([&](const zem::platform::WindowEvent& event) {
                if (event.kind == zem::platform::WindowEventKind::Moved && event.window == main.hWnd())
                    topsAfterTheMove.push_back(zem::platform::WindowScreenRect(main.hWnd()).top);
            });
            zem::platform::ProcessPendingMessages();
        }
        ASSERT_TRUE(PumpUntilAtServer([&] { return Viewable(shown) && RootRect(shown).top == 40; }))
            << "top " << RootRect(shown).top;
        modelMatchesServer(shown);
        EXPECT_EQ(topsAfterTheMove, std::vector<LONG>{}) << "the window went back where it was shown";
    }
    {
        SCOPED_TRACE("moved by a pager just before the program moved it");
        const RECT before = RootRect(shown);
        {
            const auto held = windowManager.Hold();
            MoveResizeAsAPager(shown, RECT{before.left, 100, before.right, 100 + before.bottom - before.top});
            main.Move(main.Left(), 60 * 15);
            zem::platform::ProcessPendingMessages();
        }
        ASSERT_TRUE(PumpUntilAtServer([&] { return RootRect(shown).top == 60; })) << "top " << RootRect(shown).top;
        modelMatchesServer(shown);
    }
    {
        SCOPED_TRACE("sized by a pager after the program's moves");
        const RECT before = RootRect(shown);
        const RECT sized{before.left, before.top, before.right + 20, before.bottom + 10};
        MoveResizeAsAPager(shown, sized);
        // The manager may also keep it on the screen: the size tells its answer.
        ASSERT_TRUE(PumpUntilAtServer([&] {
            const RECT at = RootRect(shown);
            return at.right - at.left == sized.right - sized.left && at.bottom - at.top == sized.bottom - sized.top;
        })) << "width " << RootRect(shown).right - RootRect(shown).left;
        modelMatchesServer(shown);
    }
}

}  // namespace
}  // namespace zem::secondary_display_testing
