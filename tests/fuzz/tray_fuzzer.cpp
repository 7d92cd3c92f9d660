// The tray record: any 488 bytes (with any size field, any handles and text
// fields without their NUL) through add, modify and delete, for a window that
// exists and one that does not. The area must keep its rules and decode each
// text field within its own bytes.
#include "fuzz_support.h"
#include "platform/shell/tray.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

namespace {

using zem::fuzz::Require;

LRESULT Owner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zem::platform::TestDesktop desktop;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Owner;
    windowClass.lpszClassName = "FuzzTrayOwner";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "FuzzTrayOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0) {
        const DWORD message = input.ConsumeIntegralInRange<DWORD>(0, 3);
        const bool ownWindow = input.ConsumeBool();
        const bool ownSize = input.ConsumeBool();
        NOTIFYICONDATAA record{};
        const auto bytes = input.ConsumeBytes<unsigned char>(sizeof record);
        if (!bytes.empty()) std::memcpy(&record, bytes.data(), bytes.size());
        if (ownWindow) record.hWnd = HandleField(window);
        if (ownSize) record.cbSize = sizeof record;
        // A callback message is the program's own (WM_USER and up): a system
        // message there would ask the default procedure to read lParam as its own.
        record.uCallbackMessage = WM_USER + (record.uCallbackMessage & 0x7FFF);
        const std::size_t before = zem::platform::TrayIcons().size();
        const BOOL done = Shell_NotifyIconA(message, &record);
        const std::size_t after = zem::platform::TrayIcons().size();
        if (record.cbSize != sizeof record) Require(!done, "a record of another size is refused");
        if (message == NIM_ADD) Require(after == before + (done ? 1 : 0), "an add adds one icon");
        else if (message == NIM_DELETE) Require(after + (done ? 1 : 0) == before, "a delete removes one icon");
        else Require(after == before, "other messages keep the icons");
        for (const auto& icon : zem::platform::TrayIcons()) {
            Require(icon.tip.size() <= 3 * sizeof record.szTip, "a tip holds no more than its field");
            if (icon.balloon) Require(icon.balloon->text.size() <= 3 * sizeof record.szInfo, "a balloon within its field");
            zem::platform::ClickTrayIcon(icon.window, icon.id, zem::platform::MouseButton::Left);
            zem::platform::ClickTrayBalloon(icon.window, icon.id);
        }
    }
    for (const auto& icon : zem::platform::TrayIcons()) {
        NOTIFYICONDATAA record{};
        record.cbSize = sizeof record;
        record.hWnd = HandleField(icon.window);
        record.uID = icon.id;
        Shell_NotifyIconA(NIM_DELETE, &record);
    }
    Require(zem::platform::TrayIcons().empty(), "every icon can be deleted");
    return 0;
}
