#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "controls/public_data.h"
#include "platform/window/test_desktop.h"

namespace {

struct Seen {
    int control;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

// A control the way the self-drawn controls are built: it hooks its window in
// its initialization, keeps WM_USER for itself and passes the rest on.
class TestControl {
public:
    TestControl(int number, HWND window) : number_(number), window_(window) {
        PublicData::HookWindow(thunk_, window, this, &PublicData::ThunkEntry<TestControl>);
    }
    ~TestControl() { PublicData::UnhookWindow(thunk_, window_); }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        g_seen.push_back({number_, window, message, wParam, lParam});
        if (message == WM_USER + static_cast<UINT>(number_)) return 1000 + number_;
        return CallWindowProcA(thunk_.OldProc, window, message, wParam, lParam);
    }

    PublicData::SubclassThunk& thunk() { return thunk_; }

private:
    int number_;
    HWND window_;
    PublicData::SubclassThunk thunk_;
};

LRESULT Base(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 50) return -7;
    return DefWindowProcA(window, message, wParam, lParam);
}

class Thunk : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Base;
        windowClass.lpszClassName = "ThunkHost";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "ThunkHost", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    zem::platform::TestDesktop desktop;
    HWND window = nullptr;
};

TEST_F(Thunk, AMessageReachesTheInstanceUnchangedAndItsResultReachesTheCaller) {
    TestControl control(1, window);
    ASSERT_NE(control.thunk().Thunk, 0u);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), static_cast<LONG_PTR>(control.thunk().Thunk));
    EXPECT_EQ(control.thunk().OldProc, &Base);
    const WPARAM wide = 0xFEDCBA9876543210u;
    const LPARAM negative = -0x123456789ALL;
    EXPECT_EQ(SendMessageA(window, WM_USER + 1, wide, negative), 1001);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].control, 1);
    EXPECT_EQ(g_seen[0].window, window);
    EXPECT_EQ(g_seen[0].message, WM_USER + 1);
    EXPECT_EQ(g_seen[0].wParam, wide);
    EXPECT_EQ(g_seen[0].lParam, negative);
    // Passed on, the base procedure's answer comes back through the stub.
    EXPECT_EQ(SendMessageA(window, WM_USER + 50, 0, 0), -7);
}

TEST_F(Thunk, TwoInstancesOnOneWindowEachGetTheirOwnMessages) {
    TestControl inner(1, window);
    TestControl outer(2, window);
    EXPECT_EQ(SendMessageA(window, WM_USER + 1, 0, 0), 1001);  // through the outer one to the inner
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].control, 2);
    EXPECT_EQ(g_seen[1].control, 1);
    g_seen.clear();
    EXPECT_EQ(SendMessageA(window, WM_USER + 2, 0, 0), 1002);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].control, 2);
}

TEST_F(Thunk, UnhookingRestoresTheProcedureAndASecondUnhookDoesNothing) {
    TestControl control(1, window);
    PublicData::UnhookWindow(control.thunk(), window);
    EXPECT_EQ(control.thunk().Thunk, 0u);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Base));
    // Something else hooks the window now; a second unhook must not undo it.
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA));
    PublicData::UnhookWindow(control.thunk(), window);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&DefWindowProcA));
    SendMessageA(window, WM_USER + 1, 0, 0);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(Thunk, AThunkGoingAwayWhileHookedGivesTheWindowBackItsProcedure) {
    {
        PublicData::SubclassThunk thunk;
        int instance = 0;
        PublicData::HookWindow(thunk, window, &instance, +[](void*, HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    }
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Base));
    EXPECT_EQ(SendMessageA(window, WM_USER + 50, 0, 0), -7);
}

TEST(ThunkCode, TheStubShiftsTheArgumentsAndLoadsInstanceAndEntry) {
    const auto entry = +[](void*, HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; };
    int instance = 0;
    const auto code = PublicData::detail::StubCode(&instance, entry);
    const std::array<unsigned char, 16> shift = {0xF3, 0x0F, 0x1E, 0xFA, 0x49, 0x89, 0xC8, 0x48,
                                                 0x89, 0xD1, 0x48, 0x89, 0xF2, 0x48, 0x89, 0xFE};
    EXPECT_TRUE(std::equal(shift.begin(), shift.end(), code.begin()));
    std::uint64_t loadedInstance = 0, loadedEntry = 0;
    std::memcpy(&loadedInstance, code.data() + 18, 8);
    std::memcpy(&loadedEntry, code.data() + 28, 8);
    EXPECT_EQ(code[16], 0x48);
    EXPECT_EQ(code[17], 0xBF);
    EXPECT_EQ(loadedInstance, reinterpret_cast<std::uint64_t>(&instance));
    EXPECT_EQ(code[27], 0xB8);
    EXPECT_EQ(loadedEntry, reinterpret_cast<std::uint64_t>(entry));
    EXPECT_EQ(code[36], 0xFF);
    EXPECT_EQ(code[37], 0xE0);
}

TEST(ThunkSlots, ThePortableRoutingBindsEachProcedureToItsInstance) {
    const auto entry = +[](void* instance, HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        return *static_cast<int*>(instance) * 100 + static_cast<LRESULT>(message);
    };
    int first = 1, second = 2;
    WNDPROC one = PublicData::detail::AcquireSlot(&first, entry);
    WNDPROC two = PublicData::detail::AcquireSlot(&second, entry);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(one, two);
    EXPECT_EQ(one(nullptr, 5, 0, 0), 105);
    EXPECT_EQ(two(nullptr, 5, 0, 0), 205);
    PublicData::detail::ReleaseSlot(one);
    PublicData::detail::ReleaseSlot(two);
}

// A shared control may drop its last owner inside its own handler; the entry
// routine's counted reference keeps it alive until the handler returns.
class SharedControl : public std::enable_shared_from_this<SharedControl> {
public:
    static std::shared_ptr<SharedControl>* owner;
    explicit SharedControl(HWND window) : window_(window) {}
    void Hook() { PublicData::HookWindow(thunk_, window_, this, &PublicData::ThunkEntry<SharedControl>); }
    ~SharedControl() { PublicData::UnhookWindow(thunk_, window_); }
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_USER) {
            owner->reset();
            return value_;  // still alive here
        }
        return CallWindowProcA(thunk_.OldProc, window, message, wParam, lParam);
    }

private:
    HWND window_;
    int value_ = 77;
    PublicData::SubclassThunk thunk_;
};
std::shared_ptr<SharedControl>* SharedControl::owner = nullptr;

TEST_F(Thunk, TheEntryHoldsASharedControlForTheTimeOfTheCall) {
    auto control = std::make_shared<SharedControl>(window);
    control->Hook();
    SharedControl::owner = &control;
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 77);
    EXPECT_EQ(control, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Base));
}

}  // namespace
